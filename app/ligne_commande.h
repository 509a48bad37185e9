// The command line of the programs over a store (the window and sillage-import): the options
// they share (--help, --version, --dir), the options of each, the logs named. Without Qt, so
// that the window can answer --help and --version before it needs a display.
#pragma once

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace sillage {

// An option of one program besides the shared ones.
struct OptionPropre {
    // "--incremental".
    std::string nom;
    // For an option with a value (given as "--nom VALEUR" or "--nom=VALEUR"): what its error
    // message says the option waits for ("un nombre de secondes"); empty for an option alone.
    std::string attendu;
    // Takes the option in (with its value, "" when none follows); false when the value does not
    // do.
    std::function<bool(const std::string& valeur)> prend;
};

// A program: its name in the messages, the options of its own, and its usage text.
struct Programme {
    std::string nom;
    std::vector<OptionPropre> options;
    std::function<void(std::FILE*)> usage;
    // The lines --version writes after the program's own (the versions of the data it reads);
    // none when not given.
    std::function<std::vector<std::string>()> versions = {};
};

// What the command line names.
struct LigneCommande {
    // The folder given with --dir (the last one when several are given), empty when none.
    std::string repertoire;
    // The other arguments, in their order: every argument after "--", and before it those that
    // do not begin with '-' ("-" alone included).
    std::vector<std::string> fichiers;
};

// Reads argv[1] to argv[argc - 1] in order. --help or -h writes the usage on the standard output
// and --version or -V "nom VERSION" (then the lines of programme.versions): the program ends
// then with status 0. --dir RÉPERTOIRE (or
// --dir=RÉPERTOIRE) names the store folder. The program's own options are taken as they come.
// A mistake (a value that is missing or does not do, an option that is unknown) is told as
// MauvaisUsage tells it ("nom : --option attend ..." or "nom : option inconnue : ARG"): the
// program ends then with status 2. Returns that status, or nothing to go on.
std::optional<int> LitLigneCommande(const Programme& programme, int argc, const char* const* argv,
                                    LigneCommande& ligne);

// Tells a mistake on the command line in two lines on the standard error, "nom : message" and
// "Essayez « nom --help ».", rather than the whole usage; returns 2, the status to end with.
int MauvaisUsage(const Programme& programme, const std::string& message);

// Whether the command line asks only for help or the version, looked at before the program
// reads the rest: up to "--", the value of an option that takes one passed over, nothing else
// checked. Writes what LitLigneCommande would and returns 0 then.
std::optional<int> AideOuVersion(const Programme& programme, int argc, const char* const* argv);

// Reads a number of seconds, as --attente takes it: digits, optionally a decimal point or comma
// and more digits, below 1e9.
bool LitSecondes(const std::string& texte, double& secondes);

// The store folder as the messages name it: without its final separator.
std::string NomDossier(std::string dossier);

} // namespace sillage
