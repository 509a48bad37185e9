#include "rapports/csv.h"

#include "lecture_csv.h"

#include <gtest/gtest.h>

#include <array>

namespace sillage {
namespace {

using test::LitCsv;

std::string Csv(const std::vector<ColonneTableau>& colonnes,
                const std::vector<std::vector<std::string_view>>& rangees,
                const FormatCsv& format = kCsvTableur) {
    SortieTexte sortie;
    EcrivainCsv csv(sortie, format);
    csv.Debut(colonnes, rangees.size());
    for (const auto& r : rangees) {
        csv.Rangee(r);
    }
    csv.Fin();
    return sortie.Texte;
}

// The spreadsheet's form: the mark, ';', CR LF after every record, the titles first; a field is
// quoted only when it holds the separator, a quote or a line break, its quotes doubled.
TEST(Csv, Rfc4180ForAFrenchSpreadsheet) {
    EXPECT_EQ(Csv({{"Nom", false}, {"Accès", true}},
                  {{"/a.html", "12"}, {"a;b", "3"}, {"dit \"oui\"", "1"}, {"deux\nlignes", "0"}}),
              "\xEF\xBB\xBFNom;Accès\r\n/a.html;12\r\n\"a;b\";3\r\n\"dit \"\"oui\"\"\";1\r\n"
              "\"deux\nlignes\";0\r\n");
    // A comma is no separator here: decimal commas stay as they are.
    EXPECT_EQ(Csv({{"Moyenne", true}}, {{"39,8"}}), "\xEF\xBB\xBFMoyenne\r\n39,8\r\n");
    // For the engines: ',' between fields, no mark, commas quoted.
    EXPECT_EQ(Csv({{"a", false}, {"b", false}}, {{"x,y", "=1+1"}}, kCsvMoteurs),
              "a,b\r\n\"x,y\",=1+1\r\n");
}

// A log's text shows as the window shows it: Windows-1252 bytes become UTF-8, UTF-8 stays.
TEST(Csv, CellsAreShownAsTheWindowShowsThem) {
    const std::string csv = Csv({{"Nom", false}}, {{"caf\xE9"}, {"caf\xC3\xA9"}, {"\x80"}});
    EXPECT_EQ(LitCsv(csv), test::RangeesCsv({{"Nom"}, {"café"}, {"café"}, {"€"}}));
}

// What a spreadsheet would run is written as text: an apostrophe in front, inside quotes.
// Numbers as the views write them, and a lone sign, are left as they are.
TEST(Csv, FormulasFromALogAreDisarmed) {
    const std::string csv = Csv({{"Nom", false}}, {{"=HYPERLINK(\"http://x\")"},
                                                   {"+1"},
                                                   {"-2+3"},
                                                   {"@SUM(A1)"},
                                                   {"\tx"},
                                                   {"-12"},
                                                   {"-3,5"},
                                                   {"12,3 %"},
                                                   {"-"},
                                                   {"+"},
                                                   {"a=b"}});
    EXPECT_EQ(LitCsv(csv), test::RangeesCsv({{"Nom"},
                                             {"'=HYPERLINK(\"http://x\")"},
                                             {"'+1"},
                                             {"'-2+3"},
                                             {"'@SUM(A1)"},
                                             {"'\tx"},
                                             {"-12"},
                                             {"-3,5"},
                                             {"12,3 %"},
                                             {"-"},
                                             {"+"},
                                             {"a=b"}}));
}

// Many rows go to the output by lots, all of them, in order.
TEST(Csv, LargeTablesAreWrittenWhole) {
    SortieTexte sortie;
    EcrivainCsv csv(sortie);
    csv.Debut({{"n", true}}, 100000);
    for (int i = 0; i < 100000; ++i) {
        const std::string n = std::to_string(i);
        const std::array<std::string_view, 1> c = {n};
        csv.Rangee(c);
    }
    csv.Fin();
    const test::RangeesCsv r = LitCsv(sortie.Texte);
    ASSERT_EQ(r.size(), 100001u);
    EXPECT_EQ(r[1][0], "0");
    EXPECT_EQ(r.back()[0], "99999");
}

} // namespace
} // namespace sillage
