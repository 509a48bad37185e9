#include "store/enregistrements.h"

#include "store/champs.h"

namespace sillage {

std::string_view LecteurChamps::Suivant() {
    const Etiquette suite(champ_ + 1);
    const std::size_t p = reste_.find(suite.Vue());
    std::string_view champ;
    std::size_t depart; // 0-based start of what remains
    if (champ_ == 1) {
        // The first three characters (the tag of field 1) are skipped without being looked at.
        if (p != std::string_view::npos && p > 3) {
            champ = reste_.substr(3, p - 3);
        }
        depart = p == std::string_view::npos ? 2 : p + suite.longueur;
    } else {
        if (p != std::string_view::npos) {
            champ = reste_.substr(0, p);
            depart = p + suite.longueur;
        } else {
            depart = suite.longueur - 1;
        }
    }
    reste_ = depart >= reste_.size() ? std::string_view() : reste_.substr(depart);
    ++champ_;
    return champ;
}

std::int32_t LecteurChamps::ConvertitChamp(std::string_view texte) {
    return ConvertitEntier(texte);
}

namespace {

// The record that LecteurChamps::Lit fills with the fields of ligne, and the text that ajoute
// appends for a record.
template <class R, class Remplit> R Lit(std::string_view ligne, Remplit remplit) {
    LecteurChamps l(ligne);
    R r;
    remplit(l, r);
    return r;
}
template <class Ajoute> std::string Texte(Ajoute ajoute) {
    std::string s;
    ajoute(s);
    return s;
}

RQuatre LitQuatre(std::string_view ligne) {
    return Lit<RQuatre>(
        ligne, [](LecteurChamps& l, RQuatre& r) { l.Lit(r.Ident, r.Nom, r.Acces, r.Dernier); });
}
std::string EcritQuatre(const RQuatre& r) {
    return Texte([&](std::string& s) { AjouteLigneQuatre(s, r.Ident, r.Nom, r.Acces, r.Dernier); });
}

void AjouteChampEntier(std::string& s, int n, std::int32_t v) {
    AjouteEtiquette(s, n);
    AjouteEntier(s, v);
}

} // namespace

RNom LitNom(std::string_view ligne) {
    return LitQuatre(ligne);
}
std::string EcritNom(const RNom& r) {
    return EcritQuatre(r);
}
RPage LitPage(std::string_view ligne) {
    return LitQuatre(ligne);
}
std::string EcritPage(const RPage& r) {
    return EcritQuatre(r);
}
ROrigine LitOrigine(std::string_view ligne) {
    return LitQuatre(ligne);
}
std::string EcritOrigine(const ROrigine& r) {
    return EcritQuatre(r);
}

RErreur LitErreur(std::string_view ligne) {
    return Lit<RErreur>(ligne, [](LecteurChamps& l, RErreur& r) {
        l.Lit(r.Ident, r.Chemin, r.Acces, r.Dernier, r.Statut, r.IdentRessource);
    });
}
std::string EcritErreur(const RErreur& r) {
    return Texte([&](std::string& s) {
        AjouteLigneErreur(s, r.Ident, r.Chemin, r.Acces, r.Dernier, r.Statut, r.IdentRessource);
    });
}

RLANP LitLanp(std::string_view ligne) {
    return Lit<RLANP>(ligne, [](LecteurChamps& l, RLANP& r) {
        l.Lit(r.IdentHote, r.IdentRessource, r.Acces, r.Dernier, r.Type);
    });
}
std::string EcritLanp(const RLANP& r) {
    return Texte([&](std::string& s) {
        AjouteLigneLanp(s, r.IdentHote, r.IdentRessource, r.Acces, r.Dernier, r.Type);
    });
}

RGraph LitGraph(std::string_view ligne) {
    return Lit<RGraph>(ligne, [](LecteurChamps& l, RGraph& r) {
        l.Lit(r.Annee, r.Libelle, r.Maximum, r.Pages, r.PremierMois, r.Hits, r.Visites);
    });
}
std::string EcritGraph(const RGraph& r) {
    return Texte([&](std::string& s) { AjouteLigneGraph(s, r); });
}

RGraphMois LitGraphMois(std::string_view ligne) {
    return Lit<RGraphMois>(ligne, [](LecteurChamps& l, RGraphMois& r) {
        l.Lit(r.Annee, r.Mois, r.Maximum, r.Jours, r.Heures);
    });
}
std::string EcritGraphMois(const RGraphMois& r) {
    return Texte([&](std::string& s) { AjouteLigneGraphMois(s, r); });
}

void DateLigne::AjouteA(std::string& s) const {
    if (estCompacte_) {
        AjouteDateCompacte(s, compacte_);
    } else {
        s += texte_;
    }
}

void AjouteLigneCompteur(std::string& s, std::int64_t ident) {
    s += "\\1;";
    AjouteEntier(s, ident);
    s += "\\2;";
}

void AjouteSuiteQuatre(std::string& s, std::string_view nom, std::int32_t acces,
                       DateLigne dernier) {
    s += nom;
    s += "\\3;";
    AjouteEntier(s, acces);
    s += "\\4;";
    dernier.AjouteA(s);
    s += "\\5;";
}

void AjouteLigneQuatre(std::string& s, std::int64_t ident, std::string_view nom, std::int32_t acces,
                       DateLigne dernier) {
    AjouteLigneCompteur(s, ident);
    AjouteSuiteQuatre(s, nom, acces, dernier);
}

std::size_t TailleLigneQuatre(std::int64_t ident, std::string_view nom, std::int32_t acces,
                              DateLigne dernier) {
    return 15 + ChiffresEntier(ident) + nom.size() + ChiffresEntier(acces) + dernier.Taille();
}

void AjouteSuiteMotsCles(std::string& s, std::int32_t origine, std::string_view keywords) {
    AjouteEntier(s, origine);
    s += "\\3;";
    s += keywords;
    s += "\\4;";
}

void AjouteLigneMotsCles(std::string& s, std::int64_t ident, std::int32_t origine,
                         std::string_view keywords) {
    AjouteLigneCompteur(s, ident);
    AjouteSuiteMotsCles(s, origine, keywords);
}

void AjouteLigneErreur(std::string& s, std::int32_t ident, std::string_view chemin,
                       std::int32_t acces, DateLigne dernier, std::string_view statut,
                       std::int32_t ressource) {
    AjouteChampEntier(s, 1, ident);
    s += "\\2;";
    s += chemin;
    AjouteChampEntier(s, 3, acces);
    s += "\\4;";
    dernier.AjouteA(s);
    s += "\\5;";
    s += statut;
    AjouteChampEntier(s, 6, ressource);
    s += "\\7;";
}

std::size_t TailleLigneErreur(std::int32_t ident, std::string_view chemin, std::int32_t acces,
                              DateLigne dernier, std::string_view statut, std::int32_t ressource) {
    return 21 + ChiffresEntier(ident) + chemin.size() + ChiffresEntier(acces) + dernier.Taille() +
           statut.size() + ChiffresEntier(ressource);
}

void AjouteLigneLanp(std::string& s, std::int32_t hote, std::int32_t ressource, std::int32_t acces,
                     DateLigne dernier, std::int32_t type) {
    AjouteChampEntier(s, 1, hote);
    AjouteChampEntier(s, 2, ressource);
    AjouteChampEntier(s, 3, acces);
    s += "\\4;";
    dernier.AjouteA(s);
    AjouteChampEntier(s, 5, type);
    s += "\\6;";
}

namespace {

// Fields 1 to 3 of a calendar row: the year, its text, the maximum.
void AjouteDebutCalendrier(std::string& s, std::int32_t annee, std::string_view texte,
                           std::int32_t maximum) {
    AjouteChampEntier(s, 1, annee);
    s += "\\2;";
    s += texte;
    AjouteChampEntier(s, 3, maximum);
}

// The counts of a series as fields n, n+1, ...; n ends past them.
template <std::size_t N>
void AjouteSerie(std::string& s, int& n, const std::array<std::int32_t, N>& valeurs) {
    for (const std::int32_t v : valeurs) {
        AjouteChampEntier(s, n++, v);
    }
}

} // namespace

void AjouteLigneGraph(std::string& s, const RGraph& r) {
    AjouteDebutCalendrier(s, r.Annee, r.Libelle, r.Maximum);
    int n = 4;
    AjouteSerie(s, n, r.Pages);
    AjouteChampEntier(s, n++, r.PremierMois);
    AjouteSerie(s, n, r.Hits);
    AjouteSerie(s, n, r.Visites);
    AjouteEtiquette(s, n);
}

void AjouteLigneGraphMois(std::string& s, const RGraphMois& r) {
    AjouteDebutCalendrier(s, r.Annee, r.Mois, r.Maximum);
    int n = 4;
    AjouteSerie(s, n, r.Jours);
    AjouteSerie(s, n, r.Heures);
    AjouteEtiquette(s, n);
}

} // namespace sillage
