#include "store/erreur.h"
#include "store/index_noms.h"
#include "store/table.h"

#include "support/repertoire_temporaire.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sillage {
namespace {

std::vector<std::string> Lignes(const std::string& octets) {
    Table t;
    t.ChargeOctets(octets);
    std::vector<std::string> v;
    for (std::size_t i = 0; i < t.Count(); ++i) {
        v.emplace_back(t[i]);
    }
    return v;
}

using V = std::vector<std::string>;

TEST(TableLoading, EveryKindOfLineEnd) {
    EXPECT_EQ(Lignes(""), V{});
    EXPECT_EQ(Lignes("a"), V{"a"});
    EXPECT_EQ(Lignes("a\r\nb\r\n"), (V{"a", "b"}));
    EXPECT_EQ(Lignes("a\rb\nc"), (V{"a", "b", "c"}));
    EXPECT_EQ(Lignes("a\n\nb"), (V{"a", "", "b"}));
    EXPECT_EQ(Lignes("a\r\r\nb"), (V{"a", "", "b"}));
    EXPECT_EQ(Lignes("a\n\r"), (V{"a", ""}));
    EXPECT_EQ(Lignes("\r\n"), V{""});
    EXPECT_EQ(Lignes("\n\n"), (V{"", ""}));
}

TEST(TableLoading, NulEndsTheReading) {
    EXPECT_EQ(Lignes(std::string("a\r\nb\0c\r\nd\r\n", 11)), (V{"a", "b"}));
    EXPECT_EQ(Lignes(std::string("\0abc", 4)), V{});
    // A NUL anywhere in rows ended as the tables are written, in the blocks read many bytes at
    // once or in the last bytes: the rows are those of the bytes before it.
    std::string canonique;
    for (int i = 0; i < 9; ++i) {
        canonique += "\\1;" + std::to_string(i) + "\\2;x\r\n";
    }
    for (std::size_t p = 0; p < canonique.size(); ++p) {
        std::string abimee = canonique;
        abimee[p] = '\0';
        ASSERT_EQ(Lignes(abimee), Lignes(canonique.substr(0, p))) << p;
    }
}

// A file of many lines, each ended by CR LF as the tables are written, is mapped rather than read;
// others are read. Either way the lines are the same, the table changes without touching the file,
// and the table is a copy of its file only while both are unchanged.
TEST(TableLoading, LargeFilesMappedOrReadGiveTheSameLines) {
    test::RepertoireTemporaire dir;
    std::string canonique, melange;
    for (int i = 0; i < 20000; ++i) {
        const std::string ligne = "\\1;" + std::to_string(i) + "\\2;ligne";
        canonique += ligne + "\r\n";
        melange += ligne + (i % 1000 == 999 ? "\n" : "\r\n");
    }
    for (const std::string* octets : {&canonique, &melange}) {
        const std::string chemin = dir.Fichier("t.lst");
        test::Ecrit(chemin, *octets);
        Table depuisFichier, depuisOctets;
        depuisFichier.ChargeFichier(chemin);
        depuisOctets.ChargeOctets(*octets);
        ASSERT_EQ(depuisFichier.Count(), 20000u);
        EXPECT_TRUE(depuisFichier == depuisOctets);
        EXPECT_EQ(depuisFichier[12345], "\\1;12345\\2;ligne");
        EXPECT_EQ(depuisFichier.Octets(), depuisOctets.Octets());
        EXPECT_EQ(depuisFichier.CopieDe(chemin), octets == &canonique);
        EXPECT_EQ(depuisFichier.Fichier(), canonique);

        Table copie = depuisFichier;
        copie.Tronque(3);
        EXPECT_FALSE(copie.CopieDe(chemin));
        copie.Ajoute(copie[0]);
        copie.Remplace(1, "un");
        EXPECT_EQ(copie.Fichier(), "\\1;0\\2;ligne\r\nun\r\n\\1;2\\2;ligne\r\n\\1;0\\2;ligne\r\n");
        EXPECT_EQ(test::Contenu(chemin), *octets);
        EXPECT_EQ(depuisFichier.CopieDe(chemin), octets == &canonique);

        Table milieu = depuisFichier;
        milieu.Remplace(5, "cinq");
        EXPECT_EQ(milieu.Count(), 20000u);
        EXPECT_EQ(milieu[4], depuisFichier[4]);
        EXPECT_EQ(milieu[5], "cinq");
        EXPECT_EQ(milieu[19999], depuisFichier[19999]);
        EXPECT_FALSE(milieu.CopieDe(chemin));
    }
    // Another file under the same name: the table is no longer its copy.
    const std::string chemin = dir.Fichier("t.lst");
    test::Ecrit(chemin, canonique);
    Table t;
    t.ChargeFichier(chemin);
    ASSERT_TRUE(t.CopieDe(chemin));
    test::Ecrit(chemin + ".neuf", canonique);
    ASSERT_EQ(std::rename((chemin + ".neuf").c_str(), chemin.c_str()), 0);
    EXPECT_FALSE(t.CopieDe(chemin));
    EXPECT_EQ(t[19999], "\\1;19999\\2;ligne");
}

TEST(Table, AppendingLinesOfAnotherTable) {
    Table a, b;
    for (const char* l : {"un", "", "trois", "quatre"}) {
        a.Ajoute(l);
    }
    b.Ajoute("zero");
    b.AjouteLignes(a, 1, 3);
    b.AjouteLignes(a, 2, 2);
    b.AjouteLignes(b, 0, 2);
    ASSERT_EQ(b.Count(), 5u);
    EXPECT_EQ(b.Fichier(), "zero\r\n\r\ntrois\r\nzero\r\n\r\n");
    EXPECT_EQ(b.Octets(), 13u);
}

TEST(Table, ReplaceAndAppendKeepOtherLines) {
    Table t;
    t.Ajoute("un");
    t.Ajoute("deux");
    t.Ajoute("trois");
    t.Remplace(0, "UN");
    t.Remplace(2, "TROIS!");
    EXPECT_EQ(t[0], "UN");
    EXPECT_EQ(t[1], "deux");
    EXPECT_EQ(t[2], "TROIS!");
    t.Ajoute(t[1]); // a view into the table itself
    EXPECT_EQ(t[3], "deux");
    t.Permute({3, 2, 1, 0});
    EXPECT_EQ(t[0], "deux");
    EXPECT_EQ(t[3], "UN");
    t.Tronque(1);
    EXPECT_EQ(t.Count(), 1u);
    EXPECT_THROW(t.Ligne(1), ErreurSillage);
    EXPECT_THROW(t.Ligne(-1), ErreurSillage);
}

// Rows rewritten in place and rows added give the very table that building it anew gives, for
// rows that grow, keep their length or shrink (after others grew enough), at the start, in the
// middle and at the end; a shrink that would move rows back is refused and changes nothing.
TEST(Table, RowsRewrittenInPlaceGiveTheTableBuiltAnew) {
    std::uint64_t graine = 12345;
    const auto hasard = [&](std::uint64_t n) {
        graine = graine * 6364136223846793005ull + 1442695040888963407ull;
        return (graine >> 33) % n;
    };
    for (int essai = 0; essai < 300; ++essai) {
        Table table;
        const std::size_t n = hasard(40);
        for (std::size_t i = 0; i < n; ++i) {
            table.Ajoute(std::string(hasard(12), static_cast<char>('a' + i % 26)));
        }
        const Table avant = table;
        std::vector<std::string> textes;
        std::vector<std::size_t> lignes;
        for (std::size_t i = 0; i < n; ++i) {
            if (hasard(3) == 0) {
                lignes.push_back(i);
                textes.push_back(std::string(hasard(14), 'X') + std::to_string(i));
            }
        }
        std::vector<Table::Retouche> retouches;
        for (std::size_t k = 0; k < lignes.size(); ++k) {
            retouches.push_back({lignes[k], textes[k]});
        }
        Table ajouts;
        for (std::size_t k = hasard(4); k > 0; --k) {
            ajouts.Ajoute("nouvelle " + std::to_string(k));
        }
        Table attendue;
        for (std::size_t i = 0, k = 0; i < n; ++i) {
            if (k < lignes.size() && lignes[k] == i) {
                attendue.Ajoute(textes[k++]);
            } else {
                attendue.Ajoute(avant[i]);
            }
        }
        attendue.AjouteLignes(ajouts, 0, ajouts.Count());

        // In place exactly when no prefix of the changes makes the text shorter.
        long long decalage = 0;
        bool possible = true;
        for (const auto& r : retouches) {
            decalage += static_cast<long long>(r.texte.size()) -
                        static_cast<long long>(avant[r.ligne].size());
            possible = possible && decalage >= 0;
        }
        const std::uint64_t version = table.Version();
        ASSERT_EQ(table.PrepareRetouches(retouches, ajouts), possible) << essai;
        EXPECT_EQ(table.Version(), version);
        EXPECT_EQ(table, avant);
        if (possible) {
            table.AppliqueRetouches(retouches, ajouts);
            EXPECT_EQ(table, attendue) << essai;
            EXPECT_NE(table.Version(), version);
        }
    }
    // Rows out of order, or named twice, are refused.
    Table t;
    t.Ajoute("a");
    t.Ajoute("b");
    EXPECT_FALSE(t.PrepareRetouches({{1, "bb"}, {0, "aa"}}, Table()));
    EXPECT_FALSE(t.PrepareRetouches({{0, "aa"}, {0, "aaa"}}, Table()));
    EXPECT_FALSE(t.PrepareRetouches({{2, "cc"}}, Table()));
}

// A table recomposed in place from runs of its rows and rows of other text gives the table that
// building it anew gives: rows moved toward the start past others, rows dropped, rows added
// anywhere; a list under which a run would land nearer the start is refused and changes nothing.
TEST(Table, RecomposedInPlaceGivesTheTableBuiltAnew) {
    std::uint64_t graine = 777;
    const auto hasard = [&](std::uint64_t n) {
        graine = graine * 6364136223846793005ull + 1442695040888963407ull;
        return (graine >> 33) % n;
    };
    int enPlace = 0;
    for (int essai = 0; essai < 1000; ++essai) {
        Table table;
        const std::size_t n = hasard(30);
        for (std::size_t i = 0; i < n; ++i) {
            table.Ajoute(std::string(hasard(10), static_cast<char>('a' + i % 26)));
        }
        const Table avant = table;
        // The runs: the rows in order, some left out (moved or dropped), cut at random places;
        // texts in between, most of them longer than the rows left out, as recounted rows are.
        std::vector<std::string> textes;
        textes.reserve(64);
        std::vector<Table::Morceau> morceaux;
        const auto texte = [&] {
            textes.push_back("T" + std::string(hasard(14), 'x') + std::to_string(textes.size()));
            morceaux.push_back({0, 0, textes.back()});
        };
        std::size_t i = 0;
        while (i < n) {
            if (hasard(4) == 0) {
                texte();
            }
            if (hasard(5) == 0) {
                ++i; // a row left out
                continue;
            }
            const std::size_t fin = i + 1 + hasard(n - i);
            morceaux.push_back({i, fin, {}});
            i = fin;
        }
        for (std::size_t k = hasard(3); k > 0; --k) {
            texte();
        }
        Table attendue;
        for (const Table::Morceau& m : morceaux) {
            if (m.fin > m.debut) {
                attendue.AjouteLignes(avant, m.debut, m.fin);
            } else {
                attendue.Ajoute(m.texte);
            }
        }
        // In place exactly when each run lands at or after where it stands, in bytes and rows.
        bool possible = true;
        {
            std::size_t octets = 0;
            std::size_t lignes = 0;
            for (const Table::Morceau& m : morceaux) {
                if (m.fin > m.debut) {
                    std::size_t debut = 0;
                    for (std::size_t r = 0; r < m.debut; ++r) {
                        debut += avant[r].size() + 2;
                    }
                    possible = possible && octets >= debut && lignes >= m.debut;
                    for (std::size_t r = m.debut; r < m.fin; ++r) {
                        octets += avant[r].size() + 2;
                    }
                    lignes += m.fin - m.debut;
                } else {
                    octets += m.texte.size() + 2;
                    ++lignes;
                }
            }
        }
        const std::uint64_t version = table.Version();
        ASSERT_EQ(table.PrepareRecomposition(morceaux), possible) << essai;
        EXPECT_EQ(table.Version(), version);
        EXPECT_EQ(table, avant);
        if (possible) {
            ++enPlace;
            table.AppliqueRecomposition(morceaux);
            ASSERT_EQ(table, attendue) << essai;
            EXPECT_NE(table.Version(), version);
        }
    }
    EXPECT_GT(enPlace, 200);
    // Runs out of order, overlapping or past the end are refused.
    Table t;
    t.Ajoute("a");
    t.Ajoute("b");
    EXPECT_FALSE(t.PrepareRecomposition({{1, 2, {}}, {0, 1, {}}}));
    EXPECT_FALSE(t.PrepareRecomposition({{0, 2, {}}, {1, 2, {}}}));
    EXPECT_FALSE(t.PrepareRecomposition({{1, 3, {}}}));
}

TEST(IndexNoms, FirstCaseInsensitiveMatch) {
    IndexNoms index;
    index.Ajoute("/index.html");
    index.Ajoute("/a");
    index.Ajoute("/INDEX.html");
    index.Ajoute("\xC9T\xC9"); // ÉTÉ in Windows-1252
    EXPECT_EQ(index.Cherche("/Index.html"), 0);
    EXPECT_EQ(index.Cherche("/A"), 1);
    EXPECT_EQ(index.Cherche("\xE9t\xE9"), 3);
    EXPECT_EQ(index.Cherche("/b"), -1);
    index.Tronque(2);
    EXPECT_EQ(index.Count(), 2u);
    EXPECT_EQ(index.Cherche("\xE9t\xE9"), -1);
    EXPECT_EQ(index.Cherche("/INDEX.HTML"), 0);
}

TEST(IndexNoms, RebuiltFromTheDataRowsOfAKeyedTable) {
    Table t;
    t.Ajoute("\\1;0\\2;alpha\\3;1\\4;d\\5;");
    t.Ajoute("\\1;1\\2;Beta\\3;1\\4;d\\5;");
    t.Ajoute("\\1;2\\2;");
    IndexNoms index;
    index.Ajoute("stale");
    index.Reconstruit(t);
    ASSERT_EQ(index.Count(), 2u);
    EXPECT_EQ(index[0], "alpha");
    EXPECT_EQ(index.Cherche("BETA"), 1);
    EXPECT_EQ(index.Cherche("stale"), -1);
}

TEST(IndexNoms, ManyNamesStayFindable) {
    IndexNoms index;
    for (int i = 0; i < 5000; ++i) {
        index.Ajoute("host-" + std::to_string(i) + ".Example.ORG");
    }
    for (int i = 0; i < 5000; i += 97) {
        EXPECT_EQ(index.Cherche("HOST-" + std::to_string(i) + ".example.org"), i);
    }
}

} // namespace
} // namespace sillage
