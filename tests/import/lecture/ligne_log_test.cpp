#include "import/lecture/ligne_log.h"

#include <gtest/gtest.h>

namespace sillage {
namespace {

const char* const kExemple = "H - u [10/Oct/2000:13:55:36 -0700] \"GET /a/b.php?id=3 V\" 404 512 "
                             "\"http://www.site.fr/find?q=blue+car&hl=fr\" \"A\"";

TEST(DecoupeLigneLog, WorkedExample) {
    const RHits h = DecoupeLigneLog(kExemple, 3);
    EXPECT_EQ(h.Prefixe, "");
    EXPECT_EQ(h.Hote, "H");
    EXPECT_EQ(h.DateLog, "10/Oct/2000:13:55:36");
    EXPECT_EQ(h.Page, "/a/b.php?id=3");
    EXPECT_EQ(h.Statut, "404");
    EXPECT_EQ(h.Origine, "http://www.site.fr/find");
    EXPECT_EQ(h.Keywords, "\"q=blue car\" \"hl=fr\"");
    EXPECT_EQ(h.Navigateur, "A");
    EXPECT_FALSE(h.Illisible);
}

TEST(DecoupeLigneLog, PrefixFieldOnlyWhenTheFirstLineSaysSo) {
    const std::string ligne = "vhost " + std::string(kExemple);
    EXPECT_EQ(CompteNombreChamps(ligne), 4);
    EXPECT_EQ(CompteNombreChamps(kExemple), 3);
    EXPECT_EQ(CompteNombreChamps("no bracket at all"), 0);
    const RHits avec = DecoupeLigneLog(ligne, 4);
    EXPECT_EQ(avec.Prefixe, "vhost");
    EXPECT_EQ(avec.Hote, "H");
    const RHits sans = DecoupeLigneLog(ligne, 3);
    EXPECT_EQ(sans.Prefixe, "");
    EXPECT_EQ(sans.Hote, "vhost");
}

TEST(DecoupeLigneLog, RequestAndReferrerShapes) {
    // No protocol: no page.
    EXPECT_EQ(DecoupeLigneLog("h - - [d z] \"GET /x\" 200 1 \"-\" \"A\"", 3).Page, "");
    // Referrer "-".
    RHits h = DecoupeLigneLog("h - - [d z] \"GET /x V\" 200 1 \"-\" \"A\"", 3);
    EXPECT_EQ(h.Origine, "-");
    EXPECT_EQ(h.Keywords, "");
    // Empty query.
    h = DecoupeLigneLog("h - - [d z] \"GET /x V\" 200 1 \"http://s/f?\" \"A\"", 3);
    EXPECT_EQ(h.Origine, "http://s/f");
    EXPECT_EQ(h.Keywords, "\"\"");
    // A "?" among the first 7 characters is not the query's start; a later one is.
    h = DecoupeLigneLog("h - - [d z] \"GET /x V\" 200 1 \"ab?defgh?q=1\" \"A\"", 3);
    EXPECT_EQ(h.Origine, "ab?defgh");
    EXPECT_EQ(h.Keywords, "\"q=1\"");
    h = DecoupeLigneLog("h - - [d z] \"GET /x V\" 200 1 \"ab?de\" \"A\"", 3);
    EXPECT_EQ(h.Origine, "ab?de");
    EXPECT_EQ(h.Keywords, "");
    // Doubled "&" and a percent-escape.
    h = DecoupeLigneLog("h - - [d z] \"GET /x V\" 200 1 \"http://s/f?q=a+b&&c%20d\" \"A\"", 3);
    EXPECT_EQ(h.Keywords, "\"q=a b\" \"\" \"c%20d\"");
}

TEST(DecoupeLigneLog, AnyTextGivesFieldsWithoutError) {
    for (const char* ligne :
         {"", "x", "\"", "[", " ", "a b c d e f g", "\" \" \"", "[[[ \"\"\" "}) {
        const RHits h = DecoupeLigneLog(ligne, 3);
        EXPECT_FALSE(h.Illisible);
        EXPECT_EQ(DecoupeLigneLog(ligne, 4).Illisible, false);
    }
    const RHits vide = DecoupeLigneLog("", 3);
    EXPECT_EQ(vide.Hote, "");
    // An empty line of an empty table has no data pointer at all.
    EXPECT_EQ(DecoupeLigneLog(std::string_view(), 4).Page, "");
    EXPECT_EQ(vide.DateLog, "");
    EXPECT_EQ(vide.Navigateur, "");
}

TEST(DecoupeLigneLog, TagsInTextFieldsAreNeutralised) {
    const RHits h = DecoupeLigneLog(
        "h\\1;x - - [d z] \"GET /a\\3;b\\x\\;\\12 V\" 200 1 \"http://s/f\\2;?q=\\5;\" \"A\\77;\"",
        3);
    EXPECT_EQ(h.Hote, "h%5C1;x");
    EXPECT_EQ(h.Page, "/a%5C3;b\\x\\;\\12");
    EXPECT_EQ(h.Origine, "http://s/f%5C2;");
    EXPECT_EQ(h.Keywords, "\"q=%5C5;\"");
    EXPECT_EQ(h.Navigateur, "A%5C77;");
}

TEST(Classification, ImagesIgnoreCaseDownloadsDoNot) {
    EXPECT_TRUE(EstImage("/photo.JPEG"));
    EXPECT_TRUE(EstImage("/x.Png"));
    EXPECT_TRUE(EstImage("/a.gif"));
    EXPECT_TRUE(EstImage("/a.GIF"));
    EXPECT_TRUE(EstImage("a.jpg"));
    EXPECT_FALSE(EstImage(".gif"));
    EXPECT_TRUE(EstImage(".jpeg")); // 5 characters: long enough, while ".gif" alone is not
    EXPECT_TRUE(EstImage("x.jpeg"));
    EXPECT_FALSE(EstImage("/a.gif?x=1"));
    EXPECT_TRUE(EstDownload("/f.zip"));
    EXPECT_TRUE(EstDownload("/f.rar"));
    EXPECT_TRUE(EstDownload("/setup.exe"));
    EXPECT_FALSE(EstDownload("/setup.EXE"));
    EXPECT_FALSE(EstDownload(".zip"));
    EXPECT_FALSE(EstDownload("/f.zip?x=1"));
}

} // namespace
} // namespace sillage
