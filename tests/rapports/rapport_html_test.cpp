// The HTML report: its structure, and every text of a log or a table shown as text.
#include "rapports/rapport_html.h"

#include "rapports/html.h"
#include "rapports/svg.h"
#include "store/base.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"
#include "vues/vue_graphiques.h"
#include "vues/vue_visiteurs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace sillage {
namespace {

using test::Compteur;
using test::Rangee;

std::size_t Occurrences(std::string_view texte, std::string_view motif) {
    std::size_t n = 0;
    for (std::size_t p = texte.find(motif); p != std::string_view::npos;
         p = texte.find(motif, p + 1)) {
        ++n;
    }
    return n;
}

std::string Minuscules(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

TEST(EchappeHtml, TextIsTextInElementsAndAttributes) {
    EXPECT_EQ(EchappeHtml("<a href=\"x\" title='y'>&amp;</a>"),
              "&lt;a href=&quot;x&quot; title=&#39;y&#39;&gt;&amp;amp;&lt;/a&gt;");
    EXPECT_EQ(EchappeHtml(std::string("a\0b\x01\x7F\tc\n", 8)), "a\xEF\xBF\xBD"
                                                                "b\xEF\xBF\xBD\xEF\xBF\xBD\tc\n");
    std::string s;
    AjouteTexteHtml(s, "caf\xE9 <\xE9t\xE9>");
    EXPECT_EQ(s, "café &lt;été&gt;");
}

// Texts a client of the site chose: markup, script, attributes that would break out.
const std::vector<std::string> kCharges = {
    "<script>document.title='pris'</script>",
    "\"><img src=x onerror=alert(1)>",
    "'><svg onload=alert(2)>",
    "</td></tr></table><h1 id=intrus>x</h1>",
    "<!--",
    "]]><![CDATA[",
};

class RapportHtml : public ::testing::Test {
  protected:
    void SetUp() override {
        std::vector<std::string> noms, pages;
        int id = 0;
        for (const std::string& c : kCharges) {
            noms.push_back(Rangee(id, c, 100 - id));
            pages.push_back(Rangee(id, "/" + c, 100 - id));
            ++id;
        }
        for (int i = 0; i < 120; ++i, ++id) {
            noms.push_back(Rangee(id, "10.0.0." + std::to_string(i), 50));
        }
        noms.push_back(Compteur(id));
        pages.push_back(Compteur(id));
        t.EcritTable("nom.lst", noms);
        t.EcritTable("page.lst", pages);
        t.EcritTable("origine.lst", {Rangee(0, "http://x/" + kCharges[0], 3), Compteur(1)});
        t.EcritTable("keyword.lst",
                     {"\\1;0\\2;0\\3;\"q=%3Cscript%3Ealert(3)%3C/script%3E\"\\4;", Compteur(1)});
        t.EcritTable("erreur.lst",
                     {test::RangeeErreur(0, "/" + kCharges[1], 2, "14/Feb/2004:10:11:12", "404", 0),
                      Compteur(1)});
        base.InitListes();
    }

    std::string Page(const OptionsRapport& options = {}) {
        SortieTexte sortie;
        EcritRapportHtml(base, options, sortie);
        return sortie.Texte;
    }

    struct Dossier {
        test::RepertoireTemporaire repertoire;
        void EcritTable(const std::string& f, const std::vector<std::string>& l) {
            test::EcritTable(repertoire.Fichier(f), l);
        }
    } t;
    Base base{t.repertoire.Chemin()};
};

TEST_F(RapportHtml, NothingFromTheStoreBecomesMarkup) {
    const std::string page = Page();
    const std::string bas = Minuscules(page);
    EXPECT_EQ(Occurrences(bas, "<script"), 0u);
    EXPECT_EQ(Occurrences(bas, "<img"), 0u);
    EXPECT_EQ(Occurrences(bas, "<h1"), 1u); // the page's own title
    EXPECT_EQ(Occurrences(bas, "onerror"), Occurrences(bas, "onerror=alert(1)&gt;"));
    EXPECT_EQ(Occurrences(page, "<!--"), 0u);
    EXPECT_EQ(Occurrences(page, "<![CDATA["), 0u);
    // Each text is there, escaped: the hosts, the paths, the referrer, the search words.
    EXPECT_NE(page.find("&lt;script&gt;document.title=&#39;pris&#39;&lt;/script&gt;"),
              std::string::npos);
    EXPECT_NE(page.find("/&quot;&gt;&lt;img src=x onerror=alert(1)&gt;"), std::string::npos);
    EXPECT_NE(page.find("http://x/&lt;script&gt;"), std::string::npos);
    EXPECT_NE(page.find("&quot;q=&lt;script&gt;alert(3)&lt;/script&gt;&quot;"), std::string::npos);
    EXPECT_NE(page.find("/&lt;/td&gt;&lt;/tr&gt;&lt;/table&gt;&lt;h1 id=intrus&gt;"),
              std::string::npos);
}

TEST_F(RapportHtml, OnePageInFrenchThatFetchesAndRunsNothing) {
    OptionsRapport options;
    options.Date = "12/03/2026 à 04:31";
    options.Programme = "Sillage 9.9";
    options.Periode = "2004-03";
    const std::string page = Page(options);
    EXPECT_TRUE(page.starts_with("<!DOCTYPE html>\n<html lang=\"fr\">\n<head>\n<meta "
                                 "charset=\"utf-8\">\n<meta http-equiv=\"Content-Security-Policy\" "
                                 "content=\"default-src 'none';"));
    EXPECT_NE(kPolitiqueSecurite.find("default-src 'none'"), std::string_view::npos);
    EXPECT_EQ(kPolitiqueSecurite.find("script-src"), std::string_view::npos);
    EXPECT_NE(page.find("<meta name=\"viewport\""), std::string::npos);
    EXPECT_NE(page.find("@media print"), std::string::npos);
    EXPECT_NE(page.find("<title>Statistiques du site — mars 2004</title>"), std::string::npos);
    EXPECT_NE(page.find("Rapport établi le 12/03/2026 à 04:31"), std::string::npos);
    EXPECT_TRUE(page.ends_with("<footer>Sillage 9.9</footer>\n</body>\n</html>\n"));
    // Nothing from elsewhere: no link, no source, no import, no frame.
    const std::string bas = Minuscules(page);
    for (const char* motif : {"src=\"", "<link", "@import", "url(", "<iframe", "<object", "<embed",
                              "http-equiv=\"refresh\""}) {
        EXPECT_EQ(Occurrences(bas, motif), 0u) << motif;
    }
    // The navigation leads to every section; no visitors without their lists.
    for (const char* ancre : {"resume", "graphiques", "pages", "images", "ip", "referents",
                              "motscles", "downloads", "retours"}) {
        EXPECT_EQ(Occurrences(page, std::string("href=\"#") + ancre + "\""), 1u) << ancre;
        EXPECT_EQ(Occurrences(page, std::string("id=\"") + ancre + "\""), 1u) << ancre;
    }
    EXPECT_EQ(page.find("visiteurs"), std::string::npos);
    VueVisiteurs v;
    v.Pays = {{{"France", "1", "2", "100,0 %"}}};
    options.Visiteurs = &v;
    const std::string avec = Page(options);
    EXPECT_EQ(Occurrences(avec, "id=\"visiteurs\""), 1u);
    EXPECT_NE(avec.find("<td>France</td>"), std::string::npos);
}

// The first 50 rows of a list in sight, the others inside a <details> that counts them.
TEST_F(RapportHtml, ListsShowTheirFirstRowsAndTheRestInDetails) {
    const std::string page = Page();
    const std::size_t ip = page.find("id=\"ip\"");
    const std::size_t fin = page.find("</section>", ip);
    const std::string_view section = std::string_view(page).substr(ip, fin - ip);
    EXPECT_EQ(Occurrences(section, "<tr><td>"), 126u);
    const std::size_t details = section.find("<details><summary>Les 76 lignes suivantes</summary>");
    ASSERT_NE(details, std::string_view::npos);
    EXPECT_EQ(Occurrences(section.substr(0, details), "<tr><td>"), 50u);
    EXPECT_NE(section.find("<p class=\"compte\">126 lignes</p>"), std::string_view::npos);
    // Counts are figures, right-aligned.
    EXPECT_NE(section.find("<th class=\"nombre\">Acces</th>"), std::string_view::npos);
    // A list of fewer rows has no <details>.
    const std::size_t referents = page.find("id=\"referents\"");
    const std::string_view r =
        std::string_view(page).substr(referents, page.find("</section>", referents) - referents);
    EXPECT_EQ(r.find("<details>"), std::string_view::npos);
}

// A chart is the drawing the window paints, with the window's colours and legend.
TEST(GraphiqueSvg, TheWindowsDrawingAndLegend) {
    test::RepertoireTemporaire d;
    test::EcritTable(d.Fichier("graphmois.lst"),
                     {"\\1;2004\\2;\\3;100\\4;10\\5;0\\6;0\\7;0\\8;0\\9;0\\10;0\\11;0\\12;0\\13;0"
                      "\\14;0\\15;0\\16;1\\17;100\\18;0\\19;0\\20;0\\21;0\\22;0\\23;0\\24;0\\25;0"
                      "\\26;0\\27;0\\28;0\\29;5\\30;0\\31;0\\32;0\\33;0\\34;0\\35;0\\36;0\\37;0"
                      "\\38;0\\39;0\\40;0\\41;"});
    Base base(d.Chemin());
    base.InitListes();
    const Dessin dessin = DessineAnnee(base, 2004);
    std::string svg;
    AjouteGraphiqueSvg(svg, dessin, "Année <2004>");
    EXPECT_EQ(Occurrences(svg, "<rect "), dessin.Commandes.size());
    EXPECT_NE(svg.find("aria-label=\"Année &lt;2004&gt;\""), std::string::npos);
    EXPECT_NE(svg.find("fill=\"#ff0000\""), std::string::npos);
    EXPECT_NE(svg.find("fill=\"#0000ff\""), std::string::npos);
    EXPECT_NE(svg.find("fill=\"#008000\""), std::string::npos);
    EXPECT_NE(svg.find("<tspan dx=\"6\" fill=\"#ff0000\">Hits</tspan>"), std::string::npos);
    EXPECT_NE(svg.find(">Pages et downloads</tspan>"), std::string::npos);
    EXPECT_NE(svg.find(">Chiffres : pages/hits</tspan>"), std::string::npos);
    EXPECT_NE(svg.find(">10/100</text>"), std::string::npos); // January's value text
    EXPECT_NE(svg.find(">Janvier</text>"), std::string::npos);
    EXPECT_NE(svg.find(">Décembre</text>"), std::string::npos);
    EXPECT_NE(svg.find(">33</text>"), std::string::npos); // the scale: 100 / 3
    EXPECT_EQ(CouleurHtml(kVert), "#008000");
}

} // namespace
} // namespace sillage
