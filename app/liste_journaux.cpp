#include "app/liste_journaux.h"

#include "store/emplacement.h"
#include "store/erreur.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <glob.h>
#include <set>
#include <string_view>
#include <sys/stat.h>
#include <tuple>

namespace sillage {

namespace {

// A name cut as rotation gives it: "access.log.2.gz" is the stem "access.log" and the number 2.
struct NomTourne {
    std::string_view tige;
    long numero = -1; // -1: none
};

NomTourne Decoupe(std::string_view nom) {
    if (nom.size() > 3 && nom.substr(nom.size() - 3) == ".gz") {
        nom.remove_suffix(3);
    }
    std::size_t chiffres = 0;
    while (chiffres < nom.size() && chiffres <= 4 && nom[nom.size() - 1 - chiffres] >= '0' &&
           nom[nom.size() - 1 - chiffres] <= '9') {
        ++chiffres;
    }
    if (chiffres == 0 || chiffres > 4 || chiffres + 1 > nom.size() ||
        nom[nom.size() - 1 - chiffres] != '.') {
        return {nom, -1};
    }
    return {nom.substr(0, nom.size() - 1 - chiffres),
            std::stol(std::string(nom.substr(nom.size() - chiffres)))};
}

// Byte order in which a text that ends first comes after the longer ones it begins.
int CompareFinEnDernier(std::string_view a, std::string_view b) {
    const std::size_t commun = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < commun; ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? 1 : -1);
}

bool EstMotif(const std::string& ligne) {
    return ligne.find_first_of("*?[") != std::string::npos;
}

std::string SansBlancsAuxBouts(const std::string& ligne) {
    const char* const blancs = " \t\r\f\v";
    const std::size_t debut = ligne.find_first_not_of(blancs);
    if (debut == std::string::npos) {
        return "";
    }
    return ligne.substr(debut, ligne.find_last_not_of(blancs) - debut + 1);
}

// glob(3) reports the folders it cannot read through a function without context: the first
// such folder of the current call is kept here.
struct EchecGlob {
    std::string dossier;
    int erreur = 0;
};
thread_local EchecGlob* echecCourant = nullptr;

int NoteEchecGlob(const char* dossier, int erreur) {
    // A folder that does not exist is a pattern without a match, not a failure.
    if (erreur == ENOENT || erreur == ENOTDIR) {
        return 0;
    }
    if (echecCourant != nullptr && echecCourant->erreur == 0) {
        echecCourant->dossier = dossier;
        echecCourant->erreur = erreur;
    }
    return 1;
}

// The files that match motif, oldest first; their folders end with '/' and are left out.
std::vector<std::string> Correspondances(const std::string& motif, const std::string& ou) {
    EchecGlob echec;
    echecCourant = &echec;
    glob_t trouves{};
    const int code = ::glob(motif.c_str(), GLOB_MARK, NoteEchecGlob, &trouves);
    echecCourant = nullptr;
    std::vector<std::string> fichiers;
    if (code == 0) {
        for (std::size_t i = 0; i < trouves.gl_pathc; ++i) {
            std::string f = trouves.gl_pathv[i];
            if (!f.empty() && f.back() != '/') {
                fichiers.push_back(std::move(f));
            }
        }
    }
    ::globfree(&trouves);
    if (code == GLOB_ABORTED || echec.erreur != 0) {
        throw ErreurSillage(ou + " : impossible de lire le répertoire " + echec.dossier + " (" +
                            RaisonSysteme(echec.erreur, echec.dossier) + ")");
    }
    if (code == GLOB_NOSPACE) {
        throw ErreurSillage(ou + " : mémoire insuffisante pour " + motif);
    }
    std::sort(fichiers.begin(), fichiers.end(), PrecedeEnRotation);
    return fichiers;
}

// A list of paths past this size is some other file given by mistake.
constexpr std::size_t kTailleMax = 1 << 20; // 1 MiB

std::string Contenu(const std::string& chemin) {
    std::FILE* f = std::fopen(chemin.c_str(), "rb");
    std::string octets;
    int erreur = f == nullptr ? errno : 0;
    if (f != nullptr) {
        char tampon[65536];
        std::size_t lus;
        while ((lus = std::fread(tampon, 1, sizeof tampon, f)) > 0 && octets.size() <= kTailleMax) {
            octets.append(tampon, lus);
        }
        if (std::ferror(f)) {
            erreur = errno != 0 ? errno : EIO;
        }
        std::fclose(f);
    }
    if (erreur != 0) {
        throw ErreurSillage("Impossible de lire la liste des journaux " + chemin + " : " +
                            RaisonSysteme(erreur, chemin));
    }
    if (octets.size() > kTailleMax) {
        throw ErreurSillage("La liste des journaux " + chemin +
                            " est trop longue pour en être une (plus d'un mégaoctet)");
    }
    return octets;
}

} // namespace

