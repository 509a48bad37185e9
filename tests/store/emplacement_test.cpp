// The store folder rule and the open dialog's starting folder, with temporary folders for the
// program's folder and the user's home.
#include "store/emplacement.h"
#include "store/erreur.h"
#include "support/repertoire_temporaire.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sys/stat.h>

namespace sillage {
namespace {

namespace fs = std::filesystem;
using test::Contenu;
using test::Ecrit;
using test::RepertoireTemporaire;

// Sets (or unsets, with nullopt) an environment variable for the life of the object.
class Variable {
  public:
    Variable(const char* nom, std::optional<std::string> valeur) : nom_(nom) {
        if (const char* v = std::getenv(nom)) {
            avant_ = v;
        }
        Fixe(valeur);
    }
    ~Variable() { Fixe(avant_); }
    Variable(const Variable&) = delete;
    Variable& operator=(const Variable&) = delete;

  private:
    void Fixe(const std::optional<std::string>& valeur) {
        if (valeur) {
            ::setenv(nom_, valeur->c_str(), 1);
        } else {
            ::unsetenv(nom_);
        }
    }
    const char* nom_;
    std::optional<std::string> avant_;
};

// A program's folder and a home folder, both temporary, with HOME pointing at the home.
struct Poste {
    RepertoireTemporaire programme;
    RepertoireTemporaire home;
    Variable varHome{"HOME", home.Chemin()};

