// Record types of the table rows, with their readers (Lit*) and writers (Ecrit*).
// A reader consumes the line from the left: field 1 is what lies between the line's fourth
// character and the first "\2;"; each later field k is what lies before the first tag of field
// k+1 in the text left after the previous tag. A missing tag gives an empty field and drops one
// character less than a tag from what is left, so later fields of a malformed line come out
// shifted. Integer fields go through ConvertitEntier, whose error stops the reader.
#pragma once

#include "store/date_compacte.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace sillage {

// A row of nom.lst (one client host), of page.lst, image.lst and download.lst (one path) or of
// origine.lst (one referrer): the four fields of the named rows. Closing tag "\5;".
struct RQuatre {
    std::int32_t Ident = 0;
    std::string Nom;
    std::int32_t Acces = 0;
    std::string Dernier;
    bool operator==(const RQuatre&) const = default;
};
using RNom = RQuatre;
using RPage = RQuatre;
using ROrigine = RQuatre;

// A row of erreur.lst: one requested item answered with a status other than "200".
// Closing tag "\7;". IdentRessource is -2 for an image.
struct RErreur {
    std::int32_t Ident = 0;
    std::string Chemin;
    std::int32_t Acces = 0;
    std::string Dernier;
    std::string Statut;
    std::int32_t IdentRessource = 0;
    bool operator==(const RErreur&) const = default;
};

// A row of lanp.lst: hits of one host on one page (Type 1) or download (Type 2). The date is
// line field 4 and the kind line field 5. Closing tag "\6;".
struct RLANP {
    std::int32_t IdentHote = 0;
    std::int32_t IdentRessource = 0;
    std::int32_t Acces = 0;
    std::int32_t Type = 0;
    std::string Dernier;
    bool operator==(const RLANP&) const = default;
};

// A row of graphmois.lst: one year. Line fields: 1 year, 2 label, 3 monthly maximum, 4-15 page
// hits of months 1-12, 16 first month, 17-28 hits, 29-40 visits; closing tag "\41;".
struct RGraph {
    std::int32_t Annee = 0;
    std::string Libelle;
    std::array<std::int32_t, 12> Pages{};
    std::array<std::int32_t, 12> Hits{};
    std::array<std::int32_t, 12> Visites{};
    std::int32_t Maximum = 0;
    std::int32_t PremierMois = 0;
    bool operator==(const RGraph&) const = default;
};

// A row of graphheure.lst: one month of one year. Line fields: 1 year, 2 month name, 3 daily
// maximum, 4-34 page hits of days 1-31, 35-58 page hits of hours 0-23; closing tag "\59;".
struct RGraphMois {
    std::int32_t Annee = 0;
    std::string Mois;
    std::int32_t Maximum = 0;
    std::array<std::int32_t, 31> Jours{};
    std::array<std::int32_t, 24> Heures{};
    bool operator==(const RGraphMois&) const = default;
};

RNom LitNom(std::string_view ligne);
std::string EcritNom(const RNom& r);
RPage LitPage(std::string_view ligne);
std::string EcritPage(const RPage& r);
ROrigine LitOrigine(std::string_view ligne);
std::string EcritOrigine(const ROrigine& r);
RErreur LitErreur(std::string_view ligne);
std::string EcritErreur(const RErreur& r);
RLANP LitLanp(std::string_view ligne);
std::string EcritLanp(const RLANP& r);
RGraph LitGraph(std::string_view ligne);
std::string EcritGraph(const RGraph& r);
RGraphMois LitGraphMois(std::string_view ligne);
std::string EcritGraphMois(const RGraphMois& r);

// The one writer of each row format: each appends one row to s (the Ecrit* above return what
// they append). The last-hit date of a row is given as its text or packed (DateLigne).

// A row's last-hit date for the writers: its text, or a date packed by CompacteDate.
class DateLigne {
  public:
    DateLigne(std::string_view texte) : texte_(texte) {}
    DateLigne(const std::string& texte) : texte_(texte) {}
    DateLigne(const char* texte) : texte_(texte) {}
    static DateLigne Compacte(DateCompacte date) {
        DateLigne d{std::string_view()};
        d.compacte_ = date;
        d.estCompacte_ = true;
        return d;
    }
    std::size_t Taille() const { return estCompacte_ ? 20 : texte_.size(); }
    void AjouteA(std::string& s) const;

  private:
    std::string_view texte_;
    DateCompacte compacte_ = 0;
    bool estCompacte_ = false;
};

// The counter row of a keyed table, "\1;N\2;" (which every data row of a keyed table starts
// with, its identifier as N).
void AjouteLigneCompteur(std::string& s, std::int64_t ident);
// A row of nom.lst, page.lst, image.lst, download.lst or origine.lst, and the fields that follow
// its leading "\1;N\2;" (a new row is made from the text of the counter row it replaces).
void AjouteLigneQuatre(std::string& s, std::int64_t ident, std::string_view nom, std::int32_t acces,
                       DateLigne dernier);
void AjouteSuiteQuatre(std::string& s, std::string_view nom, std::int32_t acces, DateLigne dernier);
// Length of the row AjouteLigneQuatre appends.
std::size_t TailleLigneQuatre(std::int64_t ident, std::string_view nom, std::int32_t acces,
                              DateLigne dernier);
// A row of keyword.lst: the referrer's identifier and its keyword text; and what follows its
// leading "\1;N\2;".
void AjouteLigneMotsCles(std::string& s, std::int64_t ident, std::int32_t origine,
                         std::string_view keywords);
void AjouteSuiteMotsCles(std::string& s, std::int32_t origine, std::string_view keywords);
// A row of erreur.lst, and its length.
void AjouteLigneErreur(std::string& s, std::int32_t ident, std::string_view chemin,
                       std::int32_t acces, DateLigne dernier, std::string_view statut,
                       std::int32_t ressource);
std::size_t TailleLigneErreur(std::int32_t ident, std::string_view chemin, std::int32_t acces,
                              DateLigne dernier, std::string_view statut, std::int32_t ressource);
// A row of lanp.lst.
void AjouteLigneLanp(std::string& s, std::int32_t hote, std::int32_t ressource, std::int32_t acces,
                     DateLigne dernier, std::int32_t type);
// Rows of graphmois.lst and graphheure.lst.
void AjouteLigneGraph(std::string& s, const RGraph& r);
void AjouteLigneGraphMois(std::string& s, const RGraphMois& r);

// The reader's walk, for code that needs some fields of a row without building its record:
// each call to Suivant gives the next line field, in order from field 1.
class LecteurChamps {
  public:
    explicit LecteurChamps(std::string_view ligne) : reste_(ligne) {}
    std::string_view Suivant();
    std::int32_t SuivantEntier() { return ConvertitChamp(Suivant()); }
    // The next fields, in order, into champs: an integer through the conversion, a text as it
    // is (a view into the line, or a copy).
    template <class... Champs> void Lit(Champs&... champs) { (Prend(champs), ...); }

  private:
    void Prend(std::int32_t& v) { v = SuivantEntier(); }
    void Prend(std::string_view& v) { v = Suivant(); }
    void Prend(std::string& v) { v = Suivant(); }
    template <std::size_t N> void Prend(std::array<std::int32_t, N>& valeurs) {
        for (std::int32_t& v : valeurs) {
            Prend(v);
        }
    }
    static std::int32_t ConvertitChamp(std::string_view texte);
    std::string_view reste_;
    int champ_ = 1;
};

} // namespace sillage
