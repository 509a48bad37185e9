#include "import/importation.h"

#include "import/import.h"
#include "import/importation_outils.h"
#include "import/visites.h"
#include "store/casse.h"
#include "store/champs.h"
#include "store/enregistrements.h"
#include "store/erreur.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

namespace sillage {

using detail::Chiffres;
using detail::CleLanp;
using detail::kEntierMax;

namespace {

// Counts never wrap: a count at the top of the range stays there.
inline void Incremente(std::int32_t& v) {
    if (v < std::numeric_limits<std::int32_t>::max()) {
        ++v;
    }
}

std::uint64_t HachageErreur(std::int32_t ressource, std::string_view chemin) {
    return HachageSansCasse(chemin) ^
           (static_cast<std::uint64_t>(static_cast<std::uint32_t>(ressource)) *
            0xC2B2AE3D27D4EB4Full);
}

std::int64_t CleMois(std::int32_t annee, int mois) {
    return static_cast<std::int64_t>(annee) * 16 + mois;
}

} // namespace

std::string_view Arene::Copie(std::string_view texte) {
    constexpr std::size_t kBloc = 256 * 1024;
    if (texte.size() > reste_) {
        const std::size_t taille = std::max(kBloc, texte.size());
        blocs_.push_back(std::make_unique<char[]>(taille));
        courant_ = blocs_.back().get();
        reste_ = taille;
    }
    if (!texte.empty()) {
        std::memcpy(courant_, texte.data(), texte.size());
    }
    const std::string_view copie(courant_, texte.size());
    courant_ += texte.size();
    reste_ -= texte.size();
    return copie;
}

Importation::TableCle::TableCle(Table& t, IndexNoms& i)
    : table(t), index(i), n0(t.Count() == 0 ? 0 : t.Count() - 1),
      compteur(t.Count() == 0 ? std::string() : std::string(t.Derniere())),
      aCompteur(t.Count() > 0) {}

Importation::Importation(Base& base)
    : base_(base), noms_(base.ListeNom, base.IndexNom), pages_(base.ListePage, base.IndexPage),
      images_(base.ListeImage, base.IndexImage), downloads_(base.ListeDownload, base.IndexDownload),
      origines_(base.ListeOrigine, base.IndexOrigine), motsClesInitial_(base.ListeKeyword.Count()),
      compteurMotsCles_(base.ListeKeyword.Count() ? std::string(base.ListeKeyword.Derniere()) : ""),
      erreurs0_(base.ListeErreur.Count() == 0 ? 0 : base.ListeErreur.Count() - 1),
      compteurErreurs_(base.ListeErreur.Count() ? std::string(base.ListeErreur.Derniere()) : ""),
      aCompteurErreurs_(base.ListeErreur.Count() > 0), lanp0_(base.ListeLanp.Count()),
      lanpSearch0_(base.ListeLanpSearch.Count()), annees0_(base.ListeGraphMois.Count()),
      mois0_(base.ListeGraphHeure.Count()) {
    // The first error row of each resource id and path, among the rows already stored.
    hachageErreurs_.Reserve(erreurs0_);
    for (std::size_t i = 0; i < erreurs0_; ++i) {
        const std::string_view ligne = base.ListeErreur[i];
        std::int32_t ressource = 0;
        if (!EssaieEntier(ExtraitChamp(ligne, 6), ressource)) {
            continue;
        }
        const std::string_view chemin = ExtraitChamp(ligne, 2);
        const std::uint64_t h = HachageErreur(ressource, chemin);
        const bool connu = hachageErreurs_.Cherche(h, [&](std::uint32_t p) {
            const std::string_view autre = base.ListeErreur[p];
            std::int32_t r = 0;
            return EssaieEntier(ExtraitChamp(autre, 6), r) && r == ressource &&
                   EgalSansCasse(ExtraitChamp(autre, 2), chemin);
        }) >= 0;
        if (!connu) {
            hachageErreurs_.Insere(h, static_cast<std::uint32_t>(i));
        }
    }
    // The first position of each key of lanpsearch.lst.
    hachageLanp_.Reserve(lanpSearch0_);
    for (std::size_t i = 0; i < lanpSearch0_; ++i) {
        const std::string_view cle = base.ListeLanpSearch[i];
        const std::uint64_t h = HachageExact(cle);
        if (hachageLanp_.Cherche(
                h, [&](std::uint32_t p) { return base.ListeLanpSearch[p] == cle; }) < 0) {
            hachageLanp_.Insere(h, static_cast<std::uint32_t>(i));
        }
    }
}

Importation::~Importation() {
    if (valide_) {
        return;
    }
    // Nothing but the keyword rows reached the tables: take them back.
    Table& motsCles = base_.ListeKeyword;
    if (motsClesInitial_ > 0 && motsCles.Count() != motsClesInitial_) {
        motsCles.Tronque(motsClesInitial_ - 1);
        motsCles.Ajoute(compteurMotsCles_);
    }
}

// --- Dates ---

DateCompacte Importation::Date(std::string_view texte, bool copier) {
    DateCompacte d = 0;
    if (CompacteDate(texte, d)) {
        return d;
    }
    datesTexte_.push_back(copier ? arene_.Copie(texte) : texte);
    return kDateTexte | (datesTexte_.size() - 1);
}

std::string_view Importation::TexteDate(DateCompacte d) const {
    return datesTexte_[static_cast<std::size_t>(d & ~kDateTexte)];
}

RDate Importation::LitDateCompacte(DateCompacte d) {
    return (d & kDateTexte) ? LitDate(TexteDate(d)) : DecompacteDate(d);
}

std::size_t Importation::TailleDate(DateCompacte d) const {
    return (d & kDateTexte) ? TexteDate(d).size() : 20;
}

void Importation::AjouteDate(std::string& s, DateCompacte d) const {
    if (d & kDateTexte) {
        s += TexteDate(d);
    } else {
        AjouteDateCompacte(s, d);
    }
}

// --- Keyed tables ---

std::int64_t Importation::IdentSuivant(const TableCle& t) const {
    if (!t.aCompteur) {
        LeveErreurIndice(-1);
    }
    const std::int64_t n = static_cast<std::int64_t>(ConvertitEntier(ExtraitChamp(t.compteur, 1))) +
                           static_cast<std::int64_t>(t.nouvelles.size());
    if (n > kEntierMax) {
        // The counter row would hold a number beyond the range: its reading fails.
        LeveErreurEntier(std::to_string(n));
    }
    return n;
}

// The record of index position p: a stored row, read on first use; positions past the stored
// rows stand for the rows added since, then for the counter row.
std::uint32_t Importation::RangCle(TableCle& t, std::int64_t p) {
    const auto n0 = static_cast<std::int64_t>(t.n0);
    if (p < n0) {
        const auto position = static_cast<std::uint32_t>(p);
        if (auto it = t.parPosition.find(position); it != t.parPosition.end()) {
            return it->second;
        }
        LecteurChamps l(t.table[position]);
        RecCle r;
        r.ident = l.SuivantEntier();
        r.nom = l.Suivant();
        r.acces = l.SuivantEntier();
        r.date = Date(l.Suivant(), false);
        r.cle = t.index[position];
        const auto rang = static_cast<std::uint32_t>(t.recs.size());
        t.recs.push_back(r);
        t.parPosition.emplace(position, rang);
        return rang;
    }
    const auto k = static_cast<std::int64_t>(t.nouvelles.size());
    if (p < n0 + k) {
        return t.nouvelles[static_cast<std::size_t>(p - n0)];
    }
    if (p == n0 + k && t.aCompteur) {
        // The position of the counter row, whose empty count does not read.
        LeveErreurEntier("");
    }
    LeveErreurIndice(p);
}

std::int32_t Importation::Compte(TableCle& t, std::string_view cle, std::uint64_t h,
                                 DateCompacte date, bool& nouveau, DateCompacte& precedente) {
    std::int64_t rang =
        t.memo.Cherche(h, [&](std::uint32_t r) { return EgalSansCasse(t.recs[r].cle, cle); });
    if (rang < 0) {
        // First time this import meets the name: the index knows the stored rows.
        const std::int64_t p = t.index.Count() == 0 ? -1 : t.index.Cherche(cle);
        if (p < 0) {
            const auto ident = static_cast<std::int32_t>(IdentSuivant(t));
            const std::string_view copie = arene_.Copie(cle);
            const auto nouveauRang = static_cast<std::uint32_t>(t.recs.size());
            t.recs.push_back(RecCle{ident, 1, date, copie, copie});
            t.nouvelles.push_back(nouveauRang);
            t.memo.Insere(h, nouveauRang);
            nouveau = true;
            precedente = date;
            return ident;
        }
        rang = RangCle(t, p);
        t.memo.Insere(h, static_cast<std::uint32_t>(rang));
    }
    RecCle& r = t.recs[static_cast<std::size_t>(rang)];
    precedente = r.date;
    Incremente(r.acces);
    r.date = date;
    nouveau = false;
    return r.ident;
}

void Importation::AjouteMotsCles(std::int32_t origine, std::string_view keywords) {
    Table& t = base_.ListeKeyword;
    const std::string_view compteur = t.Derniere();
    const std::int64_t n = ConvertitEntier(ExtraitChamp(compteur, 1));
    tampon_.assign(compteur);
    AjouteEntier(tampon_, origine);
    tampon_ += "\\3;";
    tampon_ += keywords;
    tampon_ += "\\4;";
    t.Remplace(t.Count() - 1, tampon_);
    tampon_.assign("\\1;");
    AjouteEntier(tampon_, n + 1);
    tampon_ += "\\2;";
    t.Ajoute(tampon_);
}

// --- Error rows ---

void Importation::CompteErreur(const RHitsVues& h, std::int32_t ressource, DateCompacte date) {
    const std::uint64_t hachage = HachageErreur(ressource, h.Page);
    std::int64_t rang = memoErreurs_.Cherche(hachage, [&](std::uint32_t q) {
        const RecErreur& e = erreurs_[q];
        return e.cleRessource == ressource && EgalSansCasse(e.cleChemin, h.Page);
    });
    if (rang < 0) {
        const Table& table = base_.ListeErreur;
        const std::int64_t p = hachageErreurs_.Taille() == 0
                                   ? -1
                                   : hachageErreurs_.Cherche(hachage, [&](std::uint32_t q) {
                                         const std::string_view ligne = table[q];
                                         std::int32_t r = 0;
                                         return EssaieEntier(ExtraitChamp(ligne, 6), r) &&
                                                r == ressource &&
                                                EgalSansCasse(ExtraitChamp(ligne, 2), h.Page);
                                     });
        if (p >= 0) {
            const auto position = static_cast<std::uint32_t>(p);
            LecteurChamps l(table[position]);
            RecErreur e;
            e.ident = l.SuivantEntier();
            e.chemin = l.Suivant();
            e.acces = l.SuivantEntier();
            e.date = Date(l.Suivant(), false);
            e.statut = l.Suivant();
            e.ressource = l.SuivantEntier();
            e.cleRessource = ressource;
            e.cleChemin = ExtraitChamp(table[position], 2);
            rang = static_cast<std::int64_t>(erreurs_.size());
            erreurs_.push_back(e);
            erreursParPosition_.emplace(position, static_cast<std::uint32_t>(rang));
        } else {
            if (!aCompteurErreurs_) {
                LeveErreurIndice(-1);
            }
            const std::int64_t n =
                static_cast<std::int64_t>(ConvertitEntier(ExtraitChamp(compteurErreurs_, 1))) +
                static_cast<std::int64_t>(erreursNouvelles_);
            if (n > kEntierMax) {
                LeveErreurEntier(std::to_string(n));
            }
            const std::string_view chemin = arene_.Copie(h.Page);
            memoErreurs_.Insere(hachage, static_cast<std::uint32_t>(erreurs_.size()));
            erreurs_.push_back(RecErreur{static_cast<std::int32_t>(n), 1, date, chemin,
                                         arene_.Copie(h.Statut), ressource, ressource, chemin});
            ++erreursNouvelles_;
            return;
        }
        memoErreurs_.Insere(hachage, static_cast<std::uint32_t>(rang));
    }
    RecErreur& e = erreurs_[static_cast<std::size_t>(rang)];
    Incremente(e.acces);
    e.date = date;
}

// --- Host and page pairs ---

// Row p of the pairs: a stored row, read on first use, or one added since.
Importation::RecLanp& Importation::RangLanp(std::int64_t p) {
    if (static_cast<std::size_t>(p) < lanp0_) {
        const auto position = static_cast<std::uint32_t>(p);
        if (auto it = lanpParPosition_.find(position); it != lanpParPosition_.end()) {
            return lanpTouchees_[it->second];
        }
        LecteurChamps l(base_.ListeLanp[position]);
        RecLanp r;
        r.hote = l.SuivantEntier();
        r.ressource = l.SuivantEntier();
        r.acces = l.SuivantEntier();
        r.date = Date(l.Suivant(), false);
        r.type = l.SuivantEntier();
        lanpParPosition_.emplace(position, static_cast<std::uint32_t>(lanpTouchees_.size()));
        lanpTouchees_.push_back(r);
        return lanpTouchees_.back();
    }
    const std::size_t j = static_cast<std::size_t>(p) - lanp0_;
    if (j < lanpNouvelles_.size()) {
        return lanpNouvelles_[j];
    }
    LeveErreurIndice(p);
}

void Importation::MajLanp(std::int32_t hote, std::int32_t ressource, std::int32_t type,
                          DateCompacte date) {
    if (ressource == -2) {
        return;
    }
    // Pairs added by this import, by their numbers.
    const std::uint64_t h =
        (static_cast<std::uint64_t>(static_cast<std::uint32_t>(hote)) * 0x9E3779B97F4A7C15ull) ^
        (static_cast<std::uint64_t>(static_cast<std::uint32_t>(ressource)) *
         0xC2B2AE3D27D4EB4Full) ^
        (static_cast<std::uint64_t>(type) << 61);
    const std::uint64_t hm = h ^ (h >> 29);
    const std::int64_t n = memoLanp_.Cherche(hm, [&](std::uint32_t q) {
        const RecLanp& r = lanpNouvelles_[q];
        return r.hote == hote && r.ressource == ressource && r.type == type;
    });
    std::int64_t p = -1;
    if (n >= 0) {
        // An added pair: its row sits at the same distance past the stored rows in both lists.
        p = static_cast<std::int64_t>(lanpSearch0_) + n;
    } else if (lanpSearch0_ > 0) {
        const std::string_view cle = CleLanp(tamponCle_, hote, ressource, type);
        p = hachageLanp_.Cherche(HachageExact(cle),
                                 [&](std::uint32_t q) { return base_.ListeLanpSearch[q] == cle; });
    }
    if (p >= 0) {
        RecLanp& r = RangLanp(p);
        Incremente(r.acces);
        r.date = date;
        return;
    }
    memoLanp_.Insere(hm, static_cast<std::uint32_t>(lanpNouvelles_.size()));
    lanpNouvelles_.push_back(RecLanp{hote, ressource, 1, type, date});
}

// --- Calendar rows ---

void Importation::MajGraph(const RDate& D, std::int32_t ressource) {
    const bool page = ressource != -2;
    const int m = D.Mois - 1;
    const int d = D.Jour - 1;
    const int h = D.Heure;

    // The year row: the first row of that year, reading stored rows as far as needed.
    std::int64_t r = -1;
    if (auto it = parAnnee_.find(D.Annee); it != parAnnee_.end()) {
        r = it->second;
    } else {
        while (anneesLues_ < annees0_) {
            annees_.push_back(LitGraph(base_.ListeGraphMois[anneesLues_]));
            anneesModifiees_.push_back(false);
            parAnnee_.try_emplace(annees_.back().Annee, static_cast<std::uint32_t>(anneesLues_));
            ++anneesLues_;
            if (annees_.back().Annee == D.Annee) {
                r = static_cast<std::int64_t>(anneesLues_) - 1;
                break;
            }
        }
    }

    auto nouveauMois = [&] {
        RGraphMois nm;
        nm.Annee = D.Annee;
        nm.Mois = D.NomMois;
        nm.Jours[d] = 1;
        nm.Heures[h] = 1;
        nm.Maximum = 1;
        mois_.push_back(std::move(nm));
        moisModifies_.push_back(true);
    };

    if (r < 0) {
        RGraph g;
        g.Annee = D.Annee;
        g.Pages[m] = page ? 1 : 0;
        g.Hits[m] = 1;
        g.Visites[m] = 1;
        g.Maximum = 1;
        g.PremierMois = D.Mois;
        parAnnee_.emplace(D.Annee, static_cast<std::uint32_t>(annees_.size()));
        annees_.push_back(std::move(g));
        anneesModifiees_.push_back(true);
        // A new year also gets a new month row, without looking for one.
        if (moisLus_ < mois0_) {
            // Keep stored month rows ahead of new ones in mois_: read them all first.
            while (moisLus_ < mois0_) {
                mois_.push_back(LitGraphMois(base_.ListeGraphHeure[moisLus_]));
                moisModifies_.push_back(false);
                const int n = MoisVersNumero(mois_.back().Mois);
                if (n != 0) {
                    parMois_.try_emplace(CleMois(mois_.back().Annee, n),
                                         static_cast<std::uint32_t>(moisLus_));
                }
                ++moisLus_;
            }
        }
        parMois_.try_emplace(CleMois(D.Annee, D.Mois), static_cast<std::uint32_t>(mois_.size()));
        nouveauMois();
        return;
    }

    RGraph& g = annees_[static_cast<std::size_t>(r)];
    if (page) {
        Incremente(g.Pages[m]);
    }
    Incremente(g.Hits[m]);
    if (g.Hits[m] > g.Maximum) {
        g.Maximum = g.Hits[m];
    }
    if (NouveauVisiteur) {
        Incremente(g.Visites[m]);
    }
    anneesModifiees_[static_cast<std::size_t>(r)] = true;

    const std::int64_t cle = CleMois(D.Annee, D.Mois);
    std::int64_t j = -1;
    if (auto it = parMois_.find(cle); it != parMois_.end()) {
        j = it->second;
    } else {
        while (moisLus_ < mois0_) {
            mois_.push_back(LitGraphMois(base_.ListeGraphHeure[moisLus_]));
            moisModifies_.push_back(false);
            const int n = MoisVersNumero(mois_.back().Mois);
            const bool trouve = n != 0 && CleMois(mois_.back().Annee, n) == cle;
            if (n != 0) {
                parMois_.try_emplace(CleMois(mois_.back().Annee, n),
                                     static_cast<std::uint32_t>(moisLus_));
            }
            ++moisLus_;
            if (trouve) {
                j = static_cast<std::int64_t>(moisLus_) - 1;
                break;
            }
        }
    }
    if (j < 0) {
        parMois_.try_emplace(cle, static_cast<std::uint32_t>(mois_.size()));
        nouveauMois();
        return;
    }
    RGraphMois& mo = mois_[static_cast<std::size_t>(j)];
    if (page) {
        Incremente(mo.Jours[d]);
    }
    if (mo.Jours[d] > mo.Maximum) {
        mo.Maximum = mo.Jours[d];
    }
    if (page) {
        Incremente(mo.Heures[h]);
    }
    moisModifies_[static_cast<std::size_t>(j)] = true;
}

// --- One line ---

void Importation::TraiteLigne(std::string_view ligne, int NombreChamps, std::int64_t numero) {
    DecoupeLigneLogVues(ligne, NombreChamps, hit_, tamponKeywords_, tamponEchappement_);
    RDate D;
    bool comptable = false;
    DateCompacte date = 0;
    if (CompacteDate(hit_.DateLog, date)) {
        D = DecompacteDate(date);
        comptable = D.Jour >= 1 && D.Jour <= 31 && D.Heure <= 23;
    } else {
        D = LitDate(hit_.DateLog, comptable);
        date = Date(hit_.DateLog, true);
    }
    if (hit_.Illisible || !comptable) {
        LeveErreurLecture(numero);
    }

    // Every name of the line is hashed first and its slot asked for, so that the look-ups
    // below wait for memory once rather than one after the other.
    TableCle& tableRessource =
        EstImage(hit_.Page) ? images_ : (EstDownload(hit_.Page) ? downloads_ : pages_);
    const std::string_view exclu =
        base_.ListeOptions.Vide() ? std::string_view() : base_.ListeOptions[0];
    const std::string_view origine = hit_.Origine;
    const bool compteOrigine =
        !origine.empty() && origine != "-" && (exclu.empty() || !origine.starts_with(exclu));
    const std::uint64_t hHote = HachageSansCasse(hit_.Hote);
    noms_.memo.Precharge(hHote);
    const std::uint64_t hRessource = HachageSansCasse(hit_.Page);
    tableRessource.memo.Precharge(hRessource);
    const std::uint64_t hOrigine = compteOrigine ? HachageSansCasse(origine) : 0;
    if (compteOrigine) {
        origines_.memo.Precharge(hOrigine);
    }

    bool nouveau = false;
    DateCompacte precedente = 0;
    const std::int32_t hote = Compte(noms_, hit_.Hote, hHote, date, nouveau, precedente);
    NouveauVisiteur = nouveau || NouvelleVisite(LitDateCompacte(precedente), D);

    const std::int32_t ident =
        Compte(tableRessource, hit_.Page, hRessource, date, nouveau, precedente);
    const std::int32_t ressource = &tableRessource == &images_ ? -2 : ident;
    const std::int32_t type =
        &tableRessource == &images_ ? 0 : (&tableRessource == &downloads_ ? 2 : 1);

    if (compteOrigine) {
        const std::int32_t r = Compte(origines_, origine, hOrigine, date, nouveau, precedente);
        if (!hit_.Keywords.empty()) {
            AjouteMotsCles(r, hit_.Keywords);
        }
    }

    MajLanp(hote, ressource, type, date);
    if (hit_.Statut != "200") {
        CompteErreur(hit_, ressource, date);
    }
    MajGraph(D, ressource);
}

} // namespace sillage
