// The Infos tab: one stored item cross-referenced against the others. Mode Pages lists the pages
// and finds the hosts that fetched one, IP lists the hosts and finds their pages, Download lists
// the downloads and finds the hosts that fetched one, Referent lists the referrers and finds the
// search words that came with one.
//
// Texts: names, counts and dates copied from the tables (EntreeInfos::Nom, LigneResultat) are
// Windows-1252 bytes as stored; the composed label texts (LExplI0, LAffiche) are UTF-8, the
// table text they quote converted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sillage {

class Base;
class Table;

// The tab's search mode: which kind of item LBSearch lists. Aucun before any mode button.
enum class ModeInfos { Aucun = 0, Pages = 1, IP = 2, Download = 3, Referent = 4 };

// One entry of LBSearch: a row of the mode's source table.
struct EntreeInfos {
    std::string Nom;   // field 2, shown in the list
    std::size_t Ligne; // the table line it was made from
    std::string Ident; // field 1: the row is found again by it, whatever the table's order now
    bool operator==(const EntreeInfos&) const = default;
};

// One row of LVAffiche: "Nom", "Acces", "Date".
struct LigneResultat {
    std::string Nom;
    std::string Acces;
    std::string Date;
    bool operator==(const LigneResultat&) const = default;
};

struct ResultatInfos {
    std::vector<LigneResultat> Lignes;
    std::string LAffiche; // "N résultats pour X"
};

// The source table of a mode (Pages ListePage, IP ListeNom, Download ListeDownload, Referent
// ListeOrigine); Aucun has none and raises std::invalid_argument, as do the functions below.
const Table& TableSourceInfos(const Base& base, ModeInfos mode);

// The entries of a mode: every data row of the source table (the counter row left out) whose
// name, as the window shows it (TexteAffiche), contains filtre (UTF-8, as typed; case-sensitive;
// an empty filter keeps all), in table order.
std::vector<EntreeInfos> ListeEntreesInfos(const Base& base, ModeInfos mode,
                                           std::string_view filtre);

// LExplI0's text: the entry count followed by the mode's suffix ("57 pages accédées").
std::string TexteLExplI0(ModeInfos mode, std::size_t nombre);

// The table line of an entry now: the line it was made from when its field 1 is still the
// entry's identifier, otherwise the first data row with that identifier. An identifier that no
// longer exists raises "Indice de liste hors limites (-1)".
std::size_t ResoutEntreeInfos(const Base& base, ModeInfos mode, const EntreeInfos& entree);

// The search for an entry of a mode. Pages, IP and Download pair the entry with the ListeLanp
// rows of its kind; every row of the related table (hosts for Pages and Download, pages for IP)
// whose identifier has an unused pair gives one result, in the related table's order, and uses
// that pair up. Referent lists the words of every ListeKeyword row of the referrer, repeats
// included.
ResultatInfos ChercheInfos(const Base& base, ModeInfos mode, const EntreeInfos& entree);

// The tab's state and its events; the window's handlers call one function each and then show
// Entrees, LExplI0, Selection, Resultats and LAffiche. texteFiltre is EFiltre2's current text
// in UTF-8. A function that raises the index error has already emptied Resultats
// (and left LAffiche as it was), so the window shows the message and then the state.
struct EtatInfos {
    ModeInfos ModeRecherche = ModeInfos::Aucun;
    ModeInfos ModeFiltre = ModeInfos::Aucun; // the mode the filter text applies to
    std::vector<EntreeInfos> Entrees;
    std::string LExplI0;
    int Selection = -1; // the selected entry of LBSearch, -1 for none
    std::vector<LigneResultat> Resultats;
    std::string LAffiche;

    // BPageClick, BNomDClick, BDownloadClick, BReferentClick: the mode's entries, filtered when
    // the filter is attached to that mode. The mode's button is the bold one.
    void ChoisitMode(const Base& base, ModeInfos mode, std::string_view texteFiltre);
    // LBSearchClick: selects entry index and searches it; -1 (or any index outside the list)
    // raises the index error.
    void SelectionneEntree(const Base& base, int index);
    // BFiltre2Click: attaches the filter to the current mode and lists its entries again.
    void AppliqueFiltre(const Base& base, std::string_view texteFiltre);
    // EFiltre2KeyUp: Enter applies the filter; any key attaches it to the current mode.
    void RelacheTouche(const Base& base, bool entree, std::string_view texteFiltre);
    // VLPagesDblClick (Pages), LVIPDblClick (IP), LVDownloadDblClick (Download),
    // LVOrigineDblClick (Referent):
    // lists the mode's entries, selects the one made from table line ligneSource and searches
    // it. No such entry (ligneSource -1, or the Infos filter hides it) raises the index error;
    // the window makes the Infos tab current only when this returns.
    void NavigueDepuisListe(const Base& base, ModeInfos mode, std::int64_t ligneSource,
                            std::string_view texteFiltre);
    // LVAfficheDblClick: a host found in mode Pages or Download is searched in mode IP, a page
    // found in mode IP in mode Pages, selecting the first entry of the same name (letter case
    // ignored). Returns false, changing nothing, in mode Referent (or Aucun) or when
    // ligneResultat is no result row.
    bool NavigueDepuisResultat(const Base& base, int ligneResultat, std::string_view texteFiltre);
    // Another store shown (a period chosen): the current mode's entries listed from base, and the
    // entry that was selected found again by its name (the same bytes) and searched in base;
    // without it, nothing is selected and there is no result. Nothing changes in mode Aucun.
    void ChangeDeBase(const Base& base, std::string_view texteFiltre);

  private:
    void Remplit(const Base& base, ModeInfos mode, std::string_view texteFiltre);
    void Cherche(const Base& base);
};

} // namespace sillage
