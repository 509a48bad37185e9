#include "store/base.h"
#include "store/erreur.h"
#include "support/repertoire_temporaire.h"

#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace sillage {
namespace {

using test::MessageDe;

using test::Contenu;
using test::Ecrit;
using test::RepertoireTemporaire;

const char* const kFichiers[14] = {
    "nom.lst",        "page.lst",      "image.lst",    "origine.lst", "keyword.lst",
    "navigateur.lst", "chemin.lst",    "options.lst",  "lanp.lst",    "lanpsearch.lst",
    "graphheure.lst", "graphmois.lst", "download.lst", "erreur.lst"};

TEST(Store, FirstStartSeedsAndASaveWritesFourteenFiles) {
    RepertoireTemporaire dir;
    Base base(dir.Chemin());
    base.InitListes();
    for (Table* t :
         {&base.ListeNom, &base.ListePage, &base.ListeImage, &base.ListeOrigine, &base.ListeKeyword,
          &base.ListeNavigateur, &base.ListeChemin, &base.ListeDownload, &base.ListeErreur}) {
        ASSERT_EQ(t->Count(), 1u);
        EXPECT_EQ((*t)[0], "\\1;0\\2;");
    }
    ASSERT_EQ(base.ListeOptions.Count(), 1u);
    EXPECT_EQ(base.ListeOptions[0], Base::kOptionParDefaut);
    for (Table* t : {&base.ListeLanp, &base.ListeLanpSearch, &base.ListeGraphHeure,
                     &base.ListeGraphMois, &base.ListeLog}) {
        EXPECT_EQ(t->Count(), 0u);
    }

    base.Modifie = 1;
    base.SauveListes();
    EXPECT_EQ(base.Modifie, 0);
    for (const char* f : kFichiers) {
        ASSERT_TRUE(std::filesystem::exists(dir.Fichier(f))) << f;
    }
    EXPECT_EQ(Contenu(dir.Fichier("nom.lst")), "\\1;0\\2;\r\n");
    EXPECT_EQ(Contenu(dir.Fichier("options.lst")), std::string(Base::kOptionParDefaut) + "\r\n");
    EXPECT_EQ(Contenu(dir.Fichier("lanp.lst")), "");
    EXPECT_EQ(Contenu(dir.Fichier("graphmois.lst")), "");
    // Nothing but the fourteen files and the manifest is left in the directory.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Chemin()),
                            std::filesystem::directory_iterator()),
              15);
}

TEST(Store, LoadsFilesAsTheyAreAndSavesEveryLineWithCrLf) {
    RepertoireTemporaire dir;
    Ecrit(dir.Fichier("page.lst"),
          "\\1;4\\2;/a\\3;3\\4;d\\5;\n\\1;1\\2;/b\\3;9\\4;d\\5;\r\\1;7\\2;");
    Ecrit(dir.Fichier("lanpsearch.lst"), "1-4-1\r\n1-1-1");
    Base base(dir.Chemin());
    base.InitListes();
    ASSERT_EQ(base.ListePage.Count(), 3u);
    EXPECT_EQ(base.ListePage[1], "\\1;1\\2;/b\\3;9\\4;d\\5;");
    EXPECT_EQ(base.ListeLanpSearch.Count(), 2u);
    base.SauveListes();
    EXPECT_EQ(Contenu(dir.Fichier("page.lst")),
              "\\1;4\\2;/a\\3;3\\4;d\\5;\r\n\\1;1\\2;/b\\3;9\\4;d\\5;\r\n\\1;7\\2;\r\n");
    EXPECT_EQ(Contenu(dir.Fichier("lanpsearch.lst")), "1-4-1\r\n1-1-1\r\n");
}

TEST(Store, DamagedKeyedTablesGetACounterRow) {
    RepertoireTemporaire dir;
    Ecrit(dir.Fichier("nom.lst"), "");
    Ecrit(dir.Fichier("page.lst"), "\\1;4\\2;/a\\3;3\\4;d\\5;\r\n\\1;11\\2;/b\\3;1\\4;d\\5;\r\n");
    Ecrit(dir.Fichier("image.lst"), "junk\r\n\\1;x\\2;/i.gif\\3;1\\4;d\\5;\r\n");
    Ecrit(dir.Fichier("erreur.lst"), "\\1;-5\\2;\r\n");
    Ecrit(dir.Fichier("options.lst"), "");
    Base base(dir.Chemin());
    base.InitListes();
    ASSERT_EQ(base.ListeNom.Count(), 1u);
    EXPECT_EQ(base.ListeNom[0], "\\1;0\\2;");
    ASSERT_EQ(base.ListePage.Count(), 3u);
    EXPECT_EQ(base.ListePage[2], "\\1;12\\2;");
    ASSERT_EQ(base.ListeImage.Count(), 3u);
    EXPECT_EQ(base.ListeImage[2], "\\1;0\\2;");
    ASSERT_EQ(base.ListeErreur.Count(), 1u); // a well-formed counter row is kept as it is
    EXPECT_EQ(base.ListeErreur[0], "\\1;-5\\2;");
    ASSERT_EQ(base.ListeOptions.Count(), 1u);
    EXPECT_EQ(base.ListeOptions[0], Base::kOptionParDefaut);
}

