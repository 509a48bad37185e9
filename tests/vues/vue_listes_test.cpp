#include "vues/vue_listes.h"

#include <gtest/gtest.h>

#include <random>

#include <string>
#include <vector>

namespace sillage {
namespace {

Table TableDe(const std::vector<std::string>& lignes) {
    Table t;
    for (const std::string& l : lignes) {
        t.Ajoute(l);
    }
    return t;
}

std::string Page(int id, const std::string& nom, int acces) {
    return "\\1;" + std::to_string(id) + "\\2;" + nom + "\\3;" + std::to_string(acces) +
           "\\4;14/Feb/2004:10:11:12\\5;";
}

const Table kPages = TableDe({Page(0, "/index.html", 9), Page(1, "/a.html", 12),
                              Page(2, "/b.htm", 3), Page(3, "/caf\xE9.html", 1), "\\1;4\\2;"});

TEST(LignesListe, EveryRecordInTableOrderWithoutTheCounterRow) {
    EXPECT_EQ(LignesListe(kPages), (std::vector<std::uint32_t>{0, 1, 2, 3}));
    EXPECT_TRUE(LignesListe(TableDe({"\\1;0\\2;"})).empty());
    EXPECT_TRUE(LignesListe(Table{}).empty());
}

TEST(LignesListe, FilterIsACaseSensitiveSubstringOfTheNameAsShown) {
    EXPECT_TRUE(LignesListe(kPages, "INDEX").empty());
    EXPECT_EQ(LignesListe(kPages, "index"), (std::vector<std::uint32_t>{0}));
    EXPECT_EQ(LignesListe(kPages, ".htm"), (std::vector<std::uint32_t>{0, 1, 2, 3}));
    EXPECT_EQ(LignesListe(kPages, "html"), (std::vector<std::uint32_t>{0, 1, 3}));
    EXPECT_EQ(LignesListe(kPages, "é"), (std::vector<std::uint32_t>{3}));
    EXPECT_TRUE(LignesListe(kPages, "\xE9").empty()); // the filter is UTF-8, as typed
    EXPECT_TRUE(LignesListe(kPages, "cafe").empty());
    EXPECT_TRUE(LignesListe(kPages, "*.htm").empty()); // no wildcards
}

TEST(LignesListe, FilterLooksAtTheNameOnly) {
    // "12" is the count of /a.html and part of every date; "\\1;" is a tag.
    EXPECT_TRUE(LignesListe(kPages, "12").empty());
    EXPECT_TRUE(LignesListe(kPages, "Feb").empty());
    EXPECT_TRUE(LignesListe(kPages, "\\2;").empty());
    // The counter row is never listed, whatever the filter.
    EXPECT_TRUE(LignesListe(TableDe({"\\1;0\\2;"}), "0").empty());
}

TEST(TexteCellule, EachColumnShowsItsFieldAsStored) {
    const Table images = TableDe({Page(7, "/logo.gif", 30), "\\1;8\\2;"});
    const auto& colonnes = ColonnesListe(Liste::Images);
    ASSERT_EQ(colonnes.size(), 3u);
    EXPECT_EQ(TexteCellule(images, 0, colonnes[0]), "/logo.gif");
    EXPECT_EQ(TexteCellule(images, 0, colonnes[1]), "30");
    EXPECT_EQ(TexteCellule(images, 0, colonnes[2]), "14/Feb/2004:10:11:12");
    // A line the table no longer has shows nothing.
    EXPECT_EQ(TexteCellule(images, 5, colonnes[0]), "");
}

TEST(ColonnesListe, OnlyThePagesCountIsRightAligned) {
    for (Liste l : {Liste::Pages, Liste::Images, Liste::IP, Liste::Origines, Liste::Downloads}) {
        for (const ColonneListe& c : ColonnesListe(l)) {
            EXPECT_EQ(c.adroite, l == Liste::Pages && c.champ == 3) << c.titre;
        }
    }
}

TEST(ColonnesListe, TheLastAccessColumnsHoldDates) {
    for (Liste l : {Liste::Pages, Liste::Images, Liste::IP, Liste::Origines, Liste::Downloads}) {
        for (const ColonneListe& c : ColonnesListe(l)) {
            EXPECT_EQ(c.date, c.champ == 4) << c.titre;
        }
    }
}

TEST(ElargitDates, DateColumnsTakeFromTheNameSoTheTotalStays) {
    // LVIP: "Nom" 400, "Acces" 50, "Dernier" 100; a date needs 126 pixels.
    EXPECT_EQ(ElargitDates({400, 50, 100}, {false, false, true}, 126),
              (std::vector<int>{374, 50, 126}));
    // Wide enough already: unchanged.
    EXPECT_EQ(ElargitDates({400, 50, 120}, {false, false, true}, 115),
              (std::vector<int>{400, 50, 120}));
    // Lists without a date column, or with fewer flags than columns, keep their widths.
    EXPECT_EQ(ElargitDates({470, 120}, {false, false}, 126), (std::vector<int>{470, 120}));
    EXPECT_EQ(ElargitDates({470, 120}, {}, 126), (std::vector<int>{470, 120}));
}

// The cells of a row found in one pass are those TexteCellule finds one by one, whatever the
// line holds: well-formed rows, tags missing, doubled, out of order, written with a zero in front,
// in a name, backslashes alone.
TEST(TextesCellules, EveryCellAsTexteCelluleGivesIt) {
    std::vector<std::string> lignes = {
        "\\1;0\\2;/a.html\\3;12\\4;14/Feb/2004:10:11:12\\5;",
        "\\1;0\\2;",
        "\\1;3\\2;x\\4;d\\3;7\\5;",
        "\\2;sans un\\3;4\\4;",
        "\\1;1\\2;a\\3;b\\2;c\\3;d\\4;e\\5;",
        "\\1;1\\02;a\\3;5\\4;\\5;",
        "\\1;1\\2;a\\\\3;5\\4;x\\",
        "\\1;1\\2;a\\13;b\\3;5\\4;x\\5;\\",
        "",
        "\\",
        "\\4;\\3;\\2;\\1;",
    };
    std::mt19937 alea(7);
    const std::string morceaux[] = {"\\", "1", "2", "3", "4", "5", ";", "0", "x", "\\3;", "\\10;"};
    for (int i = 0; i < 2000; ++i) {
        std::string l;
        for (std::size_t k = alea() % 14; k > 0; --k) {
            l += morceaux[alea() % std::size(morceaux)];
        }
        lignes.push_back(l);
    }
    const Table t = TableDe(lignes);
    for (Liste liste : {Liste::Pages, Liste::IP}) {
        const std::vector<ColonneListe>& colonnes = ColonnesListe(liste);
        std::vector<std::string_view> cellules(colonnes.size());
        for (std::uint32_t i = 0; i < t.Count() + 1; ++i) {
            TextesCellules(t, i, colonnes, cellules.data());
            for (std::size_t c = 0; c < colonnes.size(); ++c) {
                ASSERT_EQ(cellules[c], TexteCellule(t, i, colonnes[c]))
                    << (i < t.Count() ? t[i] : std::string_view());
            }
        }
    }
}

TEST(TableListe, EachListShowsItsTable) {
    Base base;
    EXPECT_EQ(&TableListe(base, Liste::Pages), &base.ListePage);
    EXPECT_EQ(&TableListe(base, Liste::Images), &base.ListeImage);
    EXPECT_EQ(&TableListe(base, Liste::IP), &base.ListeNom);
    EXPECT_EQ(&TableListe(base, Liste::Origines), &base.ListeOrigine);
    EXPECT_EQ(&TableListe(base, Liste::Downloads), &base.ListeDownload);
}

} // namespace
} // namespace sillage
