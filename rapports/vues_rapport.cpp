#include "rapports/vues_rapport.h"

#include "store/base.h"
#include "store/champs.h"
#include "vues/vue_mots_cles.h"
#include "vues/vue_resume.h"
#include "vues/vue_texte.h"

#include <array>
#include <string>

namespace sillage {

namespace {

const std::vector<DescriptionVue> kVues = {
    {VueRapport::Resume, "resume", "Général"},
    {VueRapport::Pages, "pages", "Statistiques des Pages"},
    {VueRapport::Images, "images", "Statistiques des Images"},
    {VueRapport::IP, "ip", "Statistiques des IP"},
    {VueRapport::Referents, "referents", "Statistiques des Référents"},
    {VueRapport::MotsCles, "motscles", "Mots-clés"},
    {VueRapport::Downloads, "downloads", "Statistiques des Downloads"},
    {VueRapport::Retours, "retours", "Statistiques des Retours"},
    {VueRapport::Annees, "annees", "Années"},
    {VueRapport::Mois, "mois", "Mois"},
    {VueRapport::Jours, "jours", "Jours"},
    {VueRapport::Heures, "heures", "Heures"},
    {VueRapport::Navigateurs, "navigateurs", "Navigateurs"},
    {VueRapport::Systemes, "systemes", "Systèmes"},
    {VueRapport::Robots, "robots", "Robots"},
    {VueRapport::Pays, "pays", "Pays"},
};

// The columns of a list; a ranked list's counts (field 3) are figures, whatever their alignment
// in the window.
std::vector<ColonneTableau> Colonnes(const std::vector<ColonneListe>& colonnes, bool table) {
    std::vector<ColonneTableau> c;
    for (const ColonneListe& l : colonnes) {
        c.push_back({std::string(l.titre), l.adroite || (table && l.champ == 3)});
    }
    return c;
}

// Numbers written into cells that are reused from row to row.
class Cellules {
  public:
    explicit Cellules(std::size_t n) : textes_(n), vues_(n) {}
    void Nombre(std::size_t i, std::int64_t v) {
        textes_[i].clear();
        AjouteEntier(textes_[i], v);
        vues_[i] = textes_[i];
    }
    void Texte(std::size_t i, std::string_view t) { vues_[i] = t; }
    std::span<const std::string_view> Vues() const { return vues_; }

