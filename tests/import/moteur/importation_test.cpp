// The engine's all-or-nothing rule beyond the store's own errors: whatever is thrown while the
// import builds its new tables leaves the store as it was.
#include "import/lecture/source_log.h"
#include "import/moteur/parcours.h"
#include "store/base.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

namespace sillage {
namespace {

using test::LigneLog;
using test::RepertoireTemporaire;

// A log that changes every part of a store already holding rows: hosts, pages, images,
// downloads and referrers old and new (a new host on the second day), keywords, error rows, pairs,
// years and months.
Table Journal(const std::string& jour) {
    std::vector<std::string> lignes = {
        LigneLog("a", jour + "/Feb/2004:10:00:00", "/p.html", "404", "http://s.net/x?q=un"),
        LigneLog("b", jour + "/Feb/2004:11:00:00", "/i.gif", "200", "http://t.net/"),
        LigneLog("A", jour + "/Mar/2005:10:00:00", "/f.zip", "500", "http://s.net/x?q=deux"),
        LigneLog("c", jour + "/Feb/2004:12:00:00", "/p.html")};
    if (jour != "14") {
        lignes.push_back(LigneLog("d", jour + "/Feb/2004:13:00:00", "/p.html"));
    }
    return test::TableDe(lignes);
}

void ExpectMemeStore(const Base& avant, const Base& apres) {
    for (const EntreeCatalogue& e : Base::Catalogue()) {
        EXPECT_TRUE(avant.*e.table == apres.*e.table) << e.fichier;
    }
    EXPECT_TRUE(avant.ListeAgents == apres.ListeAgents);
    EXPECT_EQ(apres.Modifie, avant.Modifie);
}

TEST(Importation, AnythingThrownWhileTablesAreBuiltLeavesTheStoreAsItWas) {
    RepertoireTemporaire dir;
    Base base(dir.Chemin());
    base.InitListes();
    const Table premiers = Journal("14");
    SourceTable source1(premiers);
    Importe(base, source1, {});
    base.Modifie = 0;
    base.AssureIndex();
    const Base avant = base;
    const Table seconds = Journal("15");

    // Without a failure the second log changes every table but options.lst and the three
    // tables the import never writes.
    std::vector<std::string> parties;
    {
        Base temoin = base;
        SourceTable source(seconds);
        Importe(temoin, source, {}, [&](std::string_view p) { parties.emplace_back(p); });
        for (const EntreeCatalogue& e : Base::Catalogue()) {
            const std::string_view f = e.fichier;
            const bool inchangee = f == "options.lst" || f == "navigateur.lst" || f == "chemin.lst";
            EXPECT_EQ(avant.*e.table == temoin.*e.table, inchangee) << f;
        }
        EXPECT_FALSE(avant.ListeAgents == temoin.ListeAgents);
    }
    ASSERT_EQ(parties, (std::vector<std::string>{"noms", "pages", "images", "downloads", "origines",
                                                 "motscles", "erreurs", "paires", "calendrier",
                                                 "agents", "registre", "periodes"}));

    for (const std::string& partie : parties) {
        SCOPED_TRACE(partie);
        SourceTable source(seconds);
        EXPECT_THROW(Importe(base, source, {},
                             [&](std::string_view p) {
                                 if (p == partie) {
                                     throw std::bad_alloc();
                                 }
                             }),
                     std::bad_alloc);
        ExpectMemeStore(avant, base);
        EXPECT_EQ(base.IndexNom.Count(), avant.IndexNom.Count());
        EXPECT_EQ(base.IndexNom.Cherche("B"), 1);
    }
    // The store then imports as if nothing had happened.
    SourceTable source(seconds);
    Importe(base, source, {});
    Base attendu = avant;
    SourceTable encore(seconds);
    Importe(attendu, encore, {});
    ExpectMemeStore(attendu, base);
}

} // namespace
} // namespace sillage
