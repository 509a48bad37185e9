// The manifest of a save: every kind of damage to a file is found when the store loads, named
// with what differs, and nothing is saved over it until it is accepted.
#include "store/base.h"
#include "store/manifeste.h"
#include "store/registre.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace sillage {
namespace {

using test::Contenu;
using test::Ecrit;
using test::MessageDe;
using test::RepertoireTemporaire;

// A saved store whose host table holds n rows.
void Sauve(const std::string& dossier, int n) {
    Base base(dossier);
    base.InitListes();
    base.ListeNom.Efface();
    for (int i = 0; i < n; ++i) {
        base.ListeNom.Ajoute(test::Rangee(i, "hote-" + std::to_string(i), i + 1));
    }
    base.ListeNom.Ajoute(test::Compteur(n));
    RRegistre r;
    r.Nom = "/var/log/site/access.log";
    r.Date = "07/12/2026 02:00:00";
    base.ListeRegistre.Ajoute(EcritRegistre(r));
    base.SauveListes();
}

std::vector<DifferenceManifeste> Differences(const std::string& dossier) {
    Base base(dossier);
    try {
        base.InitListes();
    } catch (const ErreurManifeste& e) {
        return e.Differences;
    } catch (const ErreurSillage&) {
        // Another failure after the files matched their manifest (a register that does not read).
    }
    return {};
}

TEST(Manifeste, RowsRoundTripAndADamagedManifestDoesNotRead) {
    const std::vector<EntreeManifeste> entrees = {{"nom.lst", 1234, 0xdeadbeef},
                                                  {"journaux.lst", 0, 0}};
    std::vector<EntreeManifeste> lues;
    ASSERT_TRUE(LitManifeste(EcritManifeste(entrees), lues));
    EXPECT_EQ(lues, entrees);
    EXPECT_EQ(EcritManifeste(entrees)[0], "\\1;nom.lst\\2;1234\\3;deadbeef\\4;");
    for (const char* ligne :
         {"\\1;nom.lst\\2;12x\\3;deadbeef\\4;", "\\1;nom.lst\\2;-1\\3;deadbeef\\4;",
          "\\1;nom.lst\\2;12\\3;deadbee\\4;", "\\1;\\2;12\\3;deadbeef\\4;",
          "\\1;nom.lst\\2;12\\3;deadbeeg\\4;", "n'importe quoi"}) {
        EXPECT_FALSE(LitManifeste(test::TableDe({ligne}), lues)) << ligne;
    }
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u); // the check value of CRC-32
}

