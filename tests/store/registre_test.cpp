// The register of imported logs: its rows, and its file saved, loaded and reset with the tables.
#include "store/registre.h"

#include "store/base.h"
#include "store/erreur.h"
#include "support/repertoire_temporaire.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace sillage {
namespace {

using test::Contenu;
using test::RepertoireTemporaire;

RRegistre Exemple() {
    RRegistre r;
    r.Debut = 0x0123456789abcdefull;
    r.OctetsDebut = 4096;
    r.Octets = 10'000'000'000; // beyond 32 bits: a log of ten gigabytes
    r.Lignes = 1'000'000;
    r.Fin = 0xfedcba9876543210ull;
    r.Nom = "/var/log/site/access.log.1";
    r.Date = "07/12/2026 02:00:00";
    return r;
}

TEST(Registre, ARowReadsBackAsWritten) {
    const RRegistre r = Exemple();
    const std::string ligne = EcritRegistre(r);
    EXPECT_EQ(ligne, "\\1;0123456789abcdef\\2;4096\\3;10000000000\\4;1000000\\5;fedcba9876543210"
                     "\\6;/var/log/site/access.log.1\\7;07/12/2026 02:00:00\\8;");
    EXPECT_EQ(LitRegistre(ligne), r);

    // A name with a tag in it cannot break the row.
    RRegistre b = r;
    b.Nom = "C:\\7;logs\\access.log";
    const RRegistre relu = LitRegistre(EcritRegistre(b));
    EXPECT_EQ(relu.Nom, "C:%5C7;logs%5Caccess.log");
    EXPECT_EQ(relu.Date, r.Date);
}

TEST(Registre, ADamagedRowIsAConversionError) {
    for (const std::string ligne :
         {"\\1;0123\\2;1\\3;1\\4;1\\5;fedcba9876543210\\6;n\\7;d\\8;",
          "\\1;0123456789abcdef\\2;-1\\3;1\\4;1\\5;fedcba9876543210\\6;n\\7;d\\8;",
          "\\1;0123456789abcdef\\2;1\\3;1x\\4;1\\5;fedcba9876543210\\6;n\\7;d\\8;", "\\1;0\\2;"}) {
        EXPECT_THROW(LitRegistre(ligne), ErreurSillage) << ligne;
    }
    try {
        LitRegistre("\\1;0123456789abcdef\\2;1\\3;12x\\4;1\\5;fedcba9876543210\\6;n\\7;d\\8;");
    } catch (const ErreurSillage& e) {
        EXPECT_EQ(std::string(e.what()), "'12x' n'est pas une valeur entière correcte");
    }
}

TEST(Registre, ItsFileIsSavedLoadedAndResetWithTheTables) {
    RepertoireTemporaire dir;
    Base base(dir.Chemin());
    base.InitListes();
    base.SauveListes();
    // No import recorded: the store keeps its fourteen files only.
    EXPECT_FALSE(std::filesystem::exists(dir.Fichier("journaux.lst")));

    base.ListeRegistre.Ajoute(EcritRegistre(Exemple()));
    base.SauveListes();
    EXPECT_EQ(Contenu(dir.Fichier("journaux.lst")), EcritRegistre(Exemple()) + "\r\n");
    Base relue(dir.Chemin());
    relue.InitListes();
    ASSERT_EQ(relue.ListeRegistre.Count(), 1u);
    EXPECT_EQ(LitRegistre(relue.ListeRegistre[0]), Exemple());

    relue.ReinitialiseListes();
    EXPECT_TRUE(relue.ListeRegistre.Vide());
    EXPECT_FALSE(std::filesystem::exists(dir.Fichier("journaux.lst")));
}

} // namespace
} // namespace sillage
