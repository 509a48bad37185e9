#include "import/importation.h"

#include "import/import.h"
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

namespace {

constexpr std::int64_t kEntierMax = std::numeric_limits<std::int32_t>::max();

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

// The key of a host and item pair in lanpsearch.lst: host-item-kind.
std::string_view CleLanp(std::string& tampon, std::int32_t hote, std::int32_t ressource,
                         std::int32_t type) {
    tampon.clear();
    AjouteEntier(tampon, hote);
    tampon += '-';
    AjouteEntier(tampon, ressource);
    tampon += '-';
    AjouteEntier(tampon, type);
    return tampon;
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
    : table(t), index(i), n0(t.Count() == 0 ? 0 : t.Count() - 1), indexInitial(i.Count()),
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
    for (TableCle* t : {&noms_, &pages_, &images_, &downloads_, &origines_}) {
        t->index.Tronque(t->indexInitial);
    }
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

Importation::RecCle& Importation::RangCle(TableCle& t, std::int64_t p) {
    const auto n0 = static_cast<std::int64_t>(t.n0);
    const auto k = static_cast<std::int64_t>(t.nouvelles.size());
    if (p < n0) {
        if (t.place.empty()) {
            t.place.assign(t.n0, -1);
        }
        std::int32_t& place = t.place[static_cast<std::size_t>(p)];
        if (place < 0) {
            LecteurChamps l(t.table[static_cast<std::size_t>(p)]);
            RecCle r;
            r.ident = l.SuivantEntier();
            r.nom = l.Suivant();
            r.acces = l.SuivantEntier();
            r.date = Date(l.Suivant(), false);
            place = static_cast<std::int32_t>(t.touchees.size());
            t.touchees.push_back(r);
        }
        return t.touchees[static_cast<std::size_t>(place)];
    }
    if (p < n0 + k) {
        return t.nouvelles[static_cast<std::size_t>(p - n0)];
    }
    if (p == n0 + k && t.aCompteur) {
        // The position of the counter row, whose empty count does not read.
        LeveErreurEntier("");
    }
    LeveErreurIndice(p);
}

std::int32_t Importation::Compte(TableCle& t, std::string_view cle, DateCompacte date,
                                 bool& nouveau, DateCompacte& precedente) {
    const std::int64_t p = t.index.Cherche(cle);
    if (p >= 0) {
        RecCle& r = RangCle(t, p);
        precedente = r.date;
        Incremente(r.acces);
        r.date = date;
        nouveau = false;
        return r.ident;
    }
    const auto ident = static_cast<std::int32_t>(IdentSuivant(t));
    t.nouvelles.push_back(RecCle{ident, 1, date, arene_.Copie(cle)});
    t.index.Ajoute(cle);
    nouveau = true;
    precedente = date;
    return ident;
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
    const Table& table = base_.ListeErreur;
    const std::uint64_t hachage = HachageErreur(ressource, h.Page);
    const std::int64_t p = hachageErreurs_.Cherche(hachage, [&](std::uint32_t q) {
        if (q < erreurs0_) {
            const std::string_view ligne = table[q];
            std::int32_t r = 0;
            return EssaieEntier(ExtraitChamp(ligne, 6), r) && r == ressource &&
                   EgalSansCasse(ExtraitChamp(ligne, 2), h.Page);
        }
        const RecErreur& e = erreursNouvelles_[q - erreurs0_];
        return e.ressource == ressource && EgalSansCasse(e.chemin, h.Page);
    });
    if (p >= 0 && static_cast<std::size_t>(p) < erreurs0_) {
        if (placeErreurs_.empty()) {
            placeErreurs_.assign(erreurs0_, -1);
        }
        std::int32_t& place = placeErreurs_[static_cast<std::size_t>(p)];
        if (place < 0) {
            LecteurChamps l(table[static_cast<std::size_t>(p)]);
            RecErreur e;
            e.ident = l.SuivantEntier();
            e.chemin = l.Suivant();
            e.acces = l.SuivantEntier();
            e.date = Date(l.Suivant(), false);
            e.statut = l.Suivant();
            e.ressource = l.SuivantEntier();
            place = static_cast<std::int32_t>(erreursTouchees_.size());
            erreursTouchees_.push_back(e);
        }
        RecErreur& e = erreursTouchees_[static_cast<std::size_t>(place)];
        Incremente(e.acces);
        e.date = date;
        return;
    }
    if (p >= 0) {
        RecErreur& e = erreursNouvelles_[static_cast<std::size_t>(p) - erreurs0_];
        Incremente(e.acces);
        e.date = date;
        return;
    }
    if (!aCompteurErreurs_) {
        LeveErreurIndice(-1);
    }
    const std::int64_t n =
        static_cast<std::int64_t>(ConvertitEntier(ExtraitChamp(compteurErreurs_, 1))) +
        static_cast<std::int64_t>(erreursNouvelles_.size());
    if (n > kEntierMax) {
        LeveErreurEntier(std::to_string(n));
    }
    hachageErreurs_.Insere(hachage,
                           static_cast<std::uint32_t>(erreurs0_ + erreursNouvelles_.size()));
    erreursNouvelles_.push_back(RecErreur{static_cast<std::int32_t>(n), 1, date,
                                          arene_.Copie(h.Page), arene_.Copie(h.Statut), ressource});
}

// --- Host and page pairs ---

Importation::RecLanp& Importation::RangLanp(std::int64_t p) {
    if (static_cast<std::size_t>(p) < lanp0_) {
        if (placeLanp_.empty()) {
            placeLanp_.assign(lanp0_, -1);
        }
        std::int32_t& place = placeLanp_[static_cast<std::size_t>(p)];
        if (place < 0) {
            LecteurChamps l(base_.ListeLanp[static_cast<std::size_t>(p)]);
            RecLanp r;
            r.hote = l.SuivantEntier();
            r.ressource = l.SuivantEntier();
            r.acces = l.SuivantEntier();
            r.date = Date(l.Suivant(), false);
            r.type = l.SuivantEntier();
            place = static_cast<std::int32_t>(lanpTouchees_.size());
            lanpTouchees_.push_back(r);
        }
        return lanpTouchees_[static_cast<std::size_t>(place)];
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
    const std::string_view cle = CleLanp(tamponCle_, hote, ressource, type);
    const std::uint64_t h = HachageExact(cle);
    const std::int64_t p = hachageLanp_.Cherche(h, [&](std::uint32_t q) {
        if (q < lanpSearch0_) {
            return base_.ListeLanpSearch[q] == cle;
        }
        const RecLanp& r = lanpNouvelles_[q - lanpSearch0_];
        return r.hote == hote && r.ressource == ressource && r.type == type;
    });
    if (p >= 0) {
        RecLanp& r = RangLanp(p);
        Incremente(r.acces);
        r.date = date;
        return;
    }
    hachageLanp_.Insere(h, static_cast<std::uint32_t>(lanpSearch0_ + lanpNouvelles_.size()));
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

    bool nouveau = false;
    DateCompacte precedente = 0;
    const std::int32_t hote = Compte(noms_, hit_.Hote, date, nouveau, precedente);
    NouveauVisiteur = nouveau || NouvelleVisite(LitDateCompacte(precedente), D);

    std::int32_t ressource = -2;
    std::int32_t type = 0;
    if (EstImage(hit_.Page)) {
        Compte(images_, hit_.Page, date, nouveau, precedente);
    } else if (EstDownload(hit_.Page)) {
        type = 2;
        ressource = Compte(downloads_, hit_.Page, date, nouveau, precedente);
    } else {
        type = 1;
        ressource = Compte(pages_, hit_.Page, date, nouveau, precedente);
    }

    const std::string_view exclu =
        base_.ListeOptions.Vide() ? std::string_view() : base_.ListeOptions[0];
    const std::string_view origine = hit_.Origine;
    if (!origine.empty() && origine != "-" && (exclu.empty() || !origine.starts_with(exclu))) {
        const std::int32_t r = Compte(origines_, origine, date, nouveau, precedente);
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

// --- Writing back ---

void Importation::EcritCle(TableCle& t) {
    if (t.touchees.empty() && t.nouvelles.empty()) {
        return;
    }
    auto ecrit = [&](const RecCle& r) {
        tampon_.assign("\\1;");
        AjouteEntier(tampon_, r.ident);
        tampon_ += "\\2;";
        tampon_ += r.nom;
        tampon_ += "\\3;";
        AjouteEntier(tampon_, r.acces);
        tampon_ += "\\4;";
        AjouteDate(tampon_, r.date);
        tampon_ += "\\5;";
    };
    Table nouvelle;
    nouvelle.Reserve(t.table.Count() + t.nouvelles.size(),
                     t.table.Octets() + t.nouvelles.size() * 64);
    for (std::size_t i = 0; i < t.n0; ++i) {
        if (!t.place.empty() && t.place[i] >= 0) {
            ecrit(t.touchees[static_cast<std::size_t>(t.place[i])]);
            nouvelle.Ajoute(tampon_);
        } else {
            nouvelle.Ajoute(t.table[i]);
        }
    }
    for (std::size_t j = 0; j < t.nouvelles.size(); ++j) {
        const RecCle& r = t.nouvelles[j];
        if (j == 0 && r.acces == 1) {
            // The first new row is made from the counter row's own text.
            tampon_.assign(t.compteur);
            tampon_ += r.nom;
            tampon_ += "\\3;1\\4;";
            AjouteDate(tampon_, r.date);
            tampon_ += "\\5;";
        } else {
            ecrit(r);
        }
        nouvelle.Ajoute(tampon_);
    }
    if (t.nouvelles.empty()) {
        if (t.aCompteur) {
            nouvelle.Ajoute(t.compteur);
        }
    } else {
        tampon_.assign("\\1;");
        AjouteEntier(tampon_, t.nouvelles.back().ident + std::int64_t{1});
        tampon_ += "\\2;";
        nouvelle.Ajoute(tampon_);
    }
    t.table = std::move(nouvelle);
}

void Importation::EcritErreurs() {
    if (erreursTouchees_.empty() && erreursNouvelles_.empty()) {
        return;
    }
    auto ecrit = [&](const RecErreur& e) {
        tampon_.assign("\\1;");
        AjouteEntier(tampon_, e.ident);
        tampon_ += "\\2;";
        tampon_ += e.chemin;
        tampon_ += "\\3;";
        AjouteEntier(tampon_, e.acces);
        tampon_ += "\\4;";
        AjouteDate(tampon_, e.date);
        tampon_ += "\\5;";
        tampon_ += e.statut;
        tampon_ += "\\6;";
        AjouteEntier(tampon_, e.ressource);
        tampon_ += "\\7;";
    };
    Table& table = base_.ListeErreur;
    Table nouvelle;
    nouvelle.Reserve(table.Count() + erreursNouvelles_.size(),
                     table.Octets() + erreursNouvelles_.size() * 64);
    for (std::size_t i = 0; i < erreurs0_; ++i) {
        if (!placeErreurs_.empty() && placeErreurs_[i] >= 0) {
            ecrit(erreursTouchees_[static_cast<std::size_t>(placeErreurs_[i])]);
            nouvelle.Ajoute(tampon_);
        } else {
            nouvelle.Ajoute(table[i]);
        }
    }
    for (const RecErreur& e : erreursNouvelles_) {
        ecrit(e);
        nouvelle.Ajoute(tampon_);
    }
    if (erreursNouvelles_.empty()) {
        nouvelle.Ajoute(compteurErreurs_);
    } else {
        tampon_.assign("\\1;");
        AjouteEntier(tampon_, erreursNouvelles_.back().ident + std::int64_t{1});
        tampon_ += "\\2;";
        nouvelle.Ajoute(tampon_);
    }
    table = std::move(nouvelle);
}

void Importation::EcritLanp() {
    auto ecrit = [&](const RecLanp& r) {
        tampon_.assign("\\1;");
        AjouteEntier(tampon_, r.hote);
        tampon_ += "\\2;";
        AjouteEntier(tampon_, r.ressource);
        tampon_ += "\\3;";
        AjouteEntier(tampon_, r.acces);
        tampon_ += "\\4;";
        AjouteDate(tampon_, r.date);
        tampon_ += "\\5;";
        AjouteEntier(tampon_, r.type);
        tampon_ += "\\6;";
    };
    Table& table = base_.ListeLanp;
    if (!lanpTouchees_.empty()) {
        Table nouvelle;
        nouvelle.Reserve(table.Count() + lanpNouvelles_.size(),
                         table.Octets() + lanpNouvelles_.size() * 48);
        for (std::size_t i = 0; i < lanp0_; ++i) {
            if (!placeLanp_.empty() && placeLanp_[i] >= 0) {
                ecrit(lanpTouchees_[static_cast<std::size_t>(placeLanp_[i])]);
                nouvelle.Ajoute(tampon_);
            } else {
                nouvelle.Ajoute(table[i]);
            }
        }
        table = std::move(nouvelle);
    }
    table.Reserve(table.Count() + lanpNouvelles_.size(),
                  table.Octets() + lanpNouvelles_.size() * 48);
    Table& cles = base_.ListeLanpSearch;
    cles.Reserve(cles.Count() + lanpNouvelles_.size(), cles.Octets() + lanpNouvelles_.size() * 16);
    for (const RecLanp& r : lanpNouvelles_) {
        ecrit(r);
        table.Ajoute(tampon_);
        cles.Ajoute(CleLanp(tamponCle_, r.hote, r.ressource, r.type));
    }
}

void Importation::EcritGraphs() {
    auto reecrit = [](Table& table, std::size_t n0, const auto& lignes,
                      const std::vector<bool>& modifiees, auto ecrit) {
        bool change = false;
        for (bool m : modifiees) {
            change = change || m;
        }
        if (!change) {
            return;
        }
        Table nouvelle;
        for (std::size_t i = 0; i < lignes.size() || i < n0; ++i) {
            if (i < lignes.size() && (modifiees[i] || i >= n0)) {
                nouvelle.Ajoute(ecrit(lignes[i]));
            } else {
                nouvelle.Ajoute(table[i]);
            }
        }
        table = std::move(nouvelle);
    };
    reecrit(base_.ListeGraphMois, annees0_, annees_, anneesModifiees_,
            [](const RGraph& g) { return EcritGraph(g); });
    reecrit(base_.ListeGraphHeure, mois0_, mois_, moisModifies_,
            [](const RGraphMois& m) { return EcritGraphMois(m); });
}

void Importation::Valide() {
    for (TableCle* t : {&noms_, &pages_, &images_, &downloads_, &origines_}) {
        EcritCle(*t);
    }
    EcritErreurs();
    EcritLanp();
    EcritGraphs();
    valide_ = true;
    TrieListes(base_);
    base_.ReconstruitIndex();
    base_.Modifie = 1;
}

} // namespace sillage
