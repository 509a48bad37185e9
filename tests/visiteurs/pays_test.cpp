// Countries of hosts: addresses through libloc (the table built from its database answers as its
// own look-up does), names through their top-level domain, French names from iso-codes.
#include "visiteurs/pays.h"

#include "support/donnees_visiteurs.h"
#include "support/repertoire_temporaire.h"

extern "C" {
#include <libloc/database.h>
#include <libloc/libloc.h>
#include <libloc/network.h>
}

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cstdio>
#include <cstring>
#include <random>

namespace sillage {
namespace {

using test::DonneesTest;
using test::RepertoireTemporaire;

std::string CodeDe(const Pays& p, std::string_view hote) {
    return TexteCodePays(p.Code(hote));
}

TEST(Pays, AddressesAndNames) {
    RepertoireTemporaire d;
    const Pays p(DonneesTest(d.Chemin()));
    EXPECT_EQ(CodeDe(p, "8.8.8.8"), "US");
    EXPECT_EQ(CodeDe(p, "::ffff:8.8.8.8"), "US");
    EXPECT_EQ(CodeDe(p, "2a01:e0a::1"), "FR");
    EXPECT_EQ(CodeDe(p, "[2a01:e0a::1]"), "FR");
    EXPECT_EQ(CodeDe(p, "192.168.1.1"), "");
    EXPECT_EQ(CodeDe(p, "::1"), "");
    EXPECT_EQ(CodeDe(p, "lfbn-1-123.w86-1.abo.wanadoo.fr"), "FR");
    EXPECT_EQ(CodeDe(p, "host.example.co.uk"), "GB");
    EXPECT_EQ(CodeDe(p, "proxy.t-online.DE."), "DE");
    EXPECT_EQ(CodeDe(p, "crawl-66-249-66-1.googlebot.com"), "");
    EXPECT_EQ(CodeDe(p, "x.eu"), "");
    EXPECT_EQ(CodeDe(p, "x.zz"), "");
    for (const char* h : {"", "-", "localhost", "1.2.3", "999.1.1.1", "fr", ".fr.", "a..",
                          ":::", "\xFF\xFE.\xE9\xE9", "<b>.fr</b>"}) {
        EXPECT_EQ(CodeDe(p, h), "") << h;
    }
    EXPECT_EQ(CodeDe(p, std::string(10000, '1')), "");
    EXPECT_EQ(p.Nom(p.Code("a.fr")), "France");
    EXPECT_EQ(p.Nom(p.Code("8.8.8.8")), "États-Unis");
    EXPECT_EQ(p.Nom(p.Code("a.kr")), "Corée du Sud");
    EXPECT_EQ(p.Nom(p.Code("a.de")), "Allemagne");
    EXPECT_EQ(p.Nom(0), "Inconnu");
    EXPECT_EQ(p.Nom(('A' << 8) | '1'), "Inconnu");
    EXPECT_EQ(p.Messages(), std::vector<std::string>{});
}

// The table of ranges answers as libloc's own look-up, for addresses all over both spaces; from
// the cache folder as from the database.
TEST(Pays, RangesAnswerAsTheDatabase) {
    RepertoireTemporaire d;
    const FichiersDonnees f = DonneesTest(d.Chemin());
    loc_ctx* ctx = nullptr;
    ASSERT_EQ(loc_new(&ctx), 0);
    FILE* fichier = std::fopen(f.baseLocalisation.c_str(), "r");
    ASSERT_NE(fichier, nullptr);
    loc_database* base = nullptr;
    ASSERT_EQ(loc_database_new(ctx, &base, fichier), 0);

    std::mt19937_64 alea(7);
    std::vector<std::string> hotes;
    char texte[INET6_ADDRSTRLEN];
    for (int k = 0; k < 20000; ++k) {
        in_addr a;
        a.s_addr = static_cast<std::uint32_t>(alea());
        hotes.push_back(inet_ntop(AF_INET, &a, texte, sizeof texte));
    }
    for (int k = 0; k < 5000; ++k) {
        in6_addr a;
        for (auto& o : a.s6_addr) {
            o = static_cast<unsigned char>(alea());
        }
        a.s6_addr[0] = static_cast<unsigned char>(0x20 | (a.s6_addr[0] & 0x0F)); // 2000::/4
        hotes.push_back(inet_ntop(AF_INET6, &a, texte, sizeof texte));
    }
    const Pays construit(f);
    construit.ChargeReseaux();
    const Pays relu(f); // from the cache folder the first one filled
    std::size_t avecPays = 0;
    for (const std::string& h : hotes) {
        loc_network* n = nullptr;
        std::string attendu;
        if (loc_database_lookup_from_string(base, h.c_str(), &n) == 0 && n) {
            const char* c = loc_network_get_country_code(n);
            attendu = c && std::strlen(c) == 2 ? c : "";
            loc_network_unref(n);
        }
        avecPays += !attendu.empty();
        ASSERT_EQ(CodeDe(construit, h), attendu) << h;
        ASSERT_EQ(CodeDe(relu, h), attendu) << h;
    }
    EXPECT_GT(avecPays, 10000u);
    EXPECT_EQ(construit.Plages(), relu.Plages());
    loc_database_unref(base);
    loc_unref(ctx);
    std::fclose(fichier);

    // A damaged cache is built again.
    const std::string cache = d.Fichier("reseaux.cache");
    const std::string octets = test::Contenu(cache);
    ASSERT_GT(octets.size(), 1000u);
    test::Ecrit(cache, octets.substr(0, octets.size() / 2));
    const Pays rebati(f);
    EXPECT_EQ(CodeDe(rebati, "8.8.8.8"), "US");
    EXPECT_EQ(test::Contenu(cache), octets);
}

TEST(Pays, MissingFilesSaySo) {
    FichiersDonnees f = DonneesTest();
    f.baseLocalisation = "/absent/location.db";
    f.paysIso = "/absent/iso_3166-1.json";
    const Pays p(f);
    EXPECT_EQ(CodeDe(p, "8.8.8.8"), "");
    EXPECT_EQ(CodeDe(p, "a.fr"), "");
    EXPECT_EQ(p.Messages(),
              (std::vector<std::string>{
                  "Impossible de lire le fichier /absent/iso_3166-1.json : les pays ne sont pas "
                  "nommés, ni reconnus par le nom des hôtes.",
                  "Impossible de lire le fichier /absent/location.db : les adresses ne sont "
                  "d'aucun pays."}));
    f = DonneesTest();
    f.traductionPays = "/absent/fr.mo";
    const Pays anglais(f);
    EXPECT_EQ(anglais.Nom(anglais.Code("a.de")), "Germany");
    EXPECT_EQ(anglais.Messages().size(), 1u);
}

} // namespace
} // namespace sillage
