// Where the classification's data lie, and how it reads them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sillage {

// The data files of the classification and of the countries. Defaults are the places the
// Debian packages and the program's installation put them (CMake configures them); tests
// give their own.
struct FichiersDonnees {
    std::string regexesUap;       // uap-core's regexes.yaml
    std::string journalUap;       // uap-core's Debian changelog (gzip), for its version
    std::string listeRobots;      // crawler-user-agents.json
    std::string licenceRobots;    // the file beside it, whose first line gives the list's version
    std::string baseLocalisation; // libloc's location.db
    std::string paysIso;          // iso-codes' iso_3166-1.json
    std::string traductionPays;   // iso-codes' French catalogue of those names (.mo)
    std::string cache;            // folder of the caches between runs, "" for none

    // The installed places: the crawler list from the program's data folder (or, in a build
    // tree, the sources' donnees/ folder), the cache under ${XDG_CACHE_HOME:-~/.cache}/sillage.
    static FichiersDonnees ParDefaut();
};

// The whole content of a file, nothing when it cannot be read (absent, a folder, no rights).
std::optional<std::string> LitFichierDonnees(const std::string& chemin);
// The first line of a gzip-compressed (or plain) text file, nothing when it cannot be read.
std::optional<std::string> PremiereLigneCompressee(const std::string& chemin);
// The cache folder of the user: ${XDG_CACHE_HOME:-$HOME/.cache}/sillage/, "" when neither
// variable names a folder.
std::string RepertoireCacheUtilisateur();

} // namespace sillage
