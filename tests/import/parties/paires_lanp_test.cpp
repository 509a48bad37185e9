// The host and page pairs counted alone: a stored pair found by its key in lanpsearch.lst, a new
// pair added to both tables in the order of its first hit, images left out, the stored tables
// untouched until Applique; with the hosts of a small import, only their stored pairs looked at.
#include "import/parties/paires_lanp.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sillage {
namespace {

using test::MessageDe;
using test::RangeeLanp;
using test::TableDe;

constexpr const char* kAvant = "14/Feb/2004:10:11:12";
constexpr const char* kLundi = "16/Feb/2004:09:00:00";
constexpr int kPage = 1;
constexpr int kDownload = 2;

struct TablesPaires {
    Table lanp;
    Table lanpSearch;
    Arene arene;
    DatesImport dates{arene};
    std::vector<std::int64_t> hotes;
    PairesLanp partie;

    TablesPaires(const std::vector<std::string>& rangees, const std::vector<std::string>& cles,
                 const std::vector<std::int64_t>* seulsHotes = nullptr)
        : lanp(TableDe(rangees)), lanpSearch(TableDe(cles)),
          hotes(seulsHotes ? *seulsHotes : std::vector<std::int64_t>()),
          partie(lanp, lanpSearch, dates, seulsHotes ? &hotes : nullptr) {}

    void Compte(int hote, int ressource, int type) {
        partie.MajLanp(hote, ressource, type, dates.Date(kLundi, true));
    }
};

TEST(PairesLanp, StoredPairsByTheirKeyNewOnesAddedToBothTables) {
    const std::vector<std::int64_t> hotes = {0, 5};
    const std::vector<std::int64_t>* const choix[] = {nullptr, &hotes};
    for (const std::vector<std::int64_t>* seuls : choix) {
        SCOPED_TRACE(seuls != nullptr);
        TablesPaires paires(
            {RangeeLanp(0, 3, 2, kAvant, kPage), RangeeLanp(5, 3, 1, kAvant, kDownload)},
            {"0-3-1", "5-3-2"}, seuls);
        paires.Compte(5, 3, kDownload); // stored
        paires.Compte(5, 3, kPage);     // the same numbers as a page: another pair
        paires.Compte(0, -2, 0);        // an image has no pair
        paires.Compte(0, 7, kPage);
        paires.Compte(5, 3, kPage);
        paires.Compte(0, 9, kDownload); // two new pairs apart by their kind only
        paires.Compte(0, 9, kPage);
        const Table lanp = paires.lanp;
        const Table lanpSearch = paires.lanpSearch;
        paires.partie.Prepare();
        EXPECT_TRUE(paires.lanp == lanp);
        EXPECT_TRUE(paires.lanpSearch == lanpSearch);
        paires.partie.Applique();
        EXPECT_TRUE(
            paires.lanp ==
            TableDe({RangeeLanp(0, 3, 2, kAvant, kPage), RangeeLanp(5, 3, 2, kLundi, kDownload),
                     RangeeLanp(5, 3, 2, kLundi, kPage), RangeeLanp(0, 7, 1, kLundi, kPage),
                     RangeeLanp(0, 9, 1, kLundi, kDownload), RangeeLanp(0, 9, 1, kLundi, kPage)}));
        EXPECT_TRUE(paires.lanpSearch ==
                    TableDe({"0-3-1", "5-3-2", "5-3-1", "0-7-1", "0-9-2", "0-9-1"}));
    }
}

// A stored row that a hand made longer than the count it holds (leading zeros) is written
// shorter: the pairs are then built anew, with the same result as in place.
TEST(PairesLanp, ARowWrittenShorterThanStoredStillGivesTheSameTables) {
    const std::string gonflee = "\\1;0\\2;3\\3;0000002\\4;" + std::string(kAvant) + "\\5;1\\6;";
    for (const bool premiere : {true, false}) {
        SCOPED_TRACE(premiere);
        TablesPaires paires(
            premiere ? std::vector<std::string>{gonflee, RangeeLanp(5, 3, 1, kAvant, kDownload)}
                     : std::vector<std::string>{RangeeLanp(5, 3, 1, kAvant, kDownload), gonflee},
            premiere ? std::vector<std::string>{"0-3-1", "5-3-2"}
                     : std::vector<std::string>{"5-3-2", "0-3-1"});
        paires.Compte(0, 3, kPage);
        paires.Compte(5, 3, kDownload);
        paires.Compte(0, 8, kPage);
        paires.partie.Prepare();
        paires.partie.Applique();
        const std::string compte = RangeeLanp(0, 3, 3, kLundi, kPage);
        const std::string autre = RangeeLanp(5, 3, 2, kLundi, kDownload);
        EXPECT_TRUE(paires.lanp == TableDe({premiere ? compte : autre, premiere ? autre : compte,
                                            RangeeLanp(0, 8, 1, kLundi, kPage)}));
    }
}

TEST(PairesLanp, AKeyPastTheRowsOrARowThatDoesNotReadStopsTheCount) {
    TablesPaires courte({RangeeLanp(0, 3, 1, kAvant, kPage)}, {"0-3-1", "0-4-1"});
    EXPECT_EQ(MessageDe([&] { courte.Compte(0, 4, kPage); }), "Indice de liste hors limites (1)");
    TablesPaires abimee({"\\1;0\\2;3\\3;un\\4;" + std::string(kAvant) + "\\5;1\\6;"}, {"0-3-1"});
    EXPECT_EQ(MessageDe([&] { abimee.Compte(0, 3, kPage); }),
              "'un' n'est pas une valeur entière correcte");
    // Nothing counted: neither table changes.
    TablesPaires rien({RangeeLanp(0, 3, 1, kAvant, kPage)}, {"0-3-1"});
    rien.Compte(1, -2, 0);
    rien.partie.Prepare();
    rien.partie.Applique();
    EXPECT_TRUE(rien.lanp == TableDe({RangeeLanp(0, 3, 1, kAvant, kPage)}));
}

} // namespace
} // namespace sillage
