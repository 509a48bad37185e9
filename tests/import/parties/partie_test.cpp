// The pieces the parts of an import share: the counter row they number new rows from, and the
// copy of a table with its touched rows written anew.
#include "import/parties/partie.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

namespace sillage {
namespace {

using test::Compteur;
using test::MessageDe;
using test::Rangee;
using test::TableDe;

TEST(CompteurInitial, NumbersNewRowsOrSaysWhyItCannot) {
    const CompteurInitial c(TableDe({Rangee(0, "a", 1), "\\1;007\\2;"}));
    EXPECT_EQ(c.Ident(0), 7);
    EXPECT_EQ(c.Ident(3), 10);
    EXPECT_EQ(c.Texte(), "\\1;007\\2;");
    EXPECT_EQ(MessageDe([] { CompteurInitial(Table()).Ident(0); }),
              "Indice de liste hors limites (-1)");
    EXPECT_EQ(MessageDe([] { CompteurInitial(TableDe({"\\1;x\\2;"})).Ident(0); }),
              "'x' n'est pas une valeur entière correcte");
    EXPECT_EQ(MessageDe([] { CompteurInitial(TableDe({Compteur(2147483647)})).Ident(1); }),
              "'2147483648' n'est pas une valeur entière correcte");
}

TEST(CompteurInitial, EndsTheTableWithTheRowFoundOrTheNextOne) {
    const CompteurInitial c(TableDe({"\\1;007\\2;"}));
    Table t;
    c.AjouteFin(t, 0, 0);
    c.AjouteFin(t, 2, 8);
    EXPECT_TRUE(t == TableDe({"\\1;007\\2;", Compteur(9)}));
    Table vide;
    CompteurInitial(Table()).AjouteFin(vide, 0, 0);
    EXPECT_TRUE(vide.Vide());
}

TEST(CopieStockees, OnlyTouchedRowsAreWrittenAnew) {
    const Table t = TableDe({"a", "b", "c", "compteur"});
    const Touchees touchees = {{2, 0}, {0, 1}};
    std::string tampon;
    Table nouvelle;
    CopieStockees(t, 3, touchees, tampon, nouvelle,
                  [&](std::uint32_t rang) { tampon = "neuve" + std::to_string(rang); });
    EXPECT_TRUE(nouvelle == TableDe({"neuve1", "b", "neuve0"}));
}

} // namespace
} // namespace sillage