  private:
    std::vector<std::string> textes_;
    std::vector<std::string_view> vues_;
};

void EcritLignesTable(const Table& table, std::size_t n, const std::uint32_t* lignes, Liste liste,
                      EcrivainTableau& e) {
    const std::vector<ColonneListe>& colonnes = ColonnesListe(liste);
    e.Debut(Colonnes(colonnes, true), n);
    std::array<std::string_view, 8> cellules{};
    for (std::size_t k = 0; k < n; ++k) {
        const std::uint32_t i = lignes ? lignes[k] : static_cast<std::uint32_t>(k);
        TextesCellules(table, i, colonnes, cellules.data());
        e.Rangee(std::span<const std::string_view>(cellules.data(), colonnes.size()));
    }
    e.Fin();
}

void EcritResume(const Base& base, EcrivainTableau& e) {
    std::vector<ColonneTableau> colonnes = {{"Liste", false}};
    for (std::string_view t : kTitresColonnesResume) {
        colonnes.push_back({std::string(t), true});
    }
    const std::array<LigneResume, 5> lignes = LignesResume(base);
    e.Debut(colonnes, lignes.size());
    for (std::size_t r = 0; r < lignes.size(); ++r) {
        const std::array<std::string_view, 4> c = {kTitresLignesResume[r], lignes[r].Nombre,
                                                   lignes[r].Total, lignes[r].Moyenne};
        e.Rangee(c);
    }
    e.Fin();
}

void EcritMotsCles(const Base& base, EcrivainTableau& e) {
    const std::vector<LigneMotsCles> lignes = MotsClesParAcces(base);
    e.Debut({{"Mots-clés", false}, {"Accès", true}}, lignes.size());
    Cellules c(2);
    for (const LigneMotsCles& l : lignes) {
        c.Texte(0, l.Mots);
        c.Nombre(1, l.Acces);
        e.Rangee(c.Vues());
    }
    e.Fin();
}

void EcritTousRetours(const Base& base, EcrivainTableau& e) {
    std::vector<VueRetours> vues;
    std::size_t n = 0;
    for (const StatutRetour& s : StatutsRetours()) {
        vues.push_back(CalculeRetours(base, s.Legende));
        n += vues.back().Lignes.size();
    }
    e.Debut({{"Statut", true}, {"Nom", false}, {"Page", false}, {"Acces", true}, {"Date", false}},
            n);
    for (std::size_t k = 0; k < vues.size(); ++k) {
        const StatutRetour& s = StatutsRetours()[k];
        for (const LigneRetour& l : vues[k].Lignes) {
            const std::array<std::string_view, 5> c = {s.Legende, s.Nom, l.Page, l.Acces, l.Date};
            e.Rangee(c);
        }
    }
    e.Fin();
}

void EcritAnnees(const Base& base, EcrivainTableau& e) {
    const std::vector<ChiffresAnnee> annees = ChiffresDesAnnees(base);
    e.Debut({{"Année", true}, {"Hits", true}, {"Pages et downloads", true}, {"Visites", true}},
            annees.size());
    Cellules c(4);
    for (const ChiffresAnnee& a : annees) {
        c.Nombre(0, a.Annee);
        c.Nombre(1, a.Hits);
        c.Nombre(2, a.Pages);
        c.Nombre(3, a.Visites);
        e.Rangee(c.Vues());
    }
    e.Fin();
}

} // namespace

const std::vector<DescriptionVue>& VuesRapport() {
    return kVues;
}

const DescriptionVue& DescriptionDe(VueRapport vue) {
    for (const DescriptionVue& d : kVues) {
        if (d.Vue == vue) {
            return d;
        }
    }
    return kVues.front();
}

std::optional<VueRapport> VueNommee(std::string_view nom) {
    for (const DescriptionVue& d : kVues) {
        if (d.Nom == nom) {
            return d.Vue;
        }
    }
    return std::nullopt;
}

bool EstVueVisiteurs(VueRapport vue) {
    return vue == VueRapport::Navigateurs || vue == VueRapport::Systemes ||
           vue == VueRapport::Robots || vue == VueRapport::Pays;
}

void EcritListe(const Table& table, const std::vector<std::uint32_t>& lignes, Liste liste,
                EcrivainTableau& ecrivain) {
    EcritLignesTable(table, lignes.size(), lignes.data(), liste, ecrivain);
}

void EcritResultatsInfos(const std::vector<LigneResultat>& lignes, EcrivainTableau& e) {
    e.Debut({{"Nom", false}, {"Acces", true}, {"Date", false}}, lignes.size());
    for (const LigneResultat& l : lignes) {
        const std::array<std::string_view, 3> c = {l.Nom, l.Acces, l.Date};
        e.Rangee(c);
    }
    e.Fin();
}

void EcritRetours(const VueRetours& vue, EcrivainTableau& e) {
    e.Debut({{"Page", false}, {"Acces", true}, {"Date", false}}, vue.Lignes.size());
    for (const LigneRetour& l : vue.Lignes) {
        const std::array<std::string_view, 3> c = {l.Page, l.Acces, l.Date};
        e.Rangee(c);
    }
    e.Fin();
}

void EcritChiffresMois(std::span<const ChiffresMois> mois, EcrivainTableau& e) {
    e.Debut({{"Année", true},
             {"Mois", false},
             {"Hits", true},
             {"Pages et downloads", true},
             {"Visites", true}},
            mois.size());
    Cellules c(5);
    for (const ChiffresMois& m : mois) {
        c.Nombre(0, m.Annee);
        c.Texte(1, kMoisFrancais[static_cast<std::size_t>(m.Mois - 1)]);
        c.Nombre(2, m.Hits);
        c.Nombre(3, m.Pages);
        c.Nombre(4, m.Visites);
        e.Rangee(c.Vues());
    }
    e.Fin();
}

void EcritChiffresJours(std::span<const ChiffresPeriode> jours, EcrivainTableau& e, bool heures) {
    e.Debut({{"Année", true},
             {"Mois", false},
             {heures ? "Heure" : "Jour", true},
             {"Pages et downloads", true}},
            jours.size());
    Cellules c(4);
    for (const ChiffresPeriode& j : jours) {
        c.Nombre(0, j.Annee);
        c.Texte(1, j.Mois);
        c.Nombre(2, j.Numero);
        c.Nombre(3, j.Pages);
        e.Rangee(c.Vues());
    }
    e.Fin();
}

void EcritVisiteurs(const VueVisiteurs& vue, ListeVisiteurs liste,
                    const std::vector<std::uint32_t>& lignes, EcrivainTableau& e) {
    const std::vector<ColonneListe>& colonnes = ColonnesVisiteurs(liste);
    e.Debut(Colonnes(colonnes, false), lignes.size());
    const std::vector<LigneVisiteurs>& rangees = vue.Liste(liste);
    std::vector<std::string_view> c(colonnes.size());
    for (std::uint32_t i : lignes) {
        for (std::size_t k = 0; k < colonnes.size(); ++k) {
            const std::size_t champ = static_cast<std::size_t>(colonnes[k].champ) - 1;
            c[k] = champ < rangees[i].Cellules.size() ? std::string_view(rangees[i].Cellules[champ])
                                                      : std::string_view();
        }
        e.Rangee(c);
    }
    e.Fin();
}

void EcritVue(const Base& base, VueRapport vue, EcrivainTableau& e, const VueVisiteurs* visiteurs) {
    const auto liste = [&](Liste l) {
        const Table& t = TableListe(base, l);
        EcritLignesTable(t, NombreEnregistrements(t.Count()), nullptr, l, e);
    };
    const auto visiteur = [&](ListeVisiteurs l) {
        static const VueVisiteurs kVide;
        const VueVisiteurs& v = visiteurs ? *visiteurs : kVide;
        EcritVisiteurs(v, l, LignesVisiteurs(v.Liste(l)), e);
    };
    switch (vue) {
    case VueRapport::Resume:
        return EcritResume(base, e);
    case VueRapport::Pages:
        return liste(Liste::Pages);
    case VueRapport::Images:
        return liste(Liste::Images);
    case VueRapport::IP:
        return liste(Liste::IP);
    case VueRapport::Referents:
        return liste(Liste::Origines);
    case VueRapport::MotsCles:
        return EcritMotsCles(base, e);
    case VueRapport::Downloads:
        return liste(Liste::Downloads);
    case VueRapport::Retours:
        return EcritTousRetours(base, e);
    case VueRapport::Annees:
        return EcritAnnees(base, e);
    case VueRapport::Mois:
        return EcritChiffresMois(ChiffresDesMois(base), e);
    case VueRapport::Jours:
        return EcritChiffresJours(ChiffresDesJours(base), e);
    case VueRapport::Heures:
        return EcritChiffresJours(ChiffresDesHeures(base), e, true);
    case VueRapport::Navigateurs:
        return visiteur(ListeVisiteurs::Navigateurs);
    case VueRapport::Systemes:
        return visiteur(ListeVisiteurs::Systemes);
    case VueRapport::Robots:
        return visiteur(ListeVisiteurs::Robots);
    case VueRapport::Pays:
        return visiteur(ListeVisiteurs::Pays);
    }
}

} // namespace sillage
