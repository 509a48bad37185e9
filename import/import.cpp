#include "import/import.h"

#include "import/importation.h"
#include "import/ligne_log.h"
#include "import/source_log.h"
#include "store/champs.h"
#include "store/erreur.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace sillage {

namespace {

// The progress value of line i of n: the integer part, truncated toward zero, of 100·i/n − 1.
int ValeurProgression(std::int64_t i, std::int64_t n) {
    if (n <= 0) {
        return 0;
    }
    const std::int64_t q = (100 * i) / n;
    const std::int64_t reste = (100 * i) % n;
    if (q == 0) {
        return reste == 0 ? -1 : 0;
    }
    return static_cast<int>(std::min<std::int64_t>(q - 1, 100));
}

std::int64_t Importe(Base& base, SourceLignes& source, const RappelProgression& progression) {
    std::string_view ligne;
    if (!source.Suivante(ligne)) {
        LeveErreurIndice(0);
    }
    const int nombreChamps = CompteNombreChamps(ligne);
    const std::int64_t total = source.Total();
    base.AssureIndex();
    Importation importation(base);
    int derniere = std::numeric_limits<int>::min();
    std::int64_t i = 0;
    do {
        if (progression) {
            // A compressed log's line count is not known ahead: its progress follows the
            // compressed bytes read.
            int v = -1;
            if (total >= 0) {
                v = ValeurProgression(i, total);
            } else if (i > 0) {
                v = static_cast<int>(std::trunc(100.0 * source.Fraction() - 1.0));
            }
            if (v != derniere) {
                derniere = v;
                progression(v);
            }
        }
        try {
            importation.TraiteLigne(ligne, nombreChamps, i + 1);
        } catch (const ErreurSillage&) {
            // Damaged compressed input can give lines of garbage before it shows as damaged.
            source.VerifieReste();
            throw;
        }
        ++i;
    } while (source.Suivante(ligne));
    importation.Valide();
    if (progression) {
        progression(100);
    }
    return i;
}

} // namespace

std::int64_t AccesPourTri(std::string_view ligne) {
    const std::string_view champ = ExtraitChamp(ligne, 3);
    std::size_t k = 0;
    const bool negatif = !champ.empty() && champ[0] == '-';
    if (negatif) {
        k = 1;
    }
    std::int64_t v = 0;
    for (; k < champ.size() && champ[k] >= '0' && champ[k] <= '9'; ++k) {
        if (v < (std::int64_t{1} << 40)) {
            v = v * 10 + (champ[k] - '0');
        }
    }
    return negatif ? -v : v;
}

namespace {

// Sorts the data rows by decreasing hit count, keeping rows of equal count in their order; the
// counter row stays last whatever the counts of the rows (a hand-edited row may hold 0 or less).
void TrieTable(Table& table) {
    if (table.Count() < 3) {
        return;
    }
    const std::size_t n = table.Count() - 1;
    std::vector<std::pair<std::int64_t, std::uint32_t>> cles(n);
    bool deja = true;
    for (std::size_t i = 0; i < n; ++i) {
        cles[i] = {AccesPourTri(table[i]), static_cast<std::uint32_t>(i)};
        deja = deja && (i == 0 || cles[i - 1].first >= cles[i].first);
    }
    if (deja) {
        return;
    }
    std::stable_sort(cles.begin(), cles.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::uint32_t> ordre(n + 1);
    for (std::size_t i = 0; i < n; ++i) {
        ordre[i] = cles[i].second;
    }
    ordre[n] = static_cast<std::uint32_t>(n);
    table.Permute(ordre);
}

} // namespace

std::int64_t ImporteFichier(Base& base, const std::string& chemin,
                            const RappelProgression& progression) {
    const std::unique_ptr<SourceLignes> source = OuvreSourceFichier(chemin);
    return Importe(base, *source, progression);
}

std::int64_t ImporteListeLog(Base& base, const RappelProgression& progression) {
    SourceTable source(base.ListeLog);
    return Importe(base, source, progression);
}

void TrieListes(Base& base) {
    TrieTable(base.ListePage);
    TrieTable(base.ListeOrigine);
    TrieTable(base.ListeImage);
    TrieTable(base.ListeNom);
}

int CompareAcces(const Table& table, std::size_t i, std::size_t j) {
    if (i == j) {
        return 0;
    }
    const std::int64_t a = AccesPourTri(table[i]);
    const std::int64_t b = AccesPourTri(table[j]);
    return a > b ? -1 : (a == b ? 0 : 1);
}

} // namespace sillage
