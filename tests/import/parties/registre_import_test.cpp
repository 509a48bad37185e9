// The register of imported logs during an import, alone: a log's row found by its first bytes
// (the row covering the most of them), and the row an import leaves written with the tables
// only.
#include "import/lecture/empreinte.h"
#include "import/parties/registre_import.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <string>

namespace sillage {
namespace {

using test::MessageDe;
using test::TableDe;

// The row of a log whose text begins with debut, fingerprinted over its first `couverts` bytes.
RRegistre Rangee(const std::string& debut, std::size_t couverts, const std::string& nom) {
    RRegistre r;
    r.Debut = EmpreinteDe(std::string_view(debut).substr(0, couverts));
    r.OctetsDebut = static_cast<std::int64_t>(couverts);
    r.Octets = static_cast<std::int64_t>(couverts);
    r.Lignes = 1;
    r.Nom = nom;
    r.Date = "16/02/2004 09:00:00";
    return r;
}

TEST(RegistreImport, FindsTheRowOfALogByItsBeginning) {
    const std::string log = "ligne 1\nligne 2\nligne 3\n";
    const Table registre = TableDe({EcritRegistre(Rangee("autre\n", 6, "autre.log")),
                                    EcritRegistre(Rangee(log, 8, "court.log")),
                                    EcritRegistre(Rangee(log, 16, "a.log")),
                                    EcritRegistre(Rangee(log, 8, "court2.log"))});
    EXPECT_EQ(ChercheRegistre(registre, log), 2);               // the one that covers the most
    EXPECT_EQ(ChercheRegistre(registre, log.substr(0, 10)), 1); // a log shorter than row 2 covers
    EXPECT_EQ(ChercheRegistre(registre, "ligne 9\n"), -1);
    EXPECT_EQ(ChercheRegistre(Table(), log), -1);
    EXPECT_EQ(MessageDe([&] { ChercheRegistre(TableDe({"\\1;zz\\2;"}), log); }),
              "'zz' n'est pas une valeur entière correcte");
}

TEST(RegistreImport, TheRowNotedReplacesItsOwnOrIsAddedWhenApplied) {
    const RRegistre a = Rangee("a\n", 2, "a.log");
    const RRegistre b = Rangee("b\n", 2, "b.log");
    RRegistre suite = a;
    suite.Octets = 40;
    suite.Lignes = 20;

    Table table = TableDe({EcritRegistre(a), EcritRegistre(b)});
    RegistreImport remplace(table);
    remplace.Note(0, suite);
    remplace.Prepare();
    EXPECT_TRUE(table == TableDe({EcritRegistre(a), EcritRegistre(b)}));
    remplace.Applique();
    EXPECT_TRUE(table == TableDe({EcritRegistre(suite), EcritRegistre(b)}));

    RegistreImport ajoute(table);
    ajoute.Note(-1, a);
    ajoute.Prepare();
    ajoute.Applique();
    EXPECT_TRUE(table == TableDe({EcritRegistre(suite), EcritRegistre(b), EcritRegistre(a)}));

    RegistreImport rien(table); // an import that noted nothing leaves the register as it is
    rien.Prepare();
    rien.Applique();
    EXPECT_EQ(table.Count(), 3u);
}

} // namespace
} // namespace sillage
