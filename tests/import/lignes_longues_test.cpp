// Lines longer than the limit of the reading, through whole and incremental imports of plain and
// compressed logs: each is an unreadable line (the import stops on it, or passes it over and
// counts it), the other lines give the tables of the line-by-line import without it, and the
// register follows the log whatever such lines it holds. The limit is made small here, as the
// import lets tests do.
#include "import/import.h"
#include "reference.h"
#include "store/base.h"
#include "support/gzip.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

namespace sillage {
namespace {

using test::Ecrit;
using test::MemesTables;
using test::MessageDe;
using test::RepertoireTemporaire;

constexpr std::size_t kLimite = 20000;

// Log lines, with lines longer than the limit (a path of 30,000 bytes, a run of 50,000 zeros)
// slipped in so that they stand at `longues` (from 0).
struct Journal {
    std::vector<std::string> bonnes = test::LignesAleatoires(11, 400);
    std::vector<std::size_t> longues = {3, 150, 399};
    std::string texte;

    Journal() {
        std::vector<std::string> lignes = bonnes;
        for (std::size_t i : longues) {
            lignes.insert(lignes.begin() + static_cast<std::ptrdiff_t>(i),
                          i % 2 ? test::LigneLog("10.0.0.1", "14/Feb/2004:10:11:12",
                                                 "/" + std::string(30000, 'p'))
                                : std::string(50000, '\0'));
        }
        texte = test::Journal(lignes);
    }
};

DemandeImport Demande(ModeImport mode, bool ignore) {
    DemandeImport d;
    d.Mode = mode;
    d.IgnoreIllisibles = ignore;
    d.LongueurMaxLigne = kLimite;
    return d;
}

TEST(LignesLongues, AreUnreadableLinesWholeOrInPieces) {
    const Journal j;
    RepertoireTemporaire dir;
    for (const char* nom : {"a.log", "a.log.gz"}) {
        SCOPED_TRACE(nom);
        const std::string chemin = dir.Fichier(nom);
        Ecrit(chemin, std::string(nom).ends_with(".gz") ? test::Gzip(j.texte) : j.texte);
        RepertoireTemporaire store;
        Base base(store.Chemin());
        base.InitListes();
        const Base avant = base;
        EXPECT_EQ(
            MessageDe([&] { ImporteJournal(base, chemin, Demande(ModeImport::Entier, false)); }),
            "Erreur à la lecture du fichier (ligne 4)");
        EXPECT_TRUE(MemesTables(base, avant));

        const CompteRenduImport r = ImporteJournal(base, chemin, Demande(ModeImport::Entier, true));
        EXPECT_EQ(r.Lignes, 403);
        EXPECT_EQ(r.Illisibles, 3);
        EXPECT_EQ(r.PremiereIllisible, 4);
        Base attendue(store.Chemin());
        attendue.InitListes();
        test::ImporteReference(attendue, j.bonnes);
        EXPECT_TRUE(MemesTables(base, attendue));
    }

    // A log that grows by pieces cut anywhere, long lines among them: each line counted once.
    const std::string chemin = dir.Fichier("croissant.log");
    RepertoireTemporaire store;
    Base base(store.Chemin());
    base.InitListes();
    for (std::size_t fin : {std::size_t{10}, j.texte.size() / 3, j.texte.size() / 3 + 20000,
                            j.texte.size() / 2, j.texte.size()}) {
        Ecrit(chemin, j.texte.substr(0, fin));
        ImporteJournal(base, chemin, Demande(ModeImport::Nouveau, true));
    }
    const EtatRegistre etat = ConsulteRegistre(base, chemin);
    EXPECT_TRUE(etat.Connu);
    EXPECT_EQ(etat.Ligne.Lignes, 403);
    EXPECT_EQ(etat.Ligne.Octets, static_cast<std::int64_t>(j.texte.size()));
    Base attendue(store.Chemin());
    attendue.InitListes();
    test::ImporteReference(attendue, j.bonnes);
    for (const char* f : {"lanp.lst", "graphmois.lst", "graphheure.lst", "erreur.lst"}) {
        const EntreeCatalogue& e =
            *std::find_if(Base::Catalogue().begin(), Base::Catalogue().end(),
                          [&](const EntreeCatalogue& c) { return c.fichier == f; });
        EXPECT_TRUE(base.*e.table == attendue.*e.table) << f;
    }
}

// An import of what is new numbers its lines from the log's first line, in its messages and its
// report.
TEST(LignesLongues, AnImportOfWhatIsNewNumbersLinesFromTheFirst) {
    const Journal j;
    RepertoireTemporaire dir;
    const std::string chemin = dir.Fichier("a.log");
    const std::size_t cent = [&] {
        std::size_t p = 0;
        for (int i = 0; i < 100; ++i) {
            p = j.texte.find('\n', p) + 1;
        }
        return p;
    }();
    // The first hundred lines hold the long line 4, passed over.
    Ecrit(chemin, j.texte.substr(0, cent));
    Base base(dir.Chemin());
    base.InitListes();
    ImporteJournal(base, chemin, Demande(ModeImport::Nouveau, true));
    Ecrit(chemin, j.texte);
    EXPECT_EQ(MessageDe([&] { ImporteJournal(base, chemin, Demande(ModeImport::Nouveau, false)); }),
              "Erreur à la lecture du fichier (ligne 151)");
    const CompteRenduImport r = ImporteJournal(base, chemin, Demande(ModeImport::Nouveau, true));
    EXPECT_EQ(r.DejaComptees, 100);
    EXPECT_EQ(r.PremiereIllisible, 151);
    EXPECT_EQ(r.Illisibles, 2);
}

} // namespace
} // namespace sillage
