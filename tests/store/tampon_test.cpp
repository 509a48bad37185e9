#include "store/tampon.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>

namespace sillage {
namespace {

std::string_view Vue(const Tampon& t) {
    return {t.data(), t.size()};
}

TEST(Tampon, AppendGrowsAndKeepsTheBytes) {
    Tampon t;
    EXPECT_TRUE(t.empty());
    t.append(std::string_view()); // no data at all
    EXPECT_EQ(t.data(), nullptr);
    std::string attendu;
    for (int i = 0; i < 1000; ++i) {
        const std::string morceau = std::to_string(i) + ";";
        t.append(morceau);
        attendu += morceau;
    }
    EXPECT_EQ(Vue(t), attendu);
    t.resize(3);
    EXPECT_EQ(Vue(t), "0;1");
    t.reserve(1 << 20);
    EXPECT_EQ(Vue(t), "0;1");
    t.reserve(8 << 20);
    EXPECT_EQ(Vue(t), "0;1");
    t.shrink_to_fit();
    EXPECT_EQ(Vue(t), "0;1");
    t.clear();
    t.shrink_to_fit();
    EXPECT_EQ(t.data(), nullptr);
    EXPECT_EQ(t.size(), 0u);
}

TEST(Tampon, CopiesAreApartMovesEmptyTheSource) {
    Tampon a;
    a.append("abc");
    Tampon b = a;
    b.append("d");
    EXPECT_EQ(Vue(a), "abc");
    EXPECT_EQ(Vue(b), "abcd");
    EXPECT_FALSE(a == b);
    a = b;
    EXPECT_TRUE(a == b);
    Tampon c = std::move(a);
    EXPECT_EQ(Vue(c), "abcd");
    EXPECT_TRUE(a.empty());
    b = std::move(c);
    EXPECT_EQ(Vue(b), "abcd");
    const Tampon vide1, vide2;
    EXPECT_TRUE(vide1 == vide2);
    Tampon copieVide = vide1;
    EXPECT_TRUE(copieVide.empty());
}

} // namespace
} // namespace sillage