TEST(Manifeste, EveryKindOfDamageIsFoundAndNamed) {
    struct Cas {
        const char* nom;
        std::function<void(const std::string& chemin)> abime;
        std::function<void(const DifferenceManifeste&)> verifie;
    };
    const std::vector<Cas> cas = {
        {"zero-filled at its size (a power cut before its blocks were written)",
         [](const std::string& c) { Ecrit(c, std::string(Contenu(c).size(), '\0')); },
         [](const DifferenceManifeste& d) { EXPECT_TRUE(d.MemeTaille); }},
        {"one NUL byte",
         [](const std::string& c) {
             std::string o = Contenu(c);
             o[o.size() / 2] = '\0';
             Ecrit(c, o);
         },
         [](const DifferenceManifeste& d) { EXPECT_TRUE(d.MemeTaille); }},
        {"cut in half",
         [](const std::string& c) {
             const std::string o = Contenu(c);
             Ecrit(c, o.substr(0, o.size() / 2));
         },
         [](const DifferenceManifeste& d) {
             EXPECT_FALSE(d.MemeTaille);
             EXPECT_EQ(d.TailleTrouvee, d.TailleAttendue / 2);
         }},
        {"edited by hand, same size",
         [](const std::string& c) {
             std::string o = Contenu(c);
             const std::size_t i = o.find_first_of("abcdefghijklmnopqrstuvwxyz");
             o[i] = static_cast<char>(o[i] - 'a' + 'A');
             Ecrit(c, o);
         },
         [](const DifferenceManifeste& d) { EXPECT_TRUE(d.MemeTaille); }},
        {"line ends changed to LF",
         [](const std::string& c) {
             std::string o = Contenu(c);
             std::string lf;
             for (char x : o) {
                 if (x != '\r') {
                     lf += x;
                 }
             }
             Ecrit(c, lf);
         },
         [](const DifferenceManifeste& d) { EXPECT_FALSE(d.MemeTaille); }},
        {"removed", [](const std::string& c) { std::filesystem::remove(c); },
         [](const DifferenceManifeste& d) { EXPECT_TRUE(d.Absent); }},
    };
    for (const Cas& c : cas) {
        for (const char* fichier : {"nom.lst", "journaux.lst"}) {
            RepertoireTemporaire dir;
            Sauve(dir.Chemin(), 40);
            c.abime(dir.Fichier(fichier));
            const std::string abime = test::FichiersDuStore(dir.Chemin());
            Base base(dir.Chemin());
            const std::string message = MessageDe([&] { base.InitListes(); });
            EXPECT_NE(message.find("- " + std::string(fichier) + " : "), std::string::npos)
                << c.nom << "\n"
                << message;
            EXPECT_NE(message.find("--accepte-modifications"), std::string::npos);
            const std::vector<DifferenceManifeste> d = Differences(dir.Chemin());
            ASSERT_EQ(d.size(), 1u) << c.nom;
            EXPECT_EQ(d[0].Nom, fichier);
            c.verifie(d[0]);
            // Accepted, the files are recorded as they are, and load from then on; a register
            // whose row no longer reads then names that row.
            Base acceptee(dir.Chemin());
            const std::string apres = MessageDe([&] { acceptee.InitListes(true); });
            if (apres != "(no error)") {
                EXPECT_EQ(std::string(fichier), "journaux.lst") << c.nom << "\n" << apres;
                EXPECT_EQ(apres.rfind("Le registre des journaux importés " +
                                          dir.Fichier("journaux.lst") +
                                          " ne se lit pas à sa ligne 1",
                                      0),
                          0u)
                    << apres;
            }
            EXPECT_TRUE(Differences(dir.Chemin()).empty()) << c.nom;
            EXPECT_EQ(test::FichiersDuStore(dir.Chemin()), abime) << "nothing else written";
        }
    }
}

TEST(Manifeste, ADamagedManifestIsItselfReported) {
    RepertoireTemporaire dir;
    Sauve(dir.Chemin(), 3);
    Ecrit(dir.Fichier("sillage.manifeste"), "\\1;nom.lst\\2;abc\\3;00000000\\4;\r\n");
    const std::vector<DifferenceManifeste> d = Differences(dir.Chemin());
    ASSERT_EQ(d.size(), 1u);
    EXPECT_TRUE(d[0].Illisible);
}

TEST(Manifeste, AStoreWithoutManifestLoadsAndGetsOneAtItsNextSave) {
    RepertoireTemporaire dir;
    Sauve(dir.Chemin(), 3);
    std::filesystem::remove(dir.Fichier("sillage.manifeste"));
    // A hand edit before any manifest existed cannot be told: the store loads.
    Ecrit(dir.Fichier("nom.lst"), Contenu(dir.Fichier("nom.lst")) + test::Rangee(9, "x", 1) +
                                      "\r\n" + test::Compteur(10) + "\r\n");
    Base base(dir.Chemin());
    base.InitListes();
    base.SauveListes();
    EXPECT_TRUE(std::filesystem::exists(dir.Fichier("sillage.manifeste")));
    Ecrit(dir.Fichier("nom.lst"), "\\1;0\\2;\r\n");
    EXPECT_EQ(Differences(dir.Chemin()).size(), 1u);
}

TEST(Manifeste, ASaveThatLeavesAFileAsItIsKeepsItsRowAndAResetRemovesTheManifest) {
    RepertoireTemporaire dir;
    Sauve(dir.Chemin(), 30);
    Base base(dir.Chemin());
    base.InitListes();
    base.ListePage.Remplace(0, test::Rangee(0, "/p", 1));
    base.ListePage.Ajoute(test::Compteur(1));
    base.SauveListes(); // nom.lst left as it is, page.lst written
    EXPECT_TRUE(Differences(dir.Chemin()).empty());
    base.ReinitialiseListes();
    EXPECT_FALSE(std::filesystem::exists(dir.Fichier("sillage.manifeste")));
    EXPECT_TRUE(Differences(dir.Chemin()).empty());
}

} // namespace
} // namespace sillage
