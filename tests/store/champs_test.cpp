#include "store/champs.h"
#include "store/erreur.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

namespace sillage {
namespace {

TEST(ExtraitChamp, CounterRowHasOnlyItsFirstField) {
    EXPECT_EQ(ExtraitChamp("\\1;0\\2;", 1), "0");
    for (int n = 2; n <= 12; ++n) {
        EXPECT_EQ(ExtraitChamp("\\1;0\\2;", n), "") << n;
    }
}

TEST(ExtraitChamp, WellFormedRow) {
    const std::string ligne = "\\1;7\\2;x\\3;2\\4;y\\5;";
    EXPECT_EQ(ExtraitChamp(ligne, 1), "7");
    EXPECT_EQ(ExtraitChamp(ligne, 2), "x");
    EXPECT_EQ(ExtraitChamp(ligne, 4), "y");
    EXPECT_EQ(ExtraitChamp(ligne, 5), "");
}

TEST(ExtraitChamp, TagsOfTenAndMoreDoNotHideSmallerOnes) {
    std::string ligne;
    for (int i = 1; i <= 20; ++i) {
        ligne += "\\" + std::to_string(i) + ";v" + std::to_string(i);
    }
    ligne += "\\21;";
    EXPECT_EQ(ExtraitChamp(ligne, 1), "v1");
    EXPECT_EQ(ExtraitChamp(ligne, 2), "v2");
    EXPECT_EQ(ExtraitChamp(ligne, 9), "v9");
    EXPECT_EQ(ExtraitChamp(ligne, 10), "v10");
    EXPECT_EQ(ExtraitChamp(ligne, 12), "v12");
    EXPECT_EQ(ExtraitChamp(ligne, 20), "v20");
}

// The field as its rule reads, searched tag by tag: what the one pass over the backslashes must
// give for any line, tags repeated, overlapping, cut, or of other fields.
std::string_view ChampSelonLaRegle(std::string_view ligne, int n) {
    const Etiquette debut(n);
    const Etiquette suite(n + 1);
    const std::size_t ps = ligne.find(debut.Vue());
    const std::size_t pe = ligne.find(suite.Vue());
    const std::int64_t s = ps == std::string_view::npos ? 0 : static_cast<std::int64_t>(ps) + 1;
    const std::int64_t e = pe == std::string_view::npos ? 0 : static_cast<std::int64_t>(pe) + 1;
    const auto l = static_cast<std::int64_t>(debut.longueur);
    const std::int64_t depart = std::max<std::int64_t>(s + l, 1);
    const std::int64_t longueur = e - s - l;
    const auto taille = static_cast<std::int64_t>(ligne.size());
    if (longueur <= 0 || depart > taille) {
        return {};
    }
    return ligne.substr(static_cast<std::size_t>(depart - 1),
                        static_cast<std::size_t>(std::min(longueur, taille - depart + 1)));
}

TEST(ExtraitChamp, AnyLineGivesWhatSearchingTagByTagGives) {
    std::uint64_t graine = 7;
    const auto hasard = [&](std::uint64_t n) {
        graine = graine * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::size_t>((graine >> 33) % n);
    };
    const std::string_view morceaux[] = {"\\", "\\1;", "\\2;", "\\3;", "\\12;", "\\-1;",  "\\0;",
                                         ";",  "1",    "2",    "x",    "\\1",   "\\\\2;", "yz"};
    for (int essai = 0; essai < 20000; ++essai) {
        std::string ligne;
        for (std::size_t k = hasard(9); k > 0; --k) {
            ligne += morceaux[hasard(std::size(morceaux))];
        }
        for (int n = -2; n <= 13; ++n) {
            const std::string_view champ = ExtraitChamp(ligne, n);
            const std::string_view attendu = ChampSelonLaRegle(ligne, n);
            ASSERT_EQ(champ, attendu) << ligne << " " << n;
            if (!attendu.empty()) {
                ASSERT_EQ(champ.data(), attendu.data()) << ligne << " " << n;
            }
        }
    }
}

TEST(ExtraitChamp, MissingAndMisplacedTags) {
    // Next tag missing: empty.
    EXPECT_EQ(ExtraitChamp("\\1;abc", 1), "");
    // Next tag only before the tag of the field: empty.
    EXPECT_EQ(ExtraitChamp("\\3;a\\2;b", 2), "");
    // Tag of the field missing, next present: from the tag's length (counted from 1).
    EXPECT_EQ(ExtraitChamp("abcdef\\2;", 1), "cdef");
    EXPECT_EQ(ExtraitChamp("abcdefgh\\11;", 10), "defgh");
    // Only first occurrences count.
    EXPECT_EQ(ExtraitChamp("\\1;a\\2;b\\1;c\\2;", 1), "a");
    // Neither tag.
    EXPECT_EQ(ExtraitChamp("plain", 3), "");
    EXPECT_EQ(ExtraitChamp("", 1), "");
}

TEST(ConvertitEntier, AcceptsWhatTheWritersProduce) {
    EXPECT_EQ(ConvertitEntier("0"), 0);
    EXPECT_EQ(ConvertitEntier("-2"), -2);
    EXPECT_EQ(ConvertitEntier("007"), 7);
    EXPECT_EQ(ConvertitEntier("2147483647"), 2147483647);
    EXPECT_EQ(ConvertitEntier("-2147483648"), -2147483647 - 1);
}

TEST(ConvertitEntier, RejectsEverythingElseWithTheOffendingText) {
    for (const char* mauvais : {"", "-", "+1", " 1", "1 ", "12x", "0x10", "2147483648",
                                "-2147483649", "99999999999999999999"}) {
        try {
            ConvertitEntier(mauvais);
            ADD_FAILURE() << mauvais;
        } catch (const ErreurSillage& e) {
            EXPECT_EQ(std::string(e.what()),
                      "'" + std::string(mauvais) + "' n'est pas une valeur entière correcte");
        }
    }
}

TEST(ConvertitEntier, MessageShowsWindows1252TextReadably) {
    try {
        ConvertitEntier("caf\xE9");
        FAIL();
    } catch (const ErreurSillage& e) {
        EXPECT_EQ(std::string(e.what()), "'café' n'est pas une valeur entière correcte");
    }
}

} // namespace
} // namespace sillage