TEST(Store, AnOptionsFileWithAnEmptyLineKeepsIt) {
    RepertoireTemporaire dir;
    Ecrit(dir.Fichier("options.lst"), "\r\n");
    Base base(dir.Chemin());
    base.InitListes();
    ASSERT_EQ(base.ListeOptions.Count(), 1u);
    EXPECT_EQ(base.ListeOptions[0], "");
}

TEST(Store, AFileThatCannotBeOpenedStopsTheLoadingThere) {
    RepertoireTemporaire dir;
    Ecrit(dir.Fichier("nom.lst"), "\\1;0\\2;h\\3;1\\4;d\\5;\r\n\\1;1\\2;\r\n");
    std::filesystem::create_directory(dir.Fichier("download.lst"));
    Base base(dir.Chemin());
    EXPECT_EQ(MessageDe([&] { base.InitListes(); }), "Impossible d'ouvrir le fichier " +
                                                         dir.Fichier("download.lst") +
                                                         " : c'est un répertoire");
    // Loaded before it: nom, page, image; after it: nothing.
    EXPECT_EQ(base.ListeNom.Count(), 2u);
    EXPECT_EQ(base.ListePage.Count(), 1u);
    EXPECT_EQ(base.ListeImage.Count(), 1u);
    EXPECT_EQ(base.ListeDownload.Count(), 0u);
    EXPECT_EQ(base.ListeErreur.Count(), 0u);
    EXPECT_EQ(base.ListeOptions.Count(), 0u);
}

TEST(Store, AFailedSaveReplacesNoFileAndKeepsTheFlag) {
    RepertoireTemporaire dir;
    Base base(dir.Chemin());
    base.InitListes();
    base.SauveListes();
    base.ListeNom.Remplace(0, "\\1;0\\2;h\\3;1\\4;d\\5;");
    base.ListeNom.Ajoute("\\1;1\\2;");
    base.Modifie = 1;
    // erreur.lst, late in the save order, cannot be replaced.
    std::filesystem::remove(dir.Fichier("erreur.lst"));
    std::filesystem::create_directory(dir.Fichier("erreur.lst"));
    EXPECT_EQ(MessageDe([&] { base.SauveListes(); }), "Impossible de créer le fichier " +
                                                          dir.Fichier("erreur.lst") +
                                                          " : c'est un répertoire");
    EXPECT_EQ(base.Modifie, 1);
    EXPECT_EQ(Contenu(dir.Fichier("nom.lst")), "\\1;0\\2;\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Chemin()),
                            std::filesystem::directory_iterator()),
              15);
}

TEST(Store, SavingIntoAMissingDirectoryFails) {
    RepertoireTemporaire dir;
    Base base(dir.Chemin() + "absent");
    base.InitListes();
    base.Modifie = 1;
    EXPECT_EQ(MessageDe([&] { base.SauveListes(); }), "Impossible de créer le fichier " +
                                                          dir.Chemin() +
                                                          "absent/nom.lst : fichier introuvable");
    EXPECT_EQ(base.Modifie, 1);
}

TEST(Store, ResetDeletesTheFilesAndSeedsAgain) {
    RepertoireTemporaire dir;
    Ecrit(dir.Fichier("nom.lst"), "\\1;0\\2;h\\3;1\\4;d\\5;\r\n\\1;1\\2;\r\n");
    Ecrit(dir.Fichier("options.lst"), "http://mine/\r\n");
    Ecrit(dir.Fichier("lanp.lst"), "\\1;0\\2;0\\3;1\\4;d\\5;1\\6;\r\n");
    Base base(dir.Chemin());
    base.InitListes();
    base.ReconstruitIndex();
    base.Modifie = 1;
    ASSERT_EQ(base.IndexNom.Count(), 1u);
    base.ReinitialiseListes();
    EXPECT_FALSE(std::filesystem::exists(dir.Fichier("nom.lst")));
    EXPECT_FALSE(std::filesystem::exists(dir.Fichier("options.lst")));
    EXPECT_EQ(base.ListeNom.Count(), 1u);
    EXPECT_EQ(base.ListeOptions[0], Base::kOptionParDefaut);
    EXPECT_EQ(base.ListeLanp.Count(), 0u);
    EXPECT_EQ(base.IndexNom.Count(), 0u);
    EXPECT_EQ(base.Modifie, 1);
}

