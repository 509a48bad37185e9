// A keyed table counted alone: the first row of a name whatever its case, new rows numbered from
// the counter row, the ranked order written at once, the stored table untouched until Applique;
// found through the name index or through the names read ahead.
#include "import/parties/tables_cle.h"
#include "store/casse.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <utility>
#include <vector>

namespace sillage {
namespace {

using test::Compteur;
using test::MessageDe;
using test::Rangee;
using test::TableDe;

constexpr const char* kAvant = "14/Feb/2004:10:11:12"; // the stored rows' date
constexpr const char* kLundi = "16/Feb/2004:09:00:00";
constexpr const char* kMardi = "17/Feb/2004:09:00:00";

// A keyed table and what counting in it needs, found through its name index or (parCibles)
// through the names given.
struct Cle {
    Table table;
    IndexNoms index;
    Arene arene;
    DatesImport dates{arene};
    EnsembleHachages cibles;
    TableCle partie;

    Cle(const std::vector<std::string>& lignes, bool trie, bool parCibles = false,
        const std::vector<std::string>& noms = {})
        : table(TableDe(lignes)), partie(Construit(trie, parCibles, noms)) {}

    TableCle Construit(bool trie, bool parCibles, const std::vector<std::string>& noms) {
        index.Reconstruit(table);
        for (const std::string& n : noms) {
            cibles.Ajoute(HachageSansCasse(n));
        }
        cibles.Termine();
        return TableCle(table, index, trie, dates, arene, parCibles ? &cibles : nullptr);
    }

