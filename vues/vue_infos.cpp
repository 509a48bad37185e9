#include "vues/vue_infos.h"

#include "store/base.h"
#include "store/casse.h"
#include "store/champs.h"
#include "store/erreur.h"
#include "vues/paires_infos.h"
#include "vues/texte_affiche.h"
#include "vues/vue_texte.h"

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <stdexcept>

namespace sillage {

namespace {

constexpr std::string_view kSuffixes[] = {" pages accédées", " IP de provenance",
                                          " downloads téléchargés", " référents"};

// The mode as an index of kSuffixes; Aucun has no source table.
std::size_t IndiceMode(ModeInfos mode) {
    if (mode == ModeInfos::Aucun) {
        throw std::invalid_argument("aucun mode de recherche");
    }
    return static_cast<std::size_t>(mode) - 1;
}

std::string Balise(std::string_view avant, std::string_view k, std::string_view apres) {
    std::string s;
    s.reserve(avant.size() + k.size() + apres.size());
    s.append(avant).append(k).append(apres);
    return s;
}

// An exact substring test prepared once and run over many short lines.
class Motif {
  public:
    explicit Motif(std::string motif)
        : motif_(std::move(motif)), chercheur_(motif_.begin(), motif_.end()) {}
    Motif(const Motif&) = delete; // the searcher points into motif_
    Motif& operator=(const Motif&) = delete;
    bool Dans(std::string_view texte) const {
        return std::search(texte.begin(), texte.end(), chercheur_) != texte.end();
    }

