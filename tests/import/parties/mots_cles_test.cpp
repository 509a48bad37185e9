// The keyword rows counted alone: one row per counted referrer with a query, made from the counter
// row's text, in the order of the hits; the stored table untouched until Applique.
#include "import/parties/mots_cles.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

namespace sillage {
namespace {

using test::Compteur;
using test::MessageDe;
using test::TableDe;

TEST(MotsCles, RowsFromTheCounterTextAndNothingStoredBeforeApplique) {
    Table table = TableDe({"\\1;0\\2;1\\3;\"vieux\"\\4;", "\\1;01\\2;"});
    const Table avant = table;
    MotsCles mots(table);
    mots.Ajoute(3, "\"q=a\"");
    mots.Ajoute(4, "\"q=b\" \"r\"");
    mots.Prepare();
    EXPECT_TRUE(table == avant);
    mots.Applique();
    EXPECT_TRUE(table == TableDe({"\\1;0\\2;1\\3;\"vieux\"\\4;", "\\1;01\\2;3\\3;\"q=a\"\\4;",
                                  "\\1;2\\2;4\\3;\"q=b\" \"r\"\\4;", Compteur(3)}));

    Table vide;
    MotsCles sansLigne(vide);
    EXPECT_EQ(MessageDe([&] { sansLigne.Ajoute(0, "\"x\""); }),
              "Indice de liste hors limites (-1)");
    Table illisible = TableDe({"\\1;z\\2;"});
    MotsCles compteurIllisible(illisible);
    EXPECT_EQ(MessageDe([&] { compteurIllisible.Ajoute(0, "\"x\""); }),
              "'z' n'est pas une valeur entière correcte");
}

} // namespace
} // namespace sillage