TEST(Store, ResetKeepsATableWhoseFileCannotBeDeleted) {
    RepertoireTemporaire dir;
    std::filesystem::create_directory(dir.Fichier("chemin.lst"));
    std::filesystem::create_directory(dir.Fichier("chemin.lst/inside"));
    Base base(dir.Chemin());
    EXPECT_THROW(base.InitListes(), ErreurSillage);
    EXPECT_EQ(MessageDe([&] { base.ReinitialiseListes(); }), "Impossible d'ouvrir le fichier " +
                                                                 dir.Fichier("chemin.lst") +
                                                                 " : c'est un répertoire");
}

TEST(Store, NameIndexesFollowTheirTables) {
    RepertoireTemporaire dir;
    Ecrit(dir.Fichier("page.lst"),
          "\\1;0\\2;/index.html\\3;5\\4;d\\5;\r\n\\1;1\\2;/b\\3;1\\4;d\\5;\r\n\\1;2\\2;\r\n");
    Base base(dir.Chemin());
    base.InitListes();
    base.ReconstruitIndex();
    ASSERT_EQ(base.IndexPage.Count(), 2u);
    EXPECT_EQ(base.IndexPage.Cherche("/Index.html"), 0);
    EXPECT_EQ(base.IndexPage.Cherche("/B"), 1);
    EXPECT_EQ(base.IndexNom.Count(), 0u);
    EXPECT_TRUE(base.IndexAJour());

    // Whoever changes a table, its index is out of date until it is built again.
    base.ListePage.Remplace(1, "\\1;1\\2;/c\\3;1\\4;d\\5;");
    EXPECT_FALSE(base.IndexAJour());
    base.AssureIndex();
    EXPECT_EQ(base.IndexPage.Cherche("/C"), 1);
    EXPECT_EQ(base.IndexPage.Cherche("/B"), -1);
    // A table put back as the same content (a copy) leaves it up to date; another one does not.
    const Table copie = base.ListeNom;
    base.ListeNom = copie;
    EXPECT_TRUE(base.IndexAJour());
    base.ListeNom = Table();
    EXPECT_FALSE(base.IndexAJour());
}

// A save rewrites the tables that changed and leaves the files of the others as they are, unless
// another program replaced them since they were loaded.
TEST(Store, ASaveLeavesTheFilesOfUnchangedTablesAlone) {
    namespace fs = std::filesystem;
    RepertoireTemporaire dir;
    std::string grand;
    for (int i = 0; i < 5000; ++i) {
        grand += "\\1;" + std::to_string(i) + "\\2;hote" + std::to_string(i) + "\\3;1\\4;d\\5;\r\n";
    }
    Ecrit(dir.Fichier("nom.lst"), grand + "\\1;5000\\2;\r\n");
    Ecrit(dir.Fichier("lanpsearch.lst"), grand);
    Ecrit(dir.Fichier("lanp.lst"), grand);
    Base base(dir.Chemin());
    base.InitListes();
    base.SauveListes();
    const auto inode = [&](const char* f) {
        struct stat st {};
        EXPECT_EQ(::stat(dir.Fichier(f).c_str(), &st), 0) << f;
        return st.st_ino;
    };
    const auto nom = inode("nom.lst"), lanp = inode("lanp.lst"),
               lanpsearch = inode("lanpsearch.lst");
    base.ListeLanp.Remplace(0, "change");
    // Another program's save of lanpsearch.lst, with the same bytes.
    Ecrit(dir.Fichier("lanpsearch.autre"), grand);
    fs::rename(dir.Fichier("lanpsearch.autre"), dir.Fichier("lanpsearch.lst"));
    const auto autre = inode("lanpsearch.lst");
    base.SauveListes();
    EXPECT_EQ(inode("nom.lst"), nom);
    EXPECT_NE(inode("lanp.lst"), lanp);
    EXPECT_NE(inode("lanpsearch.lst"), autre);
    EXPECT_NE(autre, lanpsearch);
    EXPECT_EQ(Contenu(dir.Fichier("lanp.lst")), "change\r\n" + grand.substr(grand.find('\n') + 1));
    EXPECT_EQ(Contenu(dir.Fichier("lanpsearch.lst")), grand);
}

TEST(Store, CounterRowShape) {
    EXPECT_TRUE(EstLigneCompteur("\\1;0\\2;"));
    EXPECT_TRUE(EstLigneCompteur("\\1;-12\\2;"));
    EXPECT_TRUE(EstLigneCompteur("\\1;007\\2;"));
    EXPECT_FALSE(EstLigneCompteur("\\1;\\2;"));
    EXPECT_FALSE(EstLigneCompteur("\\1;-\\2;"));
    EXPECT_FALSE(EstLigneCompteur("\\1;1\\2;x"));
    EXPECT_FALSE(EstLigneCompteur("\\1;1 \\2;"));
    EXPECT_FALSE(EstLigneCompteur("\\1;0\\2;h\\3;1\\4;d\\5;"));
}

} // namespace
} // namespace sillage