  private:
    std::string motif_;
    std::boyer_moore_horspool_searcher<std::string::const_iterator> chercheur_;
};

} // namespace

const Table& TableSourceInfos(const Base& base, ModeInfos mode) {
    const std::array<const Table*, 4> tables = {&base.ListePage, &base.ListeNom,
                                                &base.ListeDownload, &base.ListeOrigine};
    return *tables[IndiceMode(mode)];
}

std::vector<EntreeInfos> ListeEntreesInfos(const Base& base, ModeInfos mode,
                                           std::string_view filtre) {
    const Table& t = TableSourceInfos(base, mode);
    std::vector<EntreeInfos> entrees;
    const std::size_t n = NombreEnregistrements(t.Count());
    const FiltreAffiche f(filtre);
    for (std::size_t i = 0; i < n; ++i) {
        const std::string_view ligne = t[i];
        const std::string_view nom = ExtraitChamp(ligne, 2);
        if (f.Accepte(nom)) {
            entrees.push_back({std::string(nom), i, std::string(ExtraitChamp(ligne, 1))});
        }
    }
    return entrees;
}

std::string TexteLExplI0(ModeInfos mode, std::size_t nombre) {
    return std::to_string(nombre) + std::string(kSuffixes[IndiceMode(mode)]);
}

std::size_t ResoutEntreeInfos(const Base& base, ModeInfos mode, const EntreeInfos& entree) {
    const Table& t = TableSourceInfos(base, mode);
    const std::size_t n = NombreEnregistrements(t.Count());
    if (entree.Ligne < n && ExtraitChamp(t[entree.Ligne], 1) == entree.Ident) {
        return entree.Ligne;
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (ExtraitChamp(t[i], 1) == entree.Ident) {
            return i;
        }
    }
    LeveErreurIndice(-1);
}

ResultatInfos ChercheInfos(const Base& base, ModeInfos mode, const EntreeInfos& entree) {
    const Table& source = TableSourceInfos(base, mode);
    const std::string_view r = source[ResoutEntreeInfos(base, mode, entree)];
    const std::string_view k = ExtraitChamp(r, 1);
    ResultatInfos res;

    if (mode == ModeInfos::Referent) {
        const Motif q(Balise("\\2;", k, "\\3;"));
        const Table& mots = base.ListeKeyword;
        for (std::size_t i = 0; i < mots.Count(); ++i) {
            const std::string_view ligne = mots[i];
            if (q.Dans(ligne)) {
                // Search words are shown with their escapes decoded (UTF-8 text, which the
                // window shows as it is).
                res.Lignes.push_back({MotsClesAffiches(ExtraitChamp(ligne, 3)), {}, {}});
            }
        }
    } else {
        const bool hote = mode == ModeInfos::IP;
        const Motif p(hote ? Balise("\\1;", k, "\\2;") : Balise("\\2;", k, "\\3;"));
        const Motif genre(mode == ModeInfos::Download ? "\\5;2\\6;" : "\\5;1\\6;");
        const int champAutre = hote ? 2 : 1;
        const Table& lanp = base.ListeLanp;
        const Table& liee = hote ? base.ListePage : base.ListeNom;
        PairesInfos paires(liee.Count() + 1024);
        for (std::size_t i = 0; i < lanp.Count(); ++i) {
            const std::string_view ligne = lanp[i];
            if (p.Dans(ligne) && genre.Dans(ligne)) {
                paires.Ajoute(ExtraitChamp(ligne, champAutre), i);
            }
        }
        const std::size_t n = NombreEnregistrements(liee.Count());
        for (std::size_t i = 0; i < n && !paires.Vide(); ++i) {
            const std::string_view t = liee[i];
            const std::int64_t lien = paires.Prend(ExtraitChamp(t, 1));
            if (lien >= 0) {
                res.Lignes.push_back({std::string(ExtraitChamp(t, 2)),
                                      std::string(ExtraitChamp(lanp[lien], 3)),
                                      std::string(ExtraitChamp(t, 4))});
            }
        }
    }
    res.LAffiche =
        std::to_string(res.Lignes.size()) + " résultats pour " + TexteAffiche(ExtraitChamp(r, 2));
    return res;
}

void EtatInfos::Remplit(const Base& base, ModeInfos mode, std::string_view texteFiltre) {
    IndiceMode(mode);
    ModeRecherche = mode;
    Entrees = ListeEntreesInfos(base, mode, ModeFiltre == mode ? texteFiltre : std::string_view{});
    Selection = -1;
    LExplI0 = TexteLExplI0(mode, Entrees.size());
}

void EtatInfos::Cherche(const Base& base) {
    Resultats.clear();
    if (Selection < 0 || static_cast<std::size_t>(Selection) >= Entrees.size()) {
        LeveErreurIndice(Selection);
    }
    ResultatInfos r =
        ChercheInfos(base, ModeRecherche, Entrees[static_cast<std::size_t>(Selection)]);
    Resultats = std::move(r.Lignes);
    LAffiche = std::move(r.LAffiche);
}

void EtatInfos::ChoisitMode(const Base& base, ModeInfos mode, std::string_view texteFiltre) {
    Remplit(base, mode, texteFiltre);
}

void EtatInfos::ChangeDeBase(const Base& base, std::string_view texteFiltre) {
    if (ModeRecherche == ModeInfos::Aucun) {
        return;
    }
    std::optional<std::string> choisie;
    if (Selection >= 0 && static_cast<std::size_t>(Selection) < Entrees.size()) {
        choisie = Entrees[static_cast<std::size_t>(Selection)].Nom;
    }
    Remplit(base, ModeRecherche, texteFiltre);
    Resultats.clear();
    LAffiche.clear();
    if (!choisie) {
        return;
    }
    const auto e = std::find_if(Entrees.begin(), Entrees.end(),
                                [&](const EntreeInfos& entree) { return entree.Nom == *choisie; });
    if (e != Entrees.end()) {
        Selection = static_cast<int>(e - Entrees.begin());
        Cherche(base);
    }
}

void EtatInfos::SelectionneEntree(const Base& base, int index) {
    Selection = index;
    Cherche(base);
}

void EtatInfos::AppliqueFiltre(const Base& base, std::string_view texteFiltre) {
    ModeFiltre = ModeRecherche;
    if (ModeRecherche != ModeInfos::Aucun) {
        Remplit(base, ModeRecherche, texteFiltre);
    }
}

void EtatInfos::RelacheTouche(const Base& base, bool entree, std::string_view texteFiltre) {
    if (entree) {
        AppliqueFiltre(base, texteFiltre);
    }
    ModeFiltre = ModeRecherche;
}

void EtatInfos::NavigueDepuisListe(const Base& base, ModeInfos mode, std::int64_t ligneSource,
                                   std::string_view texteFiltre) {
    Remplit(base, mode, texteFiltre);
    for (std::size_t i = 0; i < Entrees.size(); ++i) {
        if (ligneSource >= 0 && Entrees[i].Ligne == static_cast<std::size_t>(ligneSource)) {
            Selection = static_cast<int>(i);
            break;
        }
    }
    Cherche(base);
}

bool EtatInfos::NavigueDepuisResultat(const Base& base, int ligneResultat,
                                      std::string_view texteFiltre) {
    if (ModeRecherche == ModeInfos::Aucun || ModeRecherche == ModeInfos::Referent ||
        ligneResultat < 0 || static_cast<std::size_t>(ligneResultat) >= Resultats.size()) {
        return false;
    }
    const std::string nom = Resultats[static_cast<std::size_t>(ligneResultat)].Nom;
    Remplit(base, ModeRecherche == ModeInfos::IP ? ModeInfos::Pages : ModeInfos::IP, texteFiltre);
    for (std::size_t i = 0; i < Entrees.size(); ++i) {
        if (EgalSansCasse(Entrees[i].Nom, nom)) {
            Selection = static_cast<int>(i);
            break;
        }
    }
    Cherche(base);
    return true;
}

} // namespace sillage
