#include "vues/vue_mots_cles.h"

#include "store/base.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

namespace sillage {

void PrintTo(const LigneMotsCles& l, std::ostream* os) {
    *os << l.Mots << " " << l.Acces;
}

namespace {

std::string Mot(int id, int origine, const std::string& mots) {
    return "\\1;" + std::to_string(id) + "\\2;" + std::to_string(origine) + "\\3;" + mots + "\\4;";
}

// Searches counted together as they are shown: the same words in either encoding, with or
// without escapes, are one search; the most frequent first, then in the order they came.
TEST(VueMotsCles, SearchesRankedAsShown) {
    Base base;
    base.ListeKeyword = test::TableDe({Mot(0, 0, "\"q=b\""), Mot(1, 0, "\"q=%C3%A9t%C3%A9\""),
                                       Mot(2, 1, "\"q=\xE9t\xE9\""), Mot(3, 1, "\"q=a\""),
                                       Mot(4, 0, "\"q=\xC3\xA9t\xC3\xA9\""), Mot(5, 2, "\"q=a\""),
                                       test::Compteur(6)});
    EXPECT_EQ(MotsClesParAcces(base),
              std::vector<LigneMotsCles>({{"\"q=été\"", 3}, {"\"q=a\"", 2}, {"\"q=b\"", 1}}));
    base.ListeKeyword = test::TableDe({test::Compteur(0)});
    EXPECT_TRUE(MotsClesParAcces(base).empty());
}

} // namespace
} // namespace sillage
