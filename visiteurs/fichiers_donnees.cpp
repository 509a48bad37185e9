#include "visiteurs/fichiers_donnees.h"

#include "sillage_donnees.h"

#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace sillage {

namespace {

bool EstFichier(const std::string& chemin) {
    struct stat s;
    return ::stat(chemin.c_str(), &s) == 0 && S_ISREG(s.st_mode);
}

std::string Programme() {
    char tampon[4096];
    const ssize_t n = ::readlink("/proc/self/exe", tampon, sizeof tampon - 1);
    return n > 0 ? std::string(tampon, static_cast<std::size_t>(n)) : std::string();
}

// The program's data folder: the sources' donnees/ for a program of the build tree, else
// share/sillage-donnees/ beside the program's bin/ folder (an installation under any prefix), else
// the configured installation folder.
std::string DossierDonnees(const std::string& nom) {
    const std::string programme = Programme();
    const std::string construction = SILLAGE_CONSTRUCTION "/";
    if (programme.rfind(construction, 0) == 0) {
        return SILLAGE_DONNEES_SOURCES "/";
    }
    const std::size_t barre = programme.rfind('/');
    if (barre != std::string::npos) {
        const std::string voisin = programme.substr(0, barre) + "/../share/sillage-donnees/";
        if (EstFichier(voisin + nom)) {
            return voisin;
        }
    }
    if (EstFichier(SILLAGE_DONNEES_INSTALLEES "/" + nom)) {
        return SILLAGE_DONNEES_INSTALLEES "/";
    }
    return SILLAGE_DONNEES_SOURCES "/";
}

} // namespace

FichiersDonnees FichiersDonnees::ParDefaut() {
    FichiersDonnees f;
    f.regexesUap = SILLAGE_REGEXES_UAP;
    f.journalUap = SILLAGE_JOURNAL_UAP;
    const std::string dossier = DossierDonnees("crawler-user-agents.json");
    f.listeRobots = dossier + "crawler-user-agents.json";
    f.licenceRobots = dossier + "crawler-user-agents.licence";
    f.baseLocalisation = SILLAGE_BASE_LOCALISATION;
    f.paysIso = SILLAGE_PAYS_ISO;
    f.traductionPays = SILLAGE_TRADUCTION_PAYS;
    f.cache = RepertoireCacheUtilisateur();
    return f;
}

std::optional<std::string> LitFichierDonnees(const std::string& chemin) {
    if (!EstFichier(chemin)) {
        return std::nullopt;
    }
    std::ifstream f(chemin, std::ios::binary);
    if (!f) {
        return std::nullopt;
    }
    std::ostringstream s;
    s << f.rdbuf();
    if (f.bad()) {
        return std::nullopt;
    }
    return std::move(s).str();
}

std::optional<std::string> PremiereLigneCompressee(const std::string& chemin) {
    if (!EstFichier(chemin)) {
        return std::nullopt;
    }
    gzFile f = gzopen(chemin.c_str(), "rb");
    if (!f) {
        return std::nullopt;
    }
    char tampon[512];
    const char* lu = gzgets(f, tampon, sizeof tampon);
    gzclose(f);
    if (!lu) {
        return std::nullopt;
    }
    std::string ligne(lu);
    while (!ligne.empty() && (ligne.back() == '\n' || ligne.back() == '\r')) {
        ligne.pop_back();
    }
    return ligne;
}

std::string RepertoireCacheUtilisateur() {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg && xdg[0] == '/') {
        return std::string(xdg) + "/sillage/";
    }
    const char* maison = std::getenv("HOME");
    if (maison && maison[0] == '/') {
        return std::string(maison) + "/.cache/sillage/";
    }
    return {};
}

} // namespace sillage
