#include "support/vocabulaire.h"

#include "import/lecture/decoupeur_lignes.h"
#include "store/base.h"
#include "support/repertoire_temporaire.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <sys/wait.h>

namespace sillage::test {

std::string LigneLog(const std::string& hote, const std::string& date, const std::string& page,
                     const std::string& statut, const std::string& origine,
                     const std::string& agent) {
    return hote + " - - [" + date + " +0100] \"GET " + page + " HTTP/1.1\" " + statut + " 100 \"" +
           origine + "\" \"" + agent + "\"";
}

std::vector<std::string> LignesAleatoires(unsigned graine, int n, const std::string& site) {
    std::mt19937 alea(graine);
    std::vector<std::string> lignes;
    int secondes = static_cast<int>(graine % 7) * 3600;
    for (int i = 0; i < n; ++i) {
        secondes += static_cast<int>(alea() % 900);
        char date[32];
        std::snprintf(date, sizeof date, "%02d/Mar/2004:%02d:%02d:%02d", 1 + secondes / 86400 % 28,
                      secondes / 3600 % 24, secondes / 60 % 60, secondes % 60);
        const char* pages[] = {"/", "/a.html", "/b.gif", "/c.zip", "/d.php?x=1", "/e.html"};
        const char* statuts[] = {"200", "200", "200", "404", "304"};
        const std::string origine =
            alea() % 3 == 0 ? site + "?q=mot+" + std::to_string(alea() % 4) : "-";
        lignes.push_back(
            LigneLog("10.0." + std::to_string(alea() % 5) + "." + std::to_string(alea() % 40), date,
                     pages[alea() % 6], statuts[alea() % 5], origine));
    }
    return lignes;
}

std::vector<std::string> AvecAgents(std::vector<std::string> lignes,
                                    const std::vector<std::string>& agents, unsigned graine) {
    std::mt19937 alea(graine);
    for (std::string& l : lignes) {
        const std::size_t p = l.rfind("\"Agent/1.0\"");
        if (p != std::string::npos) {
            l.replace(p, std::string::npos, "\"" + agents[alea() % agents.size()] + "\"");
        }
    }
    return lignes;
}

std::int64_t ImporteFichier(Base& base, const std::string& chemin,
                            const RappelProgression& progression) {
    return ImporteJournal(base, chemin, DemandeImport{}, progression).Lignes;
}

std::string Journal(const std::vector<std::string>& lignes) {
    std::string s;
    for (const std::string& l : lignes) {
        s += l + "\n";
    }
    return s;
}

std::string Rangee(int id, const std::string& nom, int acces, const std::string& date) {
    return "\\1;" + std::to_string(id) + "\\2;" + nom + "\\3;" + std::to_string(acces) + "\\4;" +
           date + "\\5;";
}

std::string RangeeErreur(int id, const std::string& chemin, int acces, const std::string& date,
                         const std::string& statut, int ressource) {
    return "\\1;" + std::to_string(id) + "\\2;" + chemin + "\\3;" + std::to_string(acces) + "\\4;" +
           date + "\\5;" + statut + "\\6;" + std::to_string(ressource) + "\\7;";
}

std::string RangeeLanp(int hote, int item, int acces, const std::string& date, int genre) {
    return "\\1;" + std::to_string(hote) + "\\2;" + std::to_string(item) + "\\3;" +
           std::to_string(acces) + "\\4;" + date + "\\5;" + std::to_string(genre) + "\\6;";
}

std::string Compteur(int id) {
    return "\\1;" + std::to_string(id) + "\\2;";
}

Table TableDe(const std::vector<std::string>& lignes) {
    Table t;
    for (const std::string& l : lignes) {
        t.Ajoute(l);
    }
    return t;
}

void EcritTable(const std::string& chemin, const std::vector<std::string>& lignes) {
    std::string octets;
    for (const std::string& l : lignes) {
        octets += l + "\r\n";
    }
    Ecrit(chemin, octets);
}

bool MemesTables(const Base& a, const Base& b) {
    for (const EntreeCatalogue& e : Base::Catalogue()) {
        if (!(a.*e.table == b.*e.table)) {
            return false;
        }
    }
    return true;
}

std::string FichiersDuStore(const std::string& repertoire) {
    std::string s;
    for (const EntreeCatalogue& e : Base::Catalogue()) {
        const std::string chemin = repertoire + "/" + std::string(e.fichier);
        s += std::string(e.fichier) +
             (std::filesystem::exists(chemin) ? ":" + Contenu(chemin) : "-") + "\n";
    }
    return s;
}

std::vector<std::string> DecoupeParMorceaux(const std::string& octets, std::size_t morceau) {
    DecoupeurLignes d;
    std::size_t lu = 0;
    std::vector<std::string> lignes;
    std::string_view ligne;
    while (d.Suivante(ligne, [&](char* p, std::size_t n) {
        const std::size_t k = std::min({n, morceau, octets.size() - lu});
        if (k > 0) {
            std::memcpy(p, octets.data() + lu, k);
        }
        lu += k;
        return k;
    })) {
        lignes.emplace_back(ligne);
    }
    return lignes;
}

Resultat Lance(const std::string& commande) {
    // The programs keep what they computed between runs (the classifications of agents) in the
    // user's cache folder: in one of the test's own here, never the home of who runs the tests.
    static const RepertoireTemporaire cache;
    ::setenv("XDG_CACHE_HOME", cache.Chemin().c_str(), 1);
    const RepertoireTemporaire dir;
    const std::string complete =
        "(" + commande + ") </dev/null >" + dir.Fichier("sortie") + " 2>" + dir.Fichier("erreurs");
    const int etat = std::system(complete.c_str());
    return Resultat{WIFEXITED(etat) ? WEXITSTATUS(etat) : -1, Contenu(dir.Fichier("sortie")),
                    Contenu(dir.Fichier("erreurs"))};
}

} // namespace sillage::test
