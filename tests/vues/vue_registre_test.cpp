#include "vues/vue_registre.h"

#include "store/registre.h"
#include "store/table.h"

#include <gtest/gtest.h>

namespace sillage {
namespace {

std::string Rangee(std::uint64_t debut, std::int64_t lignes, const std::string& nom) {
    RRegistre r;
    r.Debut = debut;
    r.OctetsDebut = 4096;
    r.Octets = lignes * 100;
    r.Lignes = lignes;
    r.Fin = debut + static_cast<std::uint64_t>(lignes);
    r.Nom = nom;
    r.Date = "07/12/2026 02:00:13";
    return EcritRegistre(r);
}

Table Registre(const std::vector<std::string>& lignes) {
    Table t;
    for (const std::string& l : lignes) {
        t.Ajoute(l);
    }
    return t;
}

TEST(ImportsEntreTemps, WhatTheOtherProgramCountedLogByLog) {
    const Table avant = Registre({Rangee(1, 100, "/var/log/a.log"), Rangee(2, 50, "/var/log/b.log"),
                                  Rangee(3, 70, "/var/log/c.log")});
    EXPECT_TRUE(ImportsEntreTemps(avant, avant).empty());

    // a grew by 20 lines, c was rewritten and counted anew (fewer lines than before), d is new;
    // b is as it was, and a damaged row says nothing.
    const Table apres =
        Registre({"\\1;zz\\2;", Rangee(4, 7, "/var/log/d.log"), Rangee(1, 120, "/var/log/a.log.1"),
                  Rangee(2, 50, "/var/log/b.log"), Rangee(3, 30, "/srv/c.log")});
    EXPECT_EQ(ImportsEntreTemps(avant, apres),
              (std::vector<ImportEntreTemps>{
                  {"/var/log/d.log", 7}, {"/var/log/a.log.1", 20}, {"/srv/c.log", 30}}));
    // Everything is new to an empty register.
    EXPECT_EQ(ImportsEntreTemps(Table(), Registre({Rangee(1, 100, "a")})),
              (std::vector<ImportEntreTemps>{{"a", 100}}));
}

TEST(ImportsEntreTemps, TheWindowSaysWhatItMerged) {
    EXPECT_EQ(TexteEnregistrementFusionne({{"/var/log/a.log", 150}, {"b.log", 1}}, true),
              "Enregistré, avec les imports faits entre-temps par un autre programme : "
              "/var/log/a.log (150 lignes), b.log (1 ligne).");
    EXPECT_EQ(TexteEnregistrementFusionne({{"a.log", 12345}}, false),
              "Les tables montrent maintenant les imports faits entre-temps par un autre "
              "programme : a.log (12 345 lignes).");
    EXPECT_EQ(TexteEnregistrementFusionne({}, true),
              "Enregistré, avec ce qu'un autre programme a enregistré entre-temps.");
    std::vector<ImportEntreTemps> beaucoup;
    for (int i = 1; i <= 7; ++i) {
        beaucoup.push_back({std::to_string(i) + ".log", i});
    }
    EXPECT_EQ(TexteEnregistrementFusionne(beaucoup, true),
              "Enregistré, avec les imports faits entre-temps par un autre programme : 1.log (1 "
              "ligne), 2.log (2 lignes), 3.log (3 lignes), 4.log (4 lignes), 5.log (5 lignes) et "
              "2 autres journaux.");
}

} // namespace
} // namespace sillage
