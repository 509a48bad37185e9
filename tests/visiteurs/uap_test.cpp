// uap-core's expressions as the classification reads them, checked against uap-core's own test
// cases (shipped in its Debian package): the prefilter and the replacement rules must give
// exactly the families those cases expect.
#include "visiteurs/uap.h"

#include "support/donnees_visiteurs.h"

#include <gtest/gtest.h>
#include <yaml-cpp/yaml.h>

namespace sillage {
namespace {

const ExpressionsUap& Uap() {
    static const ExpressionsUap uap = [] {
        ExpressionsUap u;
        std::vector<std::string> messages;
        EXPECT_TRUE(u.Charge(test::DonneesTest().regexesUap, messages));
        EXPECT_EQ(messages, std::vector<std::string>{});
        return u;
    }();
    return uap;
}

// Each case of one of uap-core's test files: its agent and expected family; every case whose
// family differs is reported, with how many there are.
template <class Famille> void Conforme(const char* fichier, Famille famille) {
    const YAML::Node cas = YAML::LoadFile(std::string(TESTS_UAP "/") + fichier)["test_cases"];
    ASSERT_TRUE(cas.IsSequence()) << fichier;
    std::size_t differents = 0, total = 0;
    for (const YAML::Node& c : cas) {
        const std::string agent = c["user_agent_string"].as<std::string>();
        const std::string attendue = c["family"].as<std::string>();
        ++total;
        const std::string trouvee = famille(agent);
        if (trouvee != attendue && ++differents <= 5) {
            ADD_FAILURE() << fichier << " : « " << agent << " » donne « " << trouvee
                          << " » au lieu de « " << attendue << " »";
        }
    }
    EXPECT_EQ(differents, 0u) << "sur " << total;
    EXPECT_GT(total, 400u);
}

TEST(Uap, BrowserFamiliesOfUapCoreTests) {
    Conforme("test_ua.yaml", [](const std::string& a) { return Uap().Navigateur(a); });
}
TEST(Uap, SystemFamiliesOfUapCoreTests) {
    Conforme("test_os.yaml", [](const std::string& a) { return Uap().Systeme(a); });
}
TEST(Uap, DeviceFamiliesOfUapCoreTests) {
    Conforme("test_device.yaml", [](const std::string& a) { return Uap().Appareil(a); });
}
// The spider test, which tries the spiders' expressions first, answers as the device family.
TEST(Uap, SpidersAsTheDeviceFamily) {
    std::size_t araignees = 0;
    for (const char* f : {"test_device.yaml", "test_ua.yaml", "test_os.yaml"}) {
        for (const YAML::Node& c : YAML::LoadFile(std::string(TESTS_UAP "/") + f)["test_cases"]) {
            const std::string agent = c["user_agent_string"].as<std::string>();
            const bool araignee = Uap().Appareil(agent) == "Spider";
            araignees += araignee;
            ASSERT_EQ(Uap().Araignee(agent), araignee) << agent;
        }
    }
    EXPECT_GT(araignees, 100u);
}

TEST(Uap, ReplacementRules) {
    Groupes g;
    g.nombre = 3;
    g.texte[1] = "Collector";
    g.texte[2] = "10";
    EXPECT_EQ(RemplaceGroupes("$1 for ArcGIS", g), "Collector for ArcGIS");
    EXPECT_EQ(RemplaceGroupes(" $1 $2 $3 $9 $ $x ", g), "Collector 10   $ $x");
    EXPECT_EQ(RemplaceGroupes("Spider", g), "Spider");
}

// The file's own faults: each gives a message naming the file, and the rest of the file (or
// nothing) is used.
TEST(Uap, BadFilesSaySoAndClassifyNothing) {
    ExpressionsUap u;
    std::vector<std::string> m;
    EXPECT_FALSE(u.Charge("/chemin/absent/regexes.yaml", m));
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].rfind("Impossible de lire le fichier /chemin/absent/regexes.yaml : ", 0), 0u);
    EXPECT_EQ(u.Navigateur("Mozilla/5.0 Firefox/120.0"), "Other");

    m.clear();
    EXPECT_FALSE(
        u.ChargeTexte("user_agent_parsers:\n  - regex: 'a'\n  - [regex: 'b'\n", "r.yaml", m));
    ASSERT_EQ(m.size(), 1u);
    EXPECT_NE(m[0].find("r.yaml n'est pas un YAML valide (ligne "), std::string::npos) << m[0];

    m.clear();
    EXPECT_TRUE(u.ChargeTexte("user_agent_parsers:\n"
                              "  - regex: '(Fire(fox)/'\n"
                              "  - regex: '(Firefox)/'\n"
                              "    family_replacement: 'Renard $1'\n"
                              "  - famille: 'sans regex'\n"
                              "os_parsers: 12\n",
                              "r.yaml", m));
    ASSERT_EQ(m.size(), 4u);
    EXPECT_EQ(m[0].rfind("Fichier r.yaml, ligne 2 : expression invalide (", 0), 0u) << m[0];
    EXPECT_EQ(m[1], "Fichier r.yaml, ligne 5 : une entrée sans expression est omise.");
    EXPECT_NE(m[2].find("« os_parsers »"), std::string::npos);
    EXPECT_NE(m[3].find("« device_parsers »"), std::string::npos);
    EXPECT_EQ(u.Navigateur("Mozilla/5.0 Firefox/120.0"), "Renard Firefox");
    EXPECT_EQ(u.Systeme("Mozilla/5.0 Firefox/120.0"), "Other");
    EXPECT_FALSE(u.Araignee("Googlebot/2.1"));
}

} // namespace
} // namespace sillage
