// The error rows counted alone: one row per resource id and path (the path whatever its case),
// the status of the first hit kept, new rows numbered from the counter row and written after the
// stored ones, the stored table untouched until Applique.
#include "import/parties/erreurs.h"
#include "store/casse.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sillage {
namespace {

using test::Compteur;
using test::MessageDe;
using test::RangeeErreur;
using test::TableDe;

constexpr const char* kAvant = "14/Feb/2004:10:11:12";
constexpr const char* kLundi = "16/Feb/2004:09:00:00";
constexpr const char* kMardi = "17/Feb/2004:09:00:00";

struct TableErreurs {
    Table table;
    Arene arene;
    DatesImport dates{arene};
    EnsembleHachages chemins;
    Erreurs partie;

    // parChemins: only the stored rows of the paths given are looked at.
    explicit TableErreurs(const std::vector<std::string>& lignes, bool parChemins = false,
                          const std::vector<std::string>& noms = {})
        : table(TableDe(lignes)), partie(Construit(parChemins, noms)) {}

    Erreurs Construit(bool parChemins, const std::vector<std::string>& noms) {
        for (const std::string& n : noms) {
            chemins.Ajoute(HachageSansCasse(n));
        }
        chemins.Termine();
        return Erreurs(table, dates, arene, parChemins ? &chemins : nullptr);
    }

    void Compte(const std::string& page, const std::string& statut, std::int32_t ressource,
                const char* date) {
        RHitsVues hit;
        hit.Page = page;
        hit.Statut = statut;
        partie.Compte(hit, ressource, dates.Date(date, true));
    }
};

TEST(Erreurs, OneRowPerResourceAndPathWithTheFirstStatus) {
    for (bool parChemins : {false, true}) {
        SCOPED_TRACE(parChemins);
        TableErreurs erreurs({RangeeErreur(0, "/a.html", 2, kAvant, "404", 3),
                              RangeeErreur(1, "/logo.gif", 1, kAvant, "404", -2), Compteur(2)},
                             parChemins, {"/A.HTML", "/a.html", "/logo.gif", "/autre.gif"});
        erreurs.Compte("/A.HTML", "500", 3, kLundi);     // the stored row of /a.html
        erreurs.Compte("/a.html", "404", 4, kLundi);     // another resource: a row of its own
        erreurs.Compte("/autre.gif", "304", -2, kLundi); // images apart by path
        erreurs.Compte("/autre.gif", "404", -2, kMardi);
        const Table avant = erreurs.table;
        erreurs.partie.Prepare();
        EXPECT_TRUE(erreurs.table == avant);
        erreurs.partie.Applique();
        EXPECT_TRUE(erreurs.table ==
                    TableDe({RangeeErreur(0, "/a.html", 3, kLundi, "404", 3),
                             RangeeErreur(1, "/logo.gif", 1, kAvant, "404", -2),
                             RangeeErreur(2, "/a.html", 1, kLundi, "404", 4),
                             RangeeErreur(3, "/autre.gif", 2, kMardi, "304", -2), Compteur(4)}));
    }
}

TEST(Erreurs, NothingCountedLeavesTheTableAndDamageIsTold) {
    TableErreurs rien({RangeeErreur(0, "/a", 1, kAvant, "404", 0), Compteur(1)});
    const Table avant = rien.table;
    rien.partie.Prepare();
    rien.partie.Applique();
    EXPECT_TRUE(rien.table == avant);

    TableErreurs sansLigne({});
    EXPECT_EQ(MessageDe([&] { sansLigne.Compte("/a", "404", 0, kLundi); }),
              "Indice de liste hors limites (-1)");
    TableErreurs abimee(
        {"\\1;0\\2;/a\\3;x\\4;" + std::string(kAvant) + "\\5;404\\6;0\\7;", Compteur(1)});
    EXPECT_EQ(MessageDe([&] { abimee.Compte("/a", "404", 0, kLundi); }),
              "'x' n'est pas une valeur entière correcte");
}

} // namespace
} // namespace sillage
