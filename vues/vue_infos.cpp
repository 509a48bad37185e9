#include "vues/vue_infos.h"

#include "store/base.h"
#include "store/casse.h"
#include "store/champs.h"
#include "store/erreur.h"

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <unordered_map>

namespace sillage {

namespace {

constexpr std::string_view kSuffixes[] = {" pages accédées", " IP de provenance",
                                          " downloads téléchargés", " référents"};

void VerifieMode(int mode) {
    if (mode < 1 || mode > 4) {
        throw std::invalid_argument("mode de recherche hors de 1..4");
    }
}

// Number of data rows of a table whose last line is its counter row.
std::size_t LignesDonnees(const Table& t) {
    return t.Count() == 0 ? 0 : t.Count() - 1;
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

// The working list of pairs (other identifier, link row), in link-table order. Identifiers are
// compared without regard to letter case; each look-up takes the first unused pair of an
// identifier and uses it up. Identifiers are nearly always the decimal numbers the store gives,
// below the related table's counter: those index an array, any other text goes to a map.
class Paires {
  public:
    explicit Paires(std::size_t borne) : borne_(borne) {}

    void Ajoute(std::string_view ident, std::size_t lien) {
        const auto k = static_cast<std::int64_t>(liens_.size());
        liens_.push_back(lien);
        suivants_.push_back(-1);
        Chaine& c = Trouve(ident, true);
        if (c.queue < 0) {
            c.tete = k;
        } else {
            suivants_[static_cast<std::size_t>(c.queue)] = k;
            if (c.tete < 0) {
                c.tete = k;
            }
        }
        c.queue = k;
        ++restantes_;
    }
    // The link row of the first unused pair of ident, which is then used up; -1 when none.
    std::int64_t Prend(std::string_view ident) {
        Chaine& c = Trouve(ident, false);
        if (c.tete < 0) {
            return -1;
        }
        const auto k = static_cast<std::size_t>(c.tete);
        c.tete = suivants_[k];
        --restantes_;
        return static_cast<std::int64_t>(liens_[k]);
    }
    bool Vide() const { return restantes_ == 0; }

  private:
    struct Chaine {
        std::int64_t tete = -1;
        std::int64_t queue = -1;
    };

    // The value of a decimal number written without leading zeros, below borne_; -1 otherwise.
    std::int64_t Nombre(std::string_view s) const {
        if (s.empty() || s.size() > 9 || (s[0] == '0' && s.size() > 1)) {
            return -1;
        }
        std::int64_t v = 0;
        for (char ch : s) {
            if (ch < '0' || ch > '9') {
                return -1;
            }
            v = v * 10 + (ch - '0');
        }
        return static_cast<std::size_t>(v) < borne_ ? v : -1;
    }

    Chaine& Trouve(std::string_view ident, bool cree) {
        const std::int64_t v = Nombre(ident);
        if (v >= 0) {
            if (parNombre_.empty()) {
                if (!cree) {
                    return absente_;
                }
                parNombre_.resize(borne_);
            }
            return parNombre_[static_cast<std::size_t>(v)];
        }
        std::string plie(ident);
        for (char& ch : plie) {
            ch = static_cast<char>(Minuscule(static_cast<unsigned char>(ch)));
        }
        if (!cree) {
            auto it = parTexte_.find(plie);
            return it == parTexte_.end() ? absente_ : it->second;
        }
        return parTexte_[plie];
    }

    std::size_t borne_;
    std::vector<std::size_t> liens_;
    std::vector<std::int64_t> suivants_;
    std::vector<Chaine> parNombre_;
    std::unordered_map<std::string, Chaine> parTexte_;
    Chaine absente_; // what a look-up of an unknown identifier sees; never changed
    std::size_t restantes_ = 0;
};

} // namespace

const Table& TableSourceInfos(const Base& base, int mode) {
    VerifieMode(mode);
    switch (mode) {
    case 1:
        return base.ListePage;
    case 2:
        return base.ListeNom;
    case 3:
        return base.ListeDownload;
    default:
        return base.ListeOrigine;
    }
}

std::vector<EntreeInfos> ListeEntreesInfos(const Base& base, int mode, std::string_view filtre) {
    const Table& t = TableSourceInfos(base, mode);
    std::vector<EntreeInfos> entrees;
    const std::size_t n = LignesDonnees(t);
    for (std::size_t i = 0; i < n; ++i) {
        const std::string_view ligne = t[i];
        const std::string_view nom = ExtraitChamp(ligne, 2);
        if (filtre.empty() || nom.find(filtre) != std::string_view::npos) {
            entrees.push_back({std::string(nom), i, std::string(ExtraitChamp(ligne, 1))});
        }
    }
    return entrees;
}

std::string TexteLExplI0(int mode, std::size_t nombre) {
    VerifieMode(mode);
    return std::to_string(nombre) + std::string(kSuffixes[mode - 1]);
}

std::size_t ResoutEntreeInfos(const Base& base, int mode, const EntreeInfos& entree) {
    const Table& t = TableSourceInfos(base, mode);
    const std::size_t n = LignesDonnees(t);
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

ResultatInfos ChercheInfos(const Base& base, int mode, const EntreeInfos& entree) {
    const Table& source = TableSourceInfos(base, mode);
    const std::string_view r = source[ResoutEntreeInfos(base, mode, entree)];
    const std::string_view k = ExtraitChamp(r, 1);
    ResultatInfos res;

    if (mode == 4) {
        const Motif q(Balise("\\2;", k, "\\3;"));
        const Table& mots = base.ListeKeyword;
        for (std::size_t i = 0; i < mots.Count(); ++i) {
            const std::string_view ligne = mots[i];
            if (q.Dans(ligne)) {
                res.Lignes.push_back({std::string(ExtraitChamp(ligne, 3)), {}, {}});
            }
        }
    } else {
        const Motif p(mode == 2 ? Balise("\\1;", k, "\\2;") : Balise("\\2;", k, "\\3;"));
        const Motif genre(mode == 3 ? "\\5;2\\6;" : "\\5;1\\6;");
        const int champAutre = mode == 2 ? 2 : 1;
        const Table& lanp = base.ListeLanp;
        const Table& liee = mode == 2 ? base.ListePage : base.ListeNom;
        Paires paires(liee.Count() + 1024);
        for (std::size_t i = 0; i < lanp.Count(); ++i) {
            const std::string_view ligne = lanp[i];
            if (p.Dans(ligne) && genre.Dans(ligne)) {
                paires.Ajoute(ExtraitChamp(ligne, champAutre), i);
            }
        }
        const std::size_t n = LignesDonnees(liee);
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
    res.LAffiche = std::to_string(res.Lignes.size()) + " résultats pour " +
                   Windows1252VersUtf8(ExtraitChamp(r, 2));
    return res;
}

void EtatInfos::Remplit(const Base& base, int mode, std::string_view texteFiltre) {
    VerifieMode(mode);
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

void EtatInfos::ChoisitMode(const Base& base, int mode, std::string_view texteFiltre) {
    Remplit(base, mode, texteFiltre);
}

void EtatInfos::SelectionneEntree(const Base& base, int index) {
    Selection = index;
    Cherche(base);
}

void EtatInfos::AppliqueFiltre(const Base& base, std::string_view texteFiltre) {
    ModeFiltre = ModeRecherche;
    if (ModeRecherche >= 1 && ModeRecherche <= 4) {
        Remplit(base, ModeRecherche, texteFiltre);
    }
}

void EtatInfos::RelacheTouche(const Base& base, bool entree, std::string_view texteFiltre) {
    if (entree) {
        AppliqueFiltre(base, texteFiltre);
    }
    ModeFiltre = ModeRecherche;
}

void EtatInfos::NavigueDepuisListe(const Base& base, int mode, std::int64_t ligneSource,
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
    if (ModeRecherche < 1 || ModeRecherche > 3 || ligneResultat < 0 ||
        static_cast<std::size_t>(ligneResultat) >= Resultats.size()) {
        return false;
    }
    const std::string nom = Resultats[static_cast<std::size_t>(ligneResultat)].Nom;
    Remplit(base, ModeRecherche == 2 ? 1 : 2, texteFiltre);
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
