// Any bytes as a table file: loading splits it as the log reader does, whatever the pieces,
// and a keyed table loaded from them always ends with a counter row.
#include "store/base.h"
#include "store/table.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    using namespace sillage;
    const std::string octets(reinterpret_cast<const char*>(donnees), taille);
    Table t;
    t.ChargeOctets(octets);

    const std::size_t morceau = taille == 0 ? 1 : 1 + donnees[0] % 7;
    const std::vector<std::string> lignes = test::DecoupeParMorceaux(octets, morceau);
    if (lignes.size() != t.Count()) {
        std::abort();
    }
    for (std::size_t i = 0; i < lignes.size(); ++i) {
        if (t[i] != lignes[i]) {
            std::abort();
        }
    }

    // The same bytes as a keyed table's file and as the options file of a store.
    const std::string& dir = test::RepertoireEnMemoire().Chemin();
    for (const char* fichier : {"nom.lst", "options.lst"}) {
        std::ofstream(dir + fichier, std::ios::binary | std::ios::trunc) << octets;
    }
    Base base(dir);
    base.InitListes();
    base.ReconstruitIndex();
    for (const EntreeCatalogue& e : Base::Catalogue()) {
        const Table& table = base.*e.table;
        if (e.cle && (table.Vide() || !EstLigneCompteur(table.Derniere()))) {
            std::abort();
        }
    }
    if (base.ListeOptions.Vide()) {
        std::abort();
    }
    return 0;
}
