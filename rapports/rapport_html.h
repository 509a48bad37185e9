// The static report: one self-contained page in French (no script, no resource from elsewhere,
// a Content-Security-Policy that forbids both), readable on a phone and printable, that opens
// from the disk or behind any web server. It holds the summary, the yearly and monthly charts,
// each list (its first rows in sight, the rest under a <details>), the keywords, the error
// statuses and, when given, the visitors.
#pragma once

#include "rapports/sortie.h"
#include "rapports/tableau.h"

#include <cstddef>
#include <string>
#include <vector>

namespace sillage {

class Base;
struct VueVisiteurs;

// A page of a report of several pages: its period ("" for the whole history, else a name of
// store/periodes.h) and the text of its link.
struct PageRapport {
    std::string Periode;
    std::string Texte;
};

// The file of the page of periode in a report's folder: "index.html" for the whole history,
// "2024.html", "2024-03.html".
std::string FichierPage(const std::string& periode);

struct OptionsRapport {
    std::string Periode; // the period the store is of ("2024", "2024-03"), "" for all
    // The pages of the report, linked from a navigation bar above the sections (the page of
    // Periode shown as the current one); empty: the report is this page alone.
    std::vector<PageRapport> Pages;
    std::string Date;      // when the report was made, as it is said ("12/03/2026 à 04:31")
    std::string Programme; // who made it ("Sillage 1.03")
    std::size_t RangeesVisibles = 50; // the rows of each list in sight, the rest in <details>
    const VueVisiteurs* Visiteurs = nullptr; // the visitors' lists, none when absent
};

// The Content-Security-Policy of the page: nothing may be fetched or run; the page's own <style>
// applies.
inline constexpr std::string_view kPolitiqueSecurite =
    "default-src 'none'; style-src 'unsafe-inline'; img-src data:; base-uri 'none'; "
    "form-action 'none'";

// Writes the page of base into sortie. Raises what the views raise on rows that do not read,
// and what sortie raises.
void EcritRapportHtml(const Base& base, const OptionsRapport& options, Sortie& sortie);

// A table of a view in the page: its first `visibles` rows, then the others inside a
// <details> whose summary counts them; cells are escaped (AjouteTexteHtml). Written as it comes.
class EcrivainHtml final : public EcrivainTableau {
  public:
    EcrivainHtml(Sortie& sortie, std::size_t visibles) : sortie_(sortie), visibles_(visibles) {}
    void Debut(const std::vector<ColonneTableau>& colonnes, std::size_t rangees) override;
    void Rangee(std::span<const std::string_view> cellules) override;
    void Fin() override;
    // The rows written by the last table.
    std::size_t Rangees() const { return rangees_; }

  private:
    void EnTete();
    void Envoie();

    Sortie& sortie_;
    std::size_t visibles_;
    std::vector<ColonneTableau> colonnes_;
    std::size_t annoncees_ = 0; // the rows Debut announced
    std::size_t rangees_ = 0;
    std::string tampon_; // written by lots
};

} // namespace sillage
