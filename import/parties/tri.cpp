#include "import/parties/tri.h"

#include "import/parties/partie.h"

#include "store/base.h"
#include "store/champs.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace sillage {

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

// The data rows are sorted by decreasing hit count, rows of equal count keeping their order;
// the counter row stays last whatever the counts of the rows (a hand-edited row may hold 0 or
// less).
bool TrieDans(const Table& table, Table& triee) {
    if (table.Count() < 3) {
        return false;
    }
    const std::size_t n = table.Count() - 1;
    std::vector<std::pair<std::int64_t, std::uint32_t>> cles(n);
    bool deja = true;
    for (std::size_t i = 0; i < n; ++i) {
        cles[i] = {AccesPourTri(table[i]), static_cast<std::uint32_t>(i)};
        deja = deja && (i == 0 || cles[i - 1].first >= cles[i].first);
    }
    if (deja) {
        return false;
    }
    std::stable_sort(cles.begin(), cles.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    triee = Table();
    triee.Reserve(n + 1, table.Octets());
    CopieParSuites copie(table, triee);
    for (const auto& cle : cles) {
        copie.Stockee(cle.second);
    }
    copie.Stockee(n);
    return true;
}

namespace {

void TrieTable(Table& table) {
    Table triee;
    if (TrieDans(table, triee)) {
        table = std::move(triee);
    }
}

} // namespace

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