bool PrecedeEnRotation(const std::string& a, const std::string& b) {
    const NomTourne x = Decoupe(a);
    const NomTourne y = Decoupe(b);
    if (const int c = CompareFinEnDernier(x.tige, y.tige); c != 0) {
        return c < 0;
    }
    // The same stem: numbered names first, the greatest number first; then byte order.
    const auto cle = [](const NomTourne& n) {
        return std::make_tuple(n.numero < 0 ? 1 : 0, -n.numero);
    };
    if (cle(x) != cle(y)) {
        return cle(x) < cle(y);
    }
    return a < b;
}

ListeJournaux LitListeJournaux(const std::string& chemin) {
    const std::string octets = Contenu(chemin);
    const std::size_t barre = chemin.rfind('/');
    const std::string dossier = barre == std::string::npos ? "." : chemin.substr(0, barre + 1);
    const std::string personnel = DossierPersonnel();

    ListeJournaux liste;
    std::set<std::string> vus;
    std::vector<std::string> nommes; // "ligne N : CHEMIN", for the message when none is present
    std::size_t debut = 0;
    for (int numero = 1; debut < octets.size(); ++numero) {
        std::size_t fin = octets.find('\n', debut);
        if (fin == std::string::npos) {
            fin = octets.size();
        }
        const std::string brute = octets.substr(debut, fin - debut);
        debut = fin + 1;
        const std::string ou = chemin + ", ligne " + std::to_string(numero);
        if (brute.find('\0') != std::string::npos) {
            throw ErreurSillage(ou + " : un octet nul n'a pas sa place dans un chemin");
        }
        std::string ligne = SansBlancsAuxBouts(brute);
        if (ligne.empty() || ligne[0] == '#') {
            continue;
        }
        if ((ligne == "~" || ligne.rfind("~/", 0) == 0) && !personnel.empty()) {
            ligne = personnel + ligne.substr(1);
        }
        if (ligne[0] != '/') {
            ligne = dossier + ligne;
        }
        nommes.push_back("ligne " + std::to_string(numero) + " : " + ligne);

        std::vector<std::string> fichiers;
        if (EstMotif(ligne)) {
            fichiers = Correspondances(ligne, ou);
            if (fichiers.empty()) {
                liste.remarques.push_back(ou + " : aucun fichier ne correspond à " + ligne);
            }
        } else {
            struct stat etat {};
            if (::stat(ligne.c_str(), &etat) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
                liste.remarques.push_back(ou + " : " + ligne + " est absent");
            } else {
                // Whatever else stops it (a folder, a file that cannot be read) is told by the
                // import, as for a file named on the command line.
                fichiers.push_back(ligne);
            }
        }
        for (std::string& f : fichiers) {
            if (vus.insert(f).second) {
                liste.fichiers.push_back(std::move(f));
            }
        }
    }
    if (liste.fichiers.empty()) {
        if (nommes.empty()) {
            throw ErreurSillage("La liste des journaux " + chemin +
                                " n'en nomme aucun : écrivez-y les journaux à importer, un "
                                "chemin ou un motif par ligne, du plus ancien au plus récent");
        }
        std::string message = "Aucun journal de la liste " + chemin + " n'est présent";
        for (const std::string& n : nommes) {
            message += "\n  " + n;
        }
        throw ErreurSillage(message);
    }
    return liste;
}

} // namespace sillage
