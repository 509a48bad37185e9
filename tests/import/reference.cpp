#include "reference.h"

#include "import/import.h"
#include "import/lecture/ligne_log.h"
#include "import/parties/tri.h"
#include "import/parties/visites.h"
#include "store/casse.h"
#include "store/champs.h"
#include "store/date.h"
#include "store/enregistrements.h"
#include "store/erreur.h"

#include <limits>

namespace sillage::test {

namespace {

struct Etat {
    Base& base;
    std::vector<std::string> indexNom, indexPage, indexImage, indexDownload, indexOrigine;
    bool nouveauVisiteur = false;
};

std::vector<std::string> Noms(const Table& t) {
    std::vector<std::string> v;
    for (std::size_t i = 0; i + 1 < t.Count(); ++i) {
        v.emplace_back(ExtraitChamp(t[i], 2));
    }
    return v;
}

std::int64_t Cherche(const std::vector<std::string>& index, std::string_view nom) {
    for (std::size_t i = 0; i < index.size(); ++i) {
        if (EgalSansCasse(index[i], nom)) {
            return static_cast<std::int64_t>(i);
        }
    }
    return -1;
}

void Incremente(std::int32_t& v) {
    if (v < std::numeric_limits<std::int32_t>::max()) {
        ++v;
    }
}

// Counts cle in a four-field keyed table; answers the identifier and the previous date.
std::int32_t Compte(Table& t, std::vector<std::string>& index, const std::string& cle,
                    const std::string& date, bool& nouveau, std::string& precedente) {
    const std::int64_t p = Cherche(index, cle);
    if (p >= 0) {
        RNom r = LitNom(t.Ligne(p));
        precedente = r.Dernier;
        Incremente(r.Acces);
        r.Dernier = date;
        t.Remplace(static_cast<std::size_t>(p), EcritNom(r));
        nouveau = false;
        return r.Ident;
    }
    const std::string c(t.Derniere());
    const std::int32_t n = ConvertitEntier(ExtraitChamp(c, 1));
    t.Remplace(t.Count() - 1, c + cle + "\\3;1\\4;" + date + "\\5;");
    t.Ajoute("\\1;" + std::to_string(std::int64_t{n} + 1) + "\\2;");
    index.push_back(cle);
    nouveau = true;
    return n;
}

void MajLanp(Base& b, std::int32_t hote, std::int32_t ressource, std::int32_t type,
             const std::string& date) {
    if (ressource == -2) {
        return;
    }
    const std::string cle =
        std::to_string(hote) + "-" + std::to_string(ressource) + "-" + std::to_string(type);
    for (std::size_t p = 0; p < b.ListeLanpSearch.Count(); ++p) {
        if (b.ListeLanpSearch[p] == cle) {
            RLANP r = LitLanp(b.ListeLanp.Ligne(static_cast<std::int64_t>(p)));
            Incremente(r.Acces);
            r.Dernier = date;
            b.ListeLanp.Remplace(p, EcritLanp(r));
            return;
        }
    }
    b.ListeLanp.Ajoute("\\1;" + std::to_string(hote) + "\\2;" + std::to_string(ressource) +
                       "\\3;1\\4;" + date + "\\5;" + std::to_string(type) + "\\6;");
    b.ListeLanpSearch.Ajoute(cle);
}

void MajGraph(Etat& e, const RDate& D, std::int32_t ressource) {
    Base& b = e.base;
    const bool page = ressource != -2;
    const int m = D.Mois - 1, d = D.Jour - 1, h = D.Heure;
    auto nouveauMois = [&] {
        RGraphMois nm;
        nm.Annee = D.Annee;
        nm.Mois = D.NomMois;
        nm.Jours[d] = 1;
        nm.Heures[h] = 1;
        nm.Maximum = 1;
        b.ListeGraphHeure.Ajoute(EcritGraphMois(nm));
    };
    for (std::size_t r = 0; r < b.ListeGraphMois.Count(); ++r) {
        RGraph g = LitGraph(b.ListeGraphMois[r]);
        if (g.Annee != D.Annee) {
            continue;
        }
        if (page) {
            Incremente(g.Pages[m]);
        }
        Incremente(g.Hits[m]);
        if (g.Hits[m] > g.Maximum) {
            g.Maximum = g.Hits[m];
        }
        if (e.nouveauVisiteur) {
            Incremente(g.Visites[m]);
        }
        b.ListeGraphMois.Remplace(r, EcritGraph(g));
        for (std::size_t j = 0; j < b.ListeGraphHeure.Count(); ++j) {
            RGraphMois mo = LitGraphMois(b.ListeGraphHeure[j]);
            if (mo.Annee != D.Annee || mo.Mois != D.NomMois) {
                continue;
            }
            if (page) {
                Incremente(mo.Jours[d]);
            }
            if (mo.Jours[d] > mo.Maximum) {
                mo.Maximum = mo.Jours[d];
            }
            if (page) {
                Incremente(mo.Heures[h]);
            }
            b.ListeGraphHeure.Remplace(j, EcritGraphMois(mo));
            return;
        }
        nouveauMois();
        return;
    }
    RGraph g;
    g.Annee = D.Annee;
    g.Pages[m] = page ? 1 : 0;
    g.Hits[m] = 1;
    g.Visites[m] = 1;
    g.Maximum = 1;
    g.PremierMois = D.Mois;
    b.ListeGraphMois.Ajoute(EcritGraph(g));
    nouveauMois();
}

void Erreur(Base& b, const RHits& h, std::int32_t ressource, const std::string& date) {
    Table& t = b.ListeErreur;
    for (std::size_t p = 0; p + 1 < t.Count(); ++p) {
        std::int32_t r = 0;
        if (EssaieEntier(ExtraitChamp(t[p], 6), r) && r == ressource &&
            EgalSansCasse(ExtraitChamp(t[p], 2), h.Page)) {
            RErreur e = LitErreur(t[p]);
            Incremente(e.Acces);
            e.Dernier = date;
            t.Remplace(p, EcritErreur(e));
            return;
        }
    }
    const std::int32_t n = ConvertitEntier(ExtraitChamp(t.Derniere(), 1));
    t.Remplace(t.Count() - 1, EcritErreur({n, h.Page, 1, date, h.Statut, ressource}));
    t.Ajoute("\\1;" + std::to_string(std::int64_t{n} + 1) + "\\2;");
}

void Ligne(Etat& e, const std::string& ligne, int nombreChamps, std::int64_t numero) {
    Base& b = e.base;
    const RHits h = DecoupeLigneLog(ligne, nombreChamps);
    bool comptable = false;
    const RDate D = LitDate(h.DateLog, comptable);
    if (!comptable) {
        LeveErreurLecture(numero);
    }
    bool nouveau = false;
    std::string precedente;
    const std::int32_t hote =
        Compte(b.ListeNom, e.indexNom, h.Hote, h.DateLog, nouveau, precedente);
    e.nouveauVisiteur = nouveau || NouvelleVisite(LitDate(precedente), D);
    std::int32_t ressource = -2, type = 0;
    if (EstImage(h.Page)) {
        Compte(b.ListeImage, e.indexImage, h.Page, h.DateLog, nouveau, precedente);
    } else if (EstDownload(h.Page)) {
        type = 2;
        ressource =
            Compte(b.ListeDownload, e.indexDownload, h.Page, h.DateLog, nouveau, precedente);
    } else {
        type = 1;
        ressource = Compte(b.ListePage, e.indexPage, h.Page, h.DateLog, nouveau, precedente);
    }
    const std::string exclu = b.ListeOptions.Vide() ? "" : std::string(b.ListeOptions[0]);
    if (!h.Origine.empty() && h.Origine != "-" &&
        (exclu.empty() || h.Origine.rfind(exclu, 0) != 0)) {
        const std::int32_t r =
            Compte(b.ListeOrigine, e.indexOrigine, h.Origine, h.DateLog, nouveau, precedente);
        if (!h.Keywords.empty()) {
            const std::string c(b.ListeKeyword.Derniere());
            const std::int32_t n = ConvertitEntier(ExtraitChamp(c, 1));
            b.ListeKeyword.Remplace(b.ListeKeyword.Count() - 1,
                                    c + std::to_string(r) + "\\3;" + h.Keywords + "\\4;");
            b.ListeKeyword.Ajoute("\\1;" + std::to_string(std::int64_t{n} + 1) + "\\2;");
        }
    }
    MajLanp(b, hote, ressource, type, h.DateLog);
    if (h.Statut != "200") {
        Erreur(b, h, ressource, h.DateLog);
    }
    MajGraph(e, D, ressource);
}

} // namespace

void ImporteReference(Base& base, const std::vector<std::string>& lignes) {
    if (lignes.empty()) {
        LeveErreurIndice(0);
    }
    const Base copie = base;
    Etat e{base,
           Noms(base.ListeNom),
           Noms(base.ListePage),
           Noms(base.ListeImage),
           Noms(base.ListeDownload),
           Noms(base.ListeOrigine)};
    const int nombreChamps = CompteNombreChamps(lignes[0]);
    try {
        for (std::size_t i = 0; i < lignes.size(); ++i) {
            Ligne(e, lignes[i], nombreChamps, static_cast<std::int64_t>(i) + 1);
        }
    } catch (...) {
        base = copie;
        throw;
    }
    TrieListes(base);
    base.ReconstruitIndex();
    base.Modifie = 1;
}

} // namespace sillage::test
