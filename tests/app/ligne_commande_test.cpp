// The command line of the two programs: what it names, what ends the program at once, and the
// messages of a mistake.
#include "app/ligne_commande.h"
#include "sillage_version.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sillage {
namespace {

using Arguments = std::vector<const char*>;

// A program with an option that takes a whole number of seconds and one alone, as
// sillage-import has.
struct Essai {
    std::string attente;
    int seules = 0;
    Programme programme{"prog",
                        {{"--attente", "un nombre de secondes",
                          [this](const std::string& v) {
                              attente = v;
                              return !v.empty() && v.find_first_not_of("0123456789") == v.npos;
                          }},
                         {"--seule", "",
                          [this](const std::string&) {
                              ++seules;
                              return true;
                          }}},
                        [](std::FILE* f) { std::fputs("USAGE\n", f); }};
    LigneCommande ligne;
    std::string sortie;
    std::string erreurs;

    // Reads "prog" followed by the arguments; keeps what was written.
    std::optional<int> Lit(Arguments arguments) {
        arguments.insert(arguments.begin(), "prog");
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const std::optional<int> code = LitLigneCommande(
            programme, static_cast<int>(arguments.size()), arguments.data(), ligne);
        sortie = testing::internal::GetCapturedStdout();
        erreurs = testing::internal::GetCapturedStderr();
        return code;
    }
    std::optional<int> Aide(Arguments arguments) {
        arguments.insert(arguments.begin(), "prog");
        testing::internal::CaptureStdout();
        const std::optional<int> code =
            AideOuVersion(programme, static_cast<int>(arguments.size()), arguments.data());
        sortie = testing::internal::GetCapturedStdout();
        return code;
    }
};

TEST(LigneCommande, OptionsAndLogsInTheirOrder) {
    Essai e;
    EXPECT_EQ(e.Lit({"--dir", "a", "x.log", "--attente", "3", "--seule", "-", "--dir=b=c",
                     "--attente=12", "--", "-y.log", "--help", "--dir"}),
              std::nullopt);
    EXPECT_EQ(e.ligne.repertoire, "b=c");
    EXPECT_EQ(e.ligne.fichiers,
              (std::vector<std::string>{"x.log", "-", "-y.log", "--help", "--dir"}));
    EXPECT_EQ(e.attente, "12");
    EXPECT_EQ(e.seules, 1);
    EXPECT_EQ(e.sortie + e.erreurs, "");

    // The value of an option is the next argument, whatever it looks like.
    Essai f;
    EXPECT_EQ(f.Lit({"--dir", "--help", "--dir", "-x"}), std::nullopt);
    EXPECT_EQ(f.ligne.repertoire, "-x");
    EXPECT_TRUE(f.ligne.fichiers.empty());
}

TEST(LigneCommande, HelpAndVersionEndTheProgramWell) {
    Essai e;
    EXPECT_EQ(e.Lit({"x.log", "-h", "--inconnue"}), 0);
    EXPECT_EQ(e.sortie, "USAGE\n");
    EXPECT_EQ(e.erreurs, "");
    for (const char* version : {"--version", "-V"}) {
        EXPECT_EQ(e.Lit({version, "--inconnue"}), 0);
        EXPECT_EQ(e.sortie, std::string("prog ") + SILLAGE_VERSION + "\n");
        EXPECT_EQ(e.erreurs, "");
    }
    EXPECT_EQ(e.Lit({"--help"}), 0);
    EXPECT_EQ(e.sortie, "USAGE\n");
    // The versions of the data the program reads follow its own.
    e.programme.versions = [] { return std::vector<std::string>{"liste 1.0", "autre 2"}; };
    EXPECT_EQ(e.Aide({"--version"}), 0);
    EXPECT_EQ(e.sortie, std::string("prog ") + SILLAGE_VERSION + "\nliste 1.0\nautre 2\n");
}

// A mistake is told in one line and a hint to --help, never the whole usage, which would bury it.
TEST(LigneCommande, MistakesEndTheProgramWithStatus2) {
    const std::vector<std::pair<Arguments, std::string>> cas = {
        {{"--dir"}, "prog : --dir attend un répertoire\n"},
        {{"--dir="}, "prog : --dir attend un répertoire\n"},
        {{"--dir", ""}, "prog : --dir attend un répertoire\n"},
        // A --dir without its folder is a mistake even after another --dir.
        {{"--dir", "a", "x.log", "--dir"}, "prog : --dir attend un répertoire\n"},
        {{"--attente", "x", "--help"}, "prog : --attente attend un nombre de secondes\n"},
        {{"--attente"}, "prog : --attente attend un nombre de secondes\n"},
        {{"--attente="}, "prog : --attente attend un nombre de secondes\n"},
        {{"--inconnue", "--help"}, "prog : option inconnue : --inconnue\n"},
        {{"--seule=1"}, "prog : option inconnue : --seule=1\n"},
        {{"--DIR", "a"}, "prog : option inconnue : --DIR\n"},
        {{"-x"}, "prog : option inconnue : -x\n"},
        {{"-v"}, "prog : option inconnue : -v\n"},
    };
    for (const auto& [arguments, message] : cas) {
        Essai e;
        EXPECT_EQ(e.Lit(arguments), 2) << message;
        EXPECT_EQ(e.erreurs, message + "Essayez « prog --help ».\n");
        EXPECT_EQ(e.sortie, "");
    }
}

// The window looks for help or the version before Qt takes its own options out, so nothing
// else is checked then.
TEST(LigneCommande, HelpOrVersionBeforeTheRest) {
    Essai e;
    EXPECT_EQ(e.Aide({"-platform", "offscreen", "--inconnue", "--version"}), 0);
    EXPECT_EQ(e.sortie, std::string("prog ") + SILLAGE_VERSION + "\n");
    EXPECT_EQ(e.Aide({"-V"}), 0);
    EXPECT_EQ(e.sortie, std::string("prog ") + SILLAGE_VERSION + "\n");
    EXPECT_EQ(e.Aide({"--dir=", "-h"}), 0);
    EXPECT_EQ(e.sortie, "USAGE\n");
    for (const Arguments& rien :
         {Arguments{}, Arguments{"x.log", "--inconnue"}, Arguments{"--dir", "--help"},
          Arguments{"--attente", "--version"}, Arguments{"--", "--help"}}) {
        EXPECT_EQ(e.Aide(rien), std::nullopt);
        EXPECT_EQ(e.sortie, "");
    }
}

} // namespace
} // namespace sillage
