#include "store/emplacement.h"

#include "store/erreur.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace sillage {

namespace {

namespace fs = std::filesystem;

bool EstAbsolu(const char* chemin) {
    return chemin != nullptr && chemin[0] == '/';
}

// Creates dossier and the folders missing above it, each with mode 0700 as the XDG base
// directory rules ask. Returns 0 when dossier is a folder at the end, else the errno that says
// why not.
int CreeDossiers(const std::string& dossier) {
    for (std::size_t fin = dossier.find('/', 1);; fin = dossier.find('/', fin + 1)) {
        const std::string partie = dossier.substr(0, fin);
        if (!partie.empty() && ::mkdir(partie.c_str(), 0700) != 0 && errno != EEXIST) {
            return errno;
        }
        if (fin == std::string::npos) {
            break;
        }
    }
    struct stat st;
    if (::stat(dossier.c_str(), &st) != 0) {
        return errno;
    }
    return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

} // namespace

std::string DossierProgramme() {
    std::error_code ec;
    const fs::path programme = fs::read_symlink("/proc/self/exe", ec);
    if (ec || !programme.has_parent_path()) {
        return ".";
    }
    return programme.parent_path().string();
}

std::string DossierPersonnel() {
    if (const char* home = std::getenv("HOME"); EstAbsolu(home)) {
        return home;
    }
    long taille = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> tampon(taille > 0 ? static_cast<std::size_t>(taille) : 16384);
    passwd entree{};
    passwd* trouvee = nullptr;
    if (::getpwuid_r(::getuid(), &entree, tampon.data(), tampon.size(), &trouvee) == 0 &&
        trouvee != nullptr && EstAbsolu(trouvee->pw_dir)) {
        return trouvee->pw_dir;
    }
    return {};
}

std::string EmplacementBase(const std::string& dir, const std::string& dossierProgramme) {
    if (!dir.empty()) {
        return dir;
    }
    std::error_code ec;
    if (fs::exists(fs::path(dossierProgramme) / "nom.lst", ec)) {
        return dossierProgramme;
    }
    const char* xdg = std::getenv("XDG_DATA_HOME");
    std::string donnees = EstAbsolu(xdg) ? std::string(xdg) : DossierPersonnel();
    if (donnees.empty()) {
        throw ErreurSillage("Impossible de trouver le répertoire personnel : définissez HOME "
                            "ou donnez le répertoire des tables avec --dir");
    }
    while (!donnees.empty() && donnees.back() == '/') {
        donnees.pop_back();
    }
    if (!EstAbsolu(xdg)) {
        donnees += "/.local/share";
    }
    const std::string dossier = donnees + "/sillage";
    if (const int erreur = CreeDossiers(dossier); erreur != 0) {
        throw ErreurSillage("Impossible de créer le répertoire " + dossier + " : " +
                            (erreur == ENOTDIR ? std::string("un fichier porte son nom ou celui "
                                                             "d'un répertoire au-dessus")
                                               : RaisonSysteme(erreur)));
    }
    return dossier;
}

std::string DossierOuverture(const std::string& dossierBase, const std::string& dossierProgramme,
                             const std::string& dernierDossierLog) {
    std::error_code ec;
    if (fs::equivalent(dossierBase, dossierProgramme, ec)) {
        return dossierBase;
    }
    if (!dernierDossierLog.empty()) {
        return dernierDossierLog;
    }
    const std::string home = DossierPersonnel();
    return home.empty() ? "/" : home;
}

} // namespace sillage
