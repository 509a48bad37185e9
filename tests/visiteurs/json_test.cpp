#include "visiteurs/json.h"

#include <gtest/gtest.h>

namespace sillage {
namespace {

TEST(Json, ReadsTheListsShape) {
    ValeurJson v;
    int ligne = 0;
    std::string erreur;
    ASSERT_TRUE(LitJson(R"( [ {"pattern": "Googlebot\\/", "n": -1.5e3, "ok": true, "x": null,
        "t": ["a", {}], "u": "\u00e9\ud83d\ude00\"\\\/\b\f\n\r\t"} , {} ] )",
                        v, ligne, erreur))
        << erreur;
    ASSERT_EQ(v.genre, ValeurJson::Genre::Tableau);
    ASSERT_EQ(v.elements.size(), 2u);
    const ValeurJson& e = v.elements[0];
    EXPECT_EQ(e.Membre("pattern")->texte, "Googlebot\\/");
    EXPECT_EQ(e.Membre("n")->texte, "-1.5e3");
    EXPECT_TRUE(e.Membre("ok")->booleen);
    EXPECT_EQ(e.Membre("x")->genre, ValeurJson::Genre::Nul);
    EXPECT_EQ(e.Membre("t")->elements.size(), 2u);
    EXPECT_EQ(e.Membre("u")->texte, "\xC3\xA9\xF0\x9F\x98\x80\"\\/\b\f\n\r\t");
    EXPECT_EQ(e.Membre("absent"), nullptr);
    EXPECT_EQ(v.elements[1].membres.size(), 0u);
}

// Malformed text: false, with the line where the reading stopped; never a crash.
TEST(Json, MalformedTextGivesItsLine) {
    const std::pair<const char*, int> cas[] = {
        {"[\n{\"pattern\": \"a\"},\n{\"pattern\": }\n]", 3},
        {"[1, 2", 1},
        {"", 1},
        {"[\"sans fin]", 1},
        {"{\"a\" 1}", 1},
        {"[1] [2]", 1},
        {"[01x]", 1},
        {"\n\n\"\x01\"", 3},
        {"[\"\\q\"]", 1},
        {"[\"\\u12\"]", 1},
        {"tru", 1},
    };
    for (const auto& [texte, attendue] : cas) {
        ValeurJson v;
        int ligne = 0;
        std::string erreur;
        EXPECT_FALSE(LitJson(texte, v, ligne, erreur)) << texte;
        EXPECT_EQ(ligne, attendue) << texte;
        EXPECT_EQ(erreur.rfind("on attendait ", 0), 0u) << erreur;
    }
    // Deep nesting stops at a bound rather than at the end of the stack.
    ValeurJson v;
    int ligne = 0;
    std::string erreur;
    EXPECT_FALSE(LitJson(std::string(100000, '['), v, ligne, erreur));
    EXPECT_TRUE(LitJson(std::string(150, '[') + std::string(150, ']'), v, ligne, erreur));
}

} // namespace
} // namespace sillage