    std::string Programme() const { return programme.Chemin(); }
    std::string Donnees() const { return home.Fichier(".local/share/sillage"); }
};

// The message of the failure of the default rule ("(no error)" when it succeeds).
std::string ErreurParDefaut(const std::string& programme) {
    try {
        EmplacementBase("", programme);
        return "(no error)";
    } catch (const ErreurSillage& e) {
        return e.what();
    }
}

unsigned Mode(const std::string& chemin) {
    struct stat s {};
    return ::stat(chemin.c_str(), &s) == 0 ? (s.st_mode & 07777) : 0;
}

TEST(EmplacementBase, DirWinsAndIsTakenAsItIs) {
    Poste p;
    Variable xdg("XDG_DATA_HOME", std::nullopt);
    Ecrit(p.programme.Fichier("nom.lst"), "\\1;0\\2;\r\n");
    const std::string absent = p.home.Fichier("ailleurs");
    EXPECT_EQ(EmplacementBase(absent, p.Programme()), absent);
    EXPECT_FALSE(fs::exists(absent));
    EXPECT_FALSE(fs::exists(p.home.Fichier(".local")));
}

TEST(EmplacementBase, ProgramFolderOnlyWhenItHoldsTheHostTable) {
    Poste p;
    Variable xdg("XDG_DATA_HOME", std::nullopt);
    // Other table files beside the program do not make it a store: nom.lst does.
    Ecrit(p.programme.Fichier("page.lst"), "\\1;0\\2;\r\n");
    EXPECT_EQ(EmplacementBase("", p.Programme()), p.Donnees());

    Ecrit(p.programme.Fichier("nom.lst"), "");
    EXPECT_EQ(EmplacementBase("", p.Programme()), p.Programme());
    // A nom.lst that cannot be read still marks the store there: its load tells why.
    fs::remove(p.programme.Fichier("nom.lst"));
    fs::create_directory(p.programme.Fichier("nom.lst"));
    EXPECT_EQ(EmplacementBase("", p.Programme()), p.Programme());
}

TEST(EmplacementBase, DataFolderOfTheUserCreatedWhenFirstNeeded) {
    Poste p;
    Variable xdg("XDG_DATA_HOME", std::nullopt);
    const std::string dossier = EmplacementBase("", p.Programme());
    EXPECT_EQ(dossier, p.Donnees());
    EXPECT_TRUE(fs::is_directory(dossier));
    EXPECT_EQ(Mode(dossier), 0700u);
    EXPECT_EQ(Mode(p.home.Fichier(".local")), 0700u);
    // Nothing beside the program.
    EXPECT_TRUE(fs::is_empty(p.Programme()));

    // An existing store is used as it is.
    Ecrit(dossier + "/nom.lst", "ligne\r\n");
    ::chmod(dossier.c_str(), 0755);
    EXPECT_EQ(EmplacementBase("", p.Programme()), dossier);
    EXPECT_EQ(Contenu(dossier + "/nom.lst"), "ligne\r\n");
    EXPECT_EQ(Mode(dossier), 0755u);
}

TEST(EmplacementBase, XdgDataHomeCountsOnlyWhenAbsolute) {
    Poste p;
    {
        const std::string donnees = p.home.Fichier("donnees/");
        Variable xdg("XDG_DATA_HOME", donnees);
        EXPECT_EQ(EmplacementBase("", p.Programme()), p.home.Fichier("donnees/sillage"));
        EXPECT_TRUE(fs::is_directory(p.home.Fichier("donnees/sillage")));
        EXPECT_FALSE(fs::exists(p.home.Fichier(".local")));
    }
    for (const char* valeur : {"", "relatif/donnees"}) {
        Variable xdg("XDG_DATA_HOME", std::string(valeur));
        EXPECT_EQ(EmplacementBase("", p.Programme()), p.Donnees()) << valeur;
    }
    EXPECT_FALSE(fs::exists("relatif"));
}

TEST(EmplacementBase, FolderThatCannotBeCreatedIsReportedAndNothingIsWrittenElsewhere) {
    Poste p;
    Variable xdg("XDG_DATA_HOME", std::nullopt);
    // A regular file where a folder of the path should be.
    Ecrit(p.home.Fichier(".local"), "");
    const std::string raison = " : un fichier porte son nom ou celui d'un répertoire au-dessus";
    EXPECT_EQ(ErreurParDefaut(p.Programme()),
              "Impossible de créer le répertoire " + p.Donnees() + raison);
    fs::remove(p.home.Fichier(".local"));
    fs::create_directories(p.home.Fichier(".local/share"));
    Ecrit(p.Donnees(), "");
    EXPECT_EQ(ErreurParDefaut(p.Programme()),
              "Impossible de créer le répertoire " + p.Donnees() + raison);
    EXPECT_TRUE(fs::is_empty(p.Programme()));
}

TEST(EmplacementBase, HomeFromThePasswordDatabaseWhenHomeIsUnset) {
    Poste p;
    Variable xdg("XDG_DATA_HOME", std::nullopt);
    Variable home("HOME", std::nullopt);
    const std::string personnel = DossierPersonnel();
    if (personnel.empty()) {
        EXPECT_NE(ErreurParDefaut(p.Programme()).find("Impossible de trouver le répertoire"),
                  std::string::npos);
        return;
    }
    EXPECT_EQ(personnel[0], '/');
    Variable relatif("HOME", std::string("relatif"));
    EXPECT_EQ(DossierPersonnel(), personnel);
}

TEST(DossierProgramme, IsTheFolderOfTheRunningProgram) {
    const std::string dossier = DossierProgramme();
    EXPECT_TRUE(fs::exists(fs::path(dossier) / "tests_store")) << dossier;
}

TEST(DossierOuverture, StoreBesideTheProgramElseLastLogElseHome) {
    Poste p;
    const std::string logs = p.home.Fichier("logs");
    fs::create_directory(logs);
    // Same folder, written differently.
    EXPECT_EQ(DossierOuverture(p.Programme(), p.Programme() + "./", logs), p.Programme());
    EXPECT_EQ(DossierOuverture(p.Donnees(), p.Programme(), logs), logs);
    EXPECT_EQ(DossierOuverture(p.Donnees(), p.Programme(), ""), p.home.Chemin());
    Variable home("HOME", std::string("relatif"));
    const std::string personnel = DossierPersonnel();
    EXPECT_EQ(DossierOuverture(p.Donnees(), p.Programme(), ""),
              personnel.empty() ? "/" : personnel);
}

} // namespace
} // namespace sillage
