// The pieces the parts of an import share: the counter row they number new rows from, and the
// copy of a table with its touched rows written anew.
#include "import/parties/partie.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <stdexcept>

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
    Touchees touchees;
    touchees.Insere(2, 0);
    touchees.Insere(0, 1);
    std::string tampon;
    Table nouvelle;
    CopieStockees(t, 3, touchees, tampon, nouvelle,
                  [&](std::uint32_t rang) { tampon = "neuve" + std::to_string(rang); });
    EXPECT_TRUE(nouvelle == TableDe({"neuve1", "b", "neuve0"}));
}

TEST(Touchees, FindsEveryRowAndListsThemInPositionOrder) {
    // Positions spread over the whole range and packed together, through many growths.
    std::mt19937 alea(7);
    std::map<std::uint32_t, std::uint32_t> attendu;
    Touchees touchees;
    EXPECT_EQ(touchees.Cherche(0), -1);
    for (std::uint32_t rang = 0; rang < 20000; ++rang) {
        const std::uint32_t position =
            rang % 2 == 0 ? alea() % 0xFFFFFFFEu : rang / 2; // 0 included, the top left out
        if (attendu.count(position) == 0) {
            attendu[position] = rang;
            touchees.Insere(position, rang);
        }
    }
    touchees.Insere(0xFFFFFFFEu, 0xFFFFFFFFu);
    attendu[0xFFFFFFFEu] = 0xFFFFFFFFu;
    EXPECT_EQ(touchees.size(), attendu.size());
    for (const auto& [position, rang] : attendu) {
        ASSERT_EQ(touchees.Cherche(position), std::int64_t{rang}) << position;
        if (attendu.count(position + 1) == 0) {
            ASSERT_EQ(touchees.Cherche(position + 1), -1) << position + 1;
        }
    }
    const auto liste = ParPosition(touchees);
    ASSERT_EQ(liste.size(), attendu.size());
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> enOrdre(attendu.begin(),
                                                                       attendu.end());
    EXPECT_TRUE(liste == enOrdre);
    std::map<std::uint32_t, std::uint32_t> vus;
    touchees.PourChaque([&](std::uint32_t position, std::uint32_t rang) {
        EXPECT_TRUE(vus.emplace(position, rang).second) << position;
    });
    EXPECT_TRUE(vus == attendu);
    EXPECT_THROW(touchees.Insere(0xFFFFFFFFu, 0), std::length_error);
}

} // namespace
} // namespace sillage
