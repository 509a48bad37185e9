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

template <class R> R LitQuatre(std::string_view ligne) {
    LecteurChamps l(ligne);
    R r;
    r.Ident = l.SuivantEntier();
    r.Nom = l.Suivant();
    r.Acces = l.SuivantEntier();
    r.Dernier = l.Suivant();
    return r;
}

template <class R> std::string EcritQuatre(const R& r) {
    std::string s;
    s.reserve(r.Nom.size() + r.Dernier.size() + 32);
    s += "\\1;";
    AjouteEntier(s, r.Ident);
    s += "\\2;";
    s += r.Nom;
    s += "\\3;";
    AjouteEntier(s, r.Acces);
    s += "\\4;";
    s += r.Dernier;
    s += "\\5;";
    return s;
}

void AjouteChampEntier(std::string& s, int n, std::int32_t v) {
    AjouteEtiquette(s, n);
    AjouteEntier(s, v);
}

} // namespace

RNom LitNom(std::string_view ligne) {
    return LitQuatre<RNom>(ligne);
}
std::string EcritNom(const RNom& r) {
    return EcritQuatre(r);
}
RPage LitPage(std::string_view ligne) {
    return LitQuatre<RPage>(ligne);
}
std::string EcritPage(const RPage& r) {
    return EcritQuatre(r);
}
ROrigine LitOrigine(std::string_view ligne) {
    return LitQuatre<ROrigine>(ligne);
}
std::string EcritOrigine(const ROrigine& r) {
    return EcritQuatre(r);
}

RErreur LitErreur(std::string_view ligne) {
    LecteurChamps l(ligne);
    RErreur r;
    r.Ident = l.SuivantEntier();
    r.Chemin = l.Suivant();
    r.Acces = l.SuivantEntier();
    r.Dernier = l.Suivant();
    r.Statut = l.Suivant();
    r.IdentRessource = l.SuivantEntier();
    return r;
}

std::string EcritErreur(const RErreur& r) {
    std::string s;
    s.reserve(r.Chemin.size() + r.Dernier.size() + r.Statut.size() + 40);
    AjouteChampEntier(s, 1, r.Ident);
    s += "\\2;";
    s += r.Chemin;
    AjouteChampEntier(s, 3, r.Acces);
    s += "\\4;";
    s += r.Dernier;
    s += "\\5;";
    s += r.Statut;
    AjouteChampEntier(s, 6, r.IdentRessource);
    s += "\\7;";
    return s;
}

RLANP LitLanp(std::string_view ligne) {
    LecteurChamps l(ligne);
    RLANP r;
    r.IdentHote = l.SuivantEntier();
    r.IdentRessource = l.SuivantEntier();
    r.Acces = l.SuivantEntier();
    r.Dernier = l.Suivant();
    r.Type = l.SuivantEntier();
    return r;
}

std::string EcritLanp(const RLANP& r) {
    std::string s;
    s.reserve(r.Dernier.size() + 48);
    AjouteChampEntier(s, 1, r.IdentHote);
    AjouteChampEntier(s, 2, r.IdentRessource);
    AjouteChampEntier(s, 3, r.Acces);
    s += "\\4;";
    s += r.Dernier;
    AjouteChampEntier(s, 5, r.Type);
    s += "\\6;";
    return s;
}

RGraph LitGraph(std::string_view ligne) {
    LecteurChamps l(ligne);
    RGraph r;
    r.Annee = l.SuivantEntier();
    r.Libelle = l.Suivant();
    r.Maximum = l.SuivantEntier();
    for (auto& v : r.Pages) {
        v = l.SuivantEntier();
    }
    r.PremierMois = l.SuivantEntier();
    for (auto& v : r.Hits) {
        v = l.SuivantEntier();
    }
    for (auto& v : r.Visites) {
        v = l.SuivantEntier();
    }
    return r;
}

std::string EcritGraph(const RGraph& r) {
    std::string s;
    s.reserve(r.Libelle.size() + 40 * 6);
    AjouteChampEntier(s, 1, r.Annee);
    s += "\\2;";
    s += r.Libelle;
    AjouteChampEntier(s, 3, r.Maximum);
    int n = 4;
    for (auto v : r.Pages) {
        AjouteChampEntier(s, n++, v);
    }
    AjouteChampEntier(s, n++, r.PremierMois);
    for (auto v : r.Hits) {
        AjouteChampEntier(s, n++, v);
    }
    for (auto v : r.Visites) {
        AjouteChampEntier(s, n++, v);
    }
    AjouteEtiquette(s, n);
    return s;
}

RGraphMois LitGraphMois(std::string_view ligne) {
    LecteurChamps l(ligne);
    RGraphMois r;
    r.Annee = l.SuivantEntier();
    r.Mois = l.Suivant();
    r.Maximum = l.SuivantEntier();
    for (auto& v : r.Jours) {
        v = l.SuivantEntier();
    }
    for (auto& v : r.Heures) {
        v = l.SuivantEntier();
    }
    return r;
}

std::string EcritGraphMois(const RGraphMois& r) {
    std::string s;
    s.reserve(r.Mois.size() + 58 * 6);
    AjouteChampEntier(s, 1, r.Annee);
    s += "\\2;";
    s += r.Mois;
    AjouteChampEntier(s, 3, r.Maximum);
    int n = 4;
    for (auto v : r.Jours) {
        AjouteChampEntier(s, n++, v);
    }
    for (auto v : r.Heures) {
        AjouteChampEntier(s, n++, v);
    }
    AjouteEtiquette(s, n);
    return s;
}

} // namespace sillage