    // Counts a hit of nom at date; answers its identifier, and whether the row is new with the
    // date it held before.
    std::int32_t Compte(const std::string& nom, const char* date, bool* nouveau = nullptr,
                        std::string* precedente = nullptr) {
        std::int32_t rang = -1;
        return Compte(nom, date, -1, rang, nouveau, precedente);
    }
    // The same, the name's record in another import given (racine) and its record here answered.
    std::int32_t Compte(const std::string& nom, const char* date, std::int32_t racine,
                        std::int32_t& rang, bool* nouveau = nullptr,
                        std::string* precedente = nullptr) {
        bool n = false;
        DateCompacte avant = 0;
        const std::int32_t ident = partie.Compte(nom, HachageSansCasse(nom), dates.Date(date, true),
                                                 n, avant, racine, rang);
        if (nouveau != nullptr) {
            *nouveau = n;
        }
        if (precedente != nullptr) {
            precedente->clear();
            dates.Ecrite(avant).AjouteA(*precedente);
        }
        return ident;
    }
};

TEST(TableCle, CountsTheFirstRowOfANameAndRanksTheTableOnlyWhenApplied) {
    for (bool parCibles : {false, true}) {
        SCOPED_TRACE(parCibles);
        Cle cle({Rangee(0, "a", 2), Rangee(1, "B", 5), Rangee(2, "b", 1), Compteur(3)}, true,
                parCibles, {"b", "a", "nouveau"});
        bool nouveau = true;
        std::string precedente;
        EXPECT_EQ(cle.Compte("b", kLundi, &nouveau, &precedente), 1);
        EXPECT_FALSE(nouveau);
        EXPECT_EQ(precedente, kAvant);
        EXPECT_EQ(cle.Compte("nouveau", kLundi, &nouveau, &precedente), 3);
        EXPECT_TRUE(nouveau);
        EXPECT_EQ(precedente, kLundi);
        EXPECT_EQ(cle.Compte("NOUVEAU", kMardi, &nouveau), 3);
        EXPECT_FALSE(nouveau);
        EXPECT_EQ(cle.Compte("a", kMardi), 0);

        const Table avant = cle.table;
        cle.partie.Prepare();
        EXPECT_TRUE(cle.table == avant);
        cle.partie.Applique();
        // By decreasing count, rows of equal count in table order; the new row keeps the case of
        // its first hit; a new counter row follows.
        EXPECT_TRUE(cle.table ==
                    TableDe({Rangee(1, "B", 6, kLundi), Rangee(0, "a", 3, kMardi),
                             Rangee(3, "nouveau", 2, kMardi), Rangee(2, "b", 1), Compteur(4)}));
    }
}

// A period's table counts the store's lines by the store's records of their names: each name
// (letter case aside) has one record, and the period's table ends as counting by the names does,
// its own stored rows, case variants and new rows included.
TEST(TableCle, CountingByTheStoresRecordsGivesWhatCountingByNamesGives) {
    const std::vector<std::string> stockees = {Rangee(0, "a", 2), Rangee(1, "B", 5),
                                               Rangee(2, "b", 1), Compteur(3)};
    const std::vector<std::pair<std::string, const char*>> hits = {
        {"b", kLundi}, {"x", kLundi}, {"A", kLundi}, {"X", kMardi}, {"B", kMardi},
        {"y", kMardi}, {"a", kMardi}, {"x", kMardi}, {"Y", kMardi}, {"b", kMardi}};
    for (bool parCibles : {false, true}) {
        SCOPED_TRACE(parCibles);
        Cle magasin({Rangee(7, "y", 9), Rangee(4, "A", 3), Compteur(9)}, true);
        Cle parNoms(stockees, true, parCibles, {"a", "b", "x", "y"});
        Cle parRangs(stockees, true, parCibles, {"a", "b", "x", "y"});
        std::vector<std::int32_t> rangsDesNoms(26, -1);
        for (const auto& [nom, date] : hits) {
            std::int32_t racine = -1;
            magasin.Compte(nom, date, -1, racine);
            // One record a name, whatever its case.
            const auto lettre = static_cast<std::size_t>(std::tolower(nom[0]) - 'a');
            if (rangsDesNoms[lettre] < 0) {
                rangsDesNoms[lettre] = racine;
            }
            EXPECT_EQ(racine, rangsDesNoms[lettre]) << nom;
            bool nouveau1 = false, nouveau2 = false;
            std::string avant1, avant2;
            std::int32_t rang = -1;
            EXPECT_EQ(parNoms.Compte(nom, date, &nouveau1, &avant1),
                      parRangs.Compte(nom, date, racine, rang, &nouveau2, &avant2))
                << nom;
            EXPECT_EQ(nouveau1, nouveau2) << nom;
            EXPECT_EQ(avant1, avant2) << nom;
        }
        for (Cle* c : {&parNoms, &parRangs}) {
            c->partie.Prepare();
            c->partie.Applique();
        }
        EXPECT_TRUE(parNoms.table == parRangs.table);
        EXPECT_TRUE(parRangs.table == TableDe({Rangee(1, "B", 8, kMardi), Rangee(0, "a", 4, kMardi),
                                               Rangee(3, "x", 3, kMardi), Rangee(4, "y", 2, kMardi),
                                               Rangee(2, "b", 1), Compteur(5)}));
    }
}

TEST(TableCle, UnrankedTableKeepsItsOrderAndNumbersFromTheCounterRowText) {
    // The first new row is made from the counter row's own text, leading zeros and all.
    Cle cle({Rangee(0, "/f.zip", 1), "\\1;007\\2;"}, false);
    EXPECT_EQ(cle.Compte("/g.zip", kLundi), 7);
    EXPECT_EQ(cle.Compte("/h.zip", kLundi), 8);
    EXPECT_EQ(cle.Compte("/h.zip", kMardi), 8);
    cle.partie.Prepare();
    cle.partie.Applique();
    EXPECT_TRUE(cle.table == TableDe({Rangee(0, "/f.zip", 1),
                                      "\\1;007\\2;/g.zip\\3;1\\4;" + std::string(kLundi) + "\\5;",
                                      Rangee(8, "/h.zip", 2, kMardi), Compteur(9)}));

    // Nothing counted: a ranked table is still left in its order, an unranked one as it was.
    Cle desordre({Rangee(0, "a", 1), Rangee(1, "b", 4), Compteur(2)}, true);
    desordre.partie.Prepare();
    desordre.partie.Applique();
    EXPECT_TRUE(desordre.table == TableDe({Rangee(1, "b", 4), Rangee(0, "a", 1), Compteur(2)}));
}

// A ranked table in its order is rebuilt in its own memory, the others anew: both give the
// table that recounting every row and sorting them all gives, for ties, rows that climb past
// others, new rows among the old ones, and stored counts written with leading zeros (a row
// rewritten shorter, which the table cannot take in place).
TEST(TableCle, RankedTableGivesTheFullSortWhetherRebuiltInPlaceOrAnew) {
    std::uint64_t graine = 99;
    const auto hasard = [&](std::uint64_t n) {
        graine = graine * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<int>((graine >> 33) % n);
    };
    for (int essai = 0; essai < 300; ++essai) {
        SCOPED_TRACE(essai);
        struct Rang {
            int ident;
            std::string nom;
            int acces;
            std::string date;
            bool zeros;
        };
        std::vector<Rang> rangs;
        const int n = hasard(25);
        int compte = 40;
        for (int i = 0; i < n; ++i) {
            compte -= hasard(3); // ties, in decreasing order
            rangs.push_back(
                {i, "n" + std::to_string(i), std::max(compte, 1), kAvant, hasard(8) == 0});
        }
        std::vector<std::string> lignes;
        for (const Rang& r : rangs) {
            lignes.push_back(r.zeros
                                 ? "\\1;" + std::to_string(r.ident) + "\\2;" + r.nom + "\\3;000" +
                                       std::to_string(r.acces) + "\\4;" + r.date + "\\5;"
                                 : Rangee(r.ident, r.nom, r.acces, r.date));
        }
        lignes.push_back(Compteur(n));
        std::vector<std::string> noms;
        for (int i = 0; i < n; ++i) {
            noms.push_back("n" + std::to_string(i));
        }
        for (int i = 0; i < 6; ++i) {
            noms.push_back("m" + std::to_string(i));
        }
        Cle cle(lignes, true, hasard(2) == 0, noms);
        int suivant = n;
        for (int coup = hasard(30); coup > 0; --coup) {
            const bool neuf = n == 0 || hasard(4) == 0;
            const std::string nom =
                neuf ? "m" + std::to_string(hasard(6)) : "n" + std::to_string(hasard(n));
            const char* date = coup % 2 ? kLundi : kMardi;
            cle.Compte(nom, date);
            auto it = std::find_if(rangs.begin(), rangs.end(),
                                   [&](const Rang& r) { return r.nom == nom; });
            if (it == rangs.end()) {
                rangs.push_back({suivant++, nom, 1, date, false});
            } else {
                ++it->acces;
                it->date = date;
                it->zeros = false; // rewritten as the import writes a row
            }
        }
        cle.partie.Prepare();
        cle.partie.Applique();
        // What a recount of every row and a stable sort of them all give.
        std::vector<Rang> tries = rangs;
        std::stable_sort(tries.begin(), tries.end(),
                         [](const Rang& a, const Rang& b) { return a.acces > b.acces; });
        std::vector<std::string> attendues;
        for (std::size_t k = 0; k < tries.size(); ++k) {
            const Rang& r = tries[k];
            const std::size_t i = static_cast<std::size_t>(
                std::find_if(rangs.begin(), rangs.end(),
                             [&](const Rang& x) { return x.nom == r.nom; }) -
                rangs.begin());
            attendues.push_back(r.zeros ? lignes[i] : Rangee(r.ident, r.nom, r.acces, r.date));
        }
        attendues.push_back(Compteur(suivant));
        ASSERT_TRUE(cle.table == TableDe(attendues));
    }
}

TEST(TableCle, SaysWhyARowCannotBeCounted) {
    Cle sansLigne({}, true);
    EXPECT_EQ(MessageDe([&] { sansLigne.Compte("a", kLundi); }),
              "Indice de liste hors limites (-1)");
    Cle abimee({"\\1;0\\2;a\\3;beaucoup\\4;" + std::string(kAvant) + "\\5;", Compteur(1)}, true);
    EXPECT_EQ(MessageDe([&] { abimee.Compte("A", kLundi); }),
              "'beaucoup' n'est pas une valeur entière correcte");
    Cle compteurAbime({Rangee(0, "a", 1), "\\1;x\\2;"}, true);
    EXPECT_EQ(MessageDe([&] { compteurAbime.Compte("b", kLundi); }),
              "'x' n'est pas une valeur entière correcte");
}

} // namespace
} // namespace sillage
