// A real disk that fills up during a save (a small tmpfs, when the system lets the tests mount
// one): sillage-import says it could not write, and the store is exactly as it was.
#include "store/base.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/mount.h>

namespace sillage {
namespace {

using test::Ecrit;
using test::RepertoireTemporaire;

class DisquePlein : public ::testing::Test {
  protected:
    void SetUp() override {
        disque_ = dir_.Fichier("disque");
        std::filesystem::create_directory(disque_);
        if (::mount("tmpfs", disque_.c_str(), "tmpfs", 0, "size=512k") != 0) {
            GTEST_SKIP() << "no tmpfs can be mounted here";
        }
        monte_ = true;
    }
    void TearDown() override {
        if (monte_) {
            ::umount(disque_.c_str());
        }
    }
    RepertoireTemporaire dir_;
    std::string disque_;
    bool monte_ = false;
};

TEST_F(DisquePlein, ASaveThatFillsTheDiskReplacesNothing) {
    const std::string store = disque_ + "/store";
    std::filesystem::create_directory(store);
    Ecrit(dir_.Fichier("petit.log"), test::Journal(test::LignesAleatoires(1, 200)));
    ASSERT_EQ(test::LanceSillageImport("--dir " + store + " " + dir_.Fichier("petit.log")).code, 0);
    const std::string avant = test::FichiersDuStore(store);
    const auto fichiers = [&] {
        std::vector<std::string> noms;
        for (const auto& e : std::filesystem::directory_iterator(store)) {
            noms.push_back(e.path().filename().string());
        }
        std::sort(noms.begin(), noms.end());
        return noms;
    };
    const std::vector<std::string> nomsAvant = fichiers();

    // A log of many pages and hosts: its tables need more than the disk holds.
    std::vector<std::string> lignes;
    for (int i = 0; i < 20000; ++i) {
        lignes.push_back(
            test::LigneLog("10." + std::to_string(i / 250) + "." + std::to_string(i % 250) + ".1",
                           "14/Feb/2004:10:11:12", "/page-" + std::to_string(i)));
    }
    Ecrit(dir_.Fichier("gros.log"), test::Journal(lignes));
    const test::Resultat r =
        test::LanceSillageImport("--verbeux --dir " + store + " " + dir_.Fichier("petit.log") +
                                 " " + dir_.Fichier("gros.log"));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.erreurs.rfind("sillage-import : Impossible de créer le fichier " + store + "/", 0),
              0u)
        << r.erreurs;
    EXPECT_NE(r.erreurs.find(" : disque plein\n"), std::string::npos) << r.erreurs;
    // Nothing was imported after all: no report says it was.
    EXPECT_EQ(r.sortie, "");
    EXPECT_EQ(test::FichiersDuStore(store), avant);
    EXPECT_EQ(fichiers(), nomsAvant); // no temporary left behind
}

} // namespace
} // namespace sillage
