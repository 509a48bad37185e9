// The rule of a line counted already: from an end an earlier import recorded, the first line to
// count is the next whole line, wherever the end fell (between lines, inside a line, between the
// CR and the LF of a line end), in a plain log as in a compressed one.
#include "import/lecture/source_log.h"
#include "import/plan.h"
#include "support/gzip.h"
#include "support/repertoire_temporaire.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace sillage {
namespace {

using test::Ecrit;
using test::Gzip;
using test::RepertoireTemporaire;

// The first line PremiereLigneApresFin gives from offset fin of texte, or "(none)".
std::string PremiereApres(const std::string& chemin, std::int64_t fin) {
    const std::unique_ptr<SourceJournal> source = OuvreSourceFichier(chemin);
    std::string_view ligne;
    if (!source->PositionneA(fin) || !PremiereLigneApresFin(*source, ligne)) {
        return "(none)";
    }
    return std::string(ligne) + "@" + std::to_string(source->Position());
}

TEST(Plan, TheFirstLineAfterARecordedEndIsTheNextWholeOne) {
    RepertoireTemporaire dir;
    const std::string texte = "un\r\ndeux\r\ntrois\nquatre";
    Ecrit(dir.Fichier("a.log"), texte);
    Ecrit(dir.Fichier("a.log.gz"), Gzip(texte));
    for (const char* f : {"a.log", "a.log.gz"}) {
        SCOPED_TRACE(f);
        const std::string chemin = dir.Fichier(f);
        EXPECT_EQ(PremiereApres(chemin, 0), "un@4");
        EXPECT_EQ(PremiereApres(chemin, 1), "deux@10"); // inside "un"
        EXPECT_EQ(PremiereApres(chemin, 3), "deux@10"); // between its CR and its LF
        EXPECT_EQ(PremiereApres(chemin, 4), "deux@10");
        EXPECT_EQ(PremiereApres(chemin, 12), "quatre@22"); // inside "trois"
        EXPECT_EQ(PremiereApres(chemin, 18), "(none)");    // inside the last line
        EXPECT_EQ(PremiereApres(chemin, 22), "(none)");
        EXPECT_EQ(PremiereApres(chemin, 23), "(none)"); // past the end
    }
}

} // namespace
} // namespace sillage
