// The register of imported logs: its rows, and its file saved, loaded and reset with the tables.
#include "store/registre.h"

#include "store/base.h"
#include "store/erreur.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace sillage {
namespace {

using test::Contenu;
using test::RepertoireTemporaire;

RRegistre Exemple() {
    RRegistre r;
    r.Debut = 0x0123456789abcdefull;
    r.OctetsDebut = 4096;
    r.Octets = 10'000'000'000; // beyond 32 bits: a log of ten gigabytes
    r.Lignes = 1'000'000;
    r.Fin = 0xfedcba9876543210ull;
    r.Nom = "/var/log/site/access.log.1";
    r.Date = "07/12/2026 02:00:00";
    return r;
}

TEST(Registre, ARowReadsBackAsWritten) {
    const RRegistre r = Exemple();
    const std::string ligne = EcritRegistre(r);
    EXPECT_EQ(ligne, "\\1;0123456789abcdef\\2;4096\\3;10000000000\\4;1000000\\5;fedcba9876543210"
                     "\\6;/var/log/site/access.log.1\\7;07/12/2026 02:00:00\\8;");
    EXPECT_EQ(LitRegistre(ligne), r);
}

// Any name but NUL comes back exactly, on one line that no name can break; rows of plain names
// are written as they always were.
TEST(Registre, EveryNameRoundTripsOnOneLine) {
    RRegistre r = Exemple();
    for (const std::string& nom :
         {std::string("C:\\7;logs\\access.log"), std::string("a\nb.log"), std::string("a\r\nb"),
          std::string("\r"), std::string("x\x01\x02\x1f\x7f\ty"), std::string("100% %41 %%5C"),
          std::string("\\8;\\9;\\10;"), std::string("été \xe9\xff.log"), std::string()}) {
        r.Nom = nom;
        const std::string ligne = EcritRegistre(r);
        EXPECT_EQ(ligne.find_first_of("\r\n"), std::string::npos) << ligne;
        const RRegistre relu = LitRegistre(ligne);
        EXPECT_EQ(relu, r) << ligne;
        // Read as a table file reads it, the row is one line.
        const Table t = test::TableDe({ligne});
        ASSERT_EQ(t.Count(), 1u);
        EXPECT_EQ(LitRegistre(t[0]), r);
    }
    r.Nom = "a\nb\\c";
    EXPECT_EQ(EcritRegistre(r),
              "\\1;0123456789abcdef\\2;4096\\3;10000000000\\4;1000000\\5;fedcba9876543210"
              "\\6;a%0Ab%5Cc\\7;07/12/2026 02:00:00\\8;%\\9;");
    // A row written before names were escaped keeps its meaning: %5C stood for a backslash that
    // began a tag, and is read as written.
    EXPECT_EQ(LitRegistre("\\1;0123456789abcdef\\2;1\\3;1\\4;1\\5;fedcba9876543210\\6;C:%5C7;x"
                          "\\7;d\\8;")
                  .Nom,
              "C:%5C7;x");
}

TEST(Registre, ADamagedRowIsAConversionError) {
    for (const std::string ligne :
         {"\\1;0123\\2;1\\3;1\\4;1\\5;fedcba9876543210\\6;n\\7;d\\8;",
          "\\1;0123456789abcdef\\2;-1\\3;1\\4;1\\5;fedcba9876543210\\6;n\\7;d\\8;",
          "\\1;0123456789abcdef\\2;1\\3;1x\\4;1\\5;fedcba9876543210\\6;n\\7;d\\8;", "\\1;0\\2;"}) {
        EXPECT_THROW(LitRegistre(ligne), ErreurSillage) << ligne;
    }
    try {
        LitRegistre("\\1;0123456789abcdef\\2;1\\3;12x\\4;1\\5;fedcba9876543210\\6;n\\7;d\\8;");
    } catch (const ErreurSillage& e) {
        EXPECT_EQ(std::string(e.what()), "'12x' n'est pas une valeur entière correcte");
    }
}

// A register that does not read is named with its line, never blamed on a log; a row that an
// earlier version cut at a line break of its name is joined back.
TEST(Registre, ADamagedRegisterIsNamedAndACutRowIsJoined) {
    RepertoireTemporaire dir;
    RRegistre a = Exemple();
    RRegistre b = Exemple();
    b.Debut = 42;
    b.Nom = "/logs/b.log";
    const std::string ligneA = EcritRegistre(a);
    const std::string ligneB = EcritRegistre(b);
    // What an earlier version wrote for the name "/logs/deux\nlignes\r\n.log".
    std::string coupee = ligneA;
    coupee.replace(coupee.find("/var/log/site/access.log.1"), 26, "/logs/deux\nlignes\r\n.log");
    test::EcritTable(dir.Fichier("journaux.lst"), {ligneB, coupee, ligneB});
    Base base(dir.Chemin());
    base.InitListes();
    ASSERT_EQ(base.ListeRegistre.Count(), 3u);
    EXPECT_EQ(LitRegistre(base.ListeRegistre[1]).Nom, "/logs/deux\nlignes\n.log");
    EXPECT_EQ(LitRegistre(base.ListeRegistre[1]).Octets, a.Octets);
    EXPECT_EQ(base.ListeRegistre[2], ligneB);
    base.SauveListes(); // written back whole, one row a line
    Base relue(dir.Chemin());
    relue.InitListes();
    EXPECT_TRUE(relue.ListeRegistre == base.ListeRegistre);

    // A row that does not read, and a cut row whose rest never comes: the file and the line.
    struct Cas {
        std::vector<std::string> lignes;
        int numero;
        std::string pourquoi;
    };
    for (const Cas& c : std::vector<Cas>{
             {{ligneB, ligneB.substr(0, 30)}, 2, "rangée incomplète"},
             {{ligneB, ligneA.substr(0, ligneA.find("\\7;")), ligneB}, 2, "rangée incomplète"},
             {{"\\1;registre\\2;4\\3;1\\4;1\\5;0\\6;n\\7;d\\8;", ligneB},
              1,
              "'registre' n'est pas une valeur entière correcte"}}) {
        RepertoireTemporaire d;
        test::EcritTable(d.Fichier("journaux.lst"), c.lignes);
        Base abimee(d.Chemin());
        EXPECT_EQ(test::MessageDe([&] { abimee.InitListes(); }),
                  "Le registre des journaux importés " + d.Fichier("journaux.lst") +
                      " ne se lit pas à sa ligne " + std::to_string(c.numero) + " (" + c.pourquoi +
                      ") : corrigez cette ligne ou retirez-la (le journal qu'elle note sera alors "
                      "compté comme un journal nouveau par un import --incremental).");
    }
}

TEST(Registre, ItsFileIsSavedLoadedAndResetWithTheTables) {
    RepertoireTemporaire dir;
    Base base(dir.Chemin());
    base.InitListes();
    base.SauveListes();
    // No import recorded: the store keeps its fourteen files only.
    EXPECT_FALSE(std::filesystem::exists(dir.Fichier("journaux.lst")));

    base.ListeRegistre.Ajoute(EcritRegistre(Exemple()));
    base.SauveListes();
    EXPECT_EQ(Contenu(dir.Fichier("journaux.lst")), EcritRegistre(Exemple()) + "\r\n");
    Base relue(dir.Chemin());
    relue.InitListes();
    ASSERT_EQ(relue.ListeRegistre.Count(), 1u);
    EXPECT_EQ(LitRegistre(relue.ListeRegistre[0]), Exemple());

    relue.ReinitialiseListes();
    EXPECT_TRUE(relue.ListeRegistre.Vide());
    EXPECT_FALSE(std::filesystem::exists(dir.Fichier("journaux.lst")));
}

} // namespace
} // namespace sillage
