#include "vues/texte_affiche.h"

#include <gtest/gtest.h>

namespace sillage {
namespace {

TEST(TexteAffiche, Utf8ValideAvecMultiOctetsEstMontreTelQuel) {
    EXPECT_EQ(TexteAffiche("/\xC3\xA9t\xC3\xA9-v\xC3\xA9lo.html"), "/été-vélo.html");
    EXPECT_EQ(TexteAffiche("\xE2\x82\xAC \xF0\x9F\x9A\xB2"), "€ 🚲");
    EXPECT_EQ(TexteAffiche("/index.html"), "/index.html");
}

TEST(TexteAffiche, AutresOctetsLusEnWindows1252) {
    EXPECT_EQ(TexteAffiche("/\xE9t\xE9.html"), "/été.html");
    EXPECT_EQ(TexteAffiche("\x80\x8A\x9F"), "€ŠŸ");
    // The bytes the code page leaves undefined show as the replacement character.
    EXPECT_EQ(TexteAffiche("\x81"), "\xEF\xBF\xBD");
    // One invalid sequence is enough for the whole text to be read as Windows-1252.
    EXPECT_EQ(TexteAffiche("\xC3\xA9\xE9"), "Ã©é");
}

TEST(TexteAffiche, FormesInterditesDeUtf8NeSontPasUtf8) {
    EXPECT_FALSE(EstUtf8MultiOctets("abc"));              // no multi-byte sequence
    EXPECT_FALSE(EstUtf8MultiOctets("\xC0\xAF"));         // overlong
    EXPECT_FALSE(EstUtf8MultiOctets("\xE0\x80\xAF"));     // overlong
    EXPECT_FALSE(EstUtf8MultiOctets("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(EstUtf8MultiOctets("\xF4\x90\x80\x80")); // beyond U+10FFFF
    EXPECT_FALSE(EstUtf8MultiOctets("\xC3"));             // cut short
    EXPECT_FALSE(EstUtf8MultiOctets("\xE2\x82"));         // cut short
    EXPECT_FALSE(EstUtf8MultiOctets("\xE2\x28\xAC"));     // not a continuation
    EXPECT_TRUE(EstUtf8MultiOctets("\xF4\x8F\xBF\xBF"));
    EXPECT_TRUE(EstUtf8MultiOctets(std::string_view("a\0\xC3\xA9", 4)));
}

TEST(TexteAffiche, MotsClesDecodesPuisLus) {
    EXPECT_EQ(MotsClesAffiches("\"q=v%C3%A9lo %C3%A9lectrique\" \"hl=fr\""),
              "\"q=vélo électrique\" \"hl=fr\"");
    EXPECT_EQ(MotsClesAffiches("\"q=v%E9lo\""), "\"q=vélo\"");
    EXPECT_EQ(MotsClesAffiches("\"q=a+b%2Bc\""), "\"q=a b+c\"");
    EXPECT_EQ(MotsClesAffiches("\"q=100%\" %4 %zz %%41"), "\"q=100%\" %4 %zz %A");
    EXPECT_EQ(MotsClesAffiches("%5C1;"), "\\1;");
}

TEST(FiltreAffiche, TrouveLeTexteMontreDansLesDeuxCodages) {
    const FiltreAffiche ete("été");
    EXPECT_TRUE(ete.Accepte("/\xC3\xA9t\xC3\xA9.html"));
    EXPECT_TRUE(ete.Accepte("/\xE9t\xE9.html"));
    EXPECT_FALSE(ete.Accepte("/ete.html"));
    EXPECT_FALSE(ete.Accepte("/\xC9T\xC9.html")); // case counts

    // The bytes of "é" in UTF-8 are "Ã©" in Windows-1252: a filter finds what is shown only.
    const FiltreAffiche mojibake("Ã©");
    EXPECT_FALSE(mojibake.Accepte("/\xC3\xA9t\xC3\xA9.html"));
    EXPECT_TRUE(mojibake.Accepte("/\xC3\xA9\xE9.html"));

    const FiltreAffiche ascii("html");
    EXPECT_TRUE(ascii.Accepte("/\xE9t\xE9.html"));
    EXPECT_TRUE(ascii.Accepte("/\xC3\xA9t\xC3\xA9.html"));
    EXPECT_FALSE(ascii.Accepte("/index.htm"));

    EXPECT_TRUE(FiltreAffiche("").Accepte("n'importe quoi \xFF"));
}

} // namespace
} // namespace sillage
