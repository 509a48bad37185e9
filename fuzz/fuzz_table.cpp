// Any bytes as a table file: loading splits it as the log reader does, whatever the pieces,
// and a keyed table loaded from them always ends with a counter row. The log reader's lines too
// long for its limit are given cut short, their offsets kept.
#include "import/lecture/decoupeur_lignes.h"
#include "store/base.h"
#include "store/table.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    using namespace sillage;
    const std::string octets(reinterpret_cast<const char*>(donnees), taille);
    Table t;
    t.ChargeOctets(octets);

    // The log reader splits the same way, but keeps a NUL byte in its line (which it tells)
    // where a table file ends: up to the first NUL the lines are the table's.
    const std::size_t morceau = taille == 0 ? 1 : 1 + donnees[0] % 7;
    DecoupeurLignes d;
    std::size_t lu = 0;
    std::size_t n = 0;
    std::string_view ligne;
    const std::size_t premierNul = octets.find('\0');
    std::int64_t position = 0;
    while (d.Suivante(ligne, [&](char* p, std::size_t max) {
        const std::size_t k = std::min({max, morceau, octets.size() - lu});
        std::memcpy(p, octets.data() + lu, k);
        lu += k;
        return k;
    })) {
        if (d.DerniereAvecNul() != (ligne.find('\0') != std::string_view::npos)) {
            std::abort();
        }
        // Each line with its line end is the next piece of the bytes.
        const std::string_view avecFin = d.AvecFin();
        if (octets.compare(static_cast<std::size_t>(position), avecFin.size(), avecFin) != 0 ||
            avecFin.substr(0, ligne.size()) != ligne ||
            d.Position() != position + static_cast<std::int64_t>(avecFin.size())) {
            std::abort();
        }
        position = d.Position();
        const bool avantNul =
            premierNul == std::string::npos || static_cast<std::size_t>(position) <= premierNul;
        if (avantNul && (n >= t.Count() || t[n] != ligne)) {
            std::abort();
        }
        if (avantNul) {
            ++n;
        }
    }
    if (static_cast<std::size_t>(position) != octets.size() ||
        (premierNul == std::string::npos && n != t.Count())) {
        std::abort();
    }

    // The same bytes, each repeated a few times (so that lines can outgrow the two ends the
    // cutter keeps of a line too long), cut with a small limit on a line's length: a line within
    // it is its bytes, a longer one is told too long and given as its first and last
    // kOctetsQueue bytes; the offsets and the bytes before each line stay those of the stream.
    if (taille > 0) {
        const std::size_t fois = 1 + donnees[0] % 16;
        std::string etendu;
        for (char c : octets) {
            etendu.append(fois, c);
        }
        const std::size_t limite = 1 + (static_cast<std::size_t>(donnees[taille - 1]) * 97) % 12000;
        DecoupeurLignes court(limite);
        std::size_t pris = 0;
        std::int64_t debut = 0;
        while (court.Suivante(ligne, [&](char* p, std::size_t max) {
            const std::size_t k = std::min({max, morceau * 1000, etendu.size() - pris});
            std::memcpy(p, etendu.data() + pris, k);
            pris += k;
            return k;
        })) {
            const auto d = static_cast<std::size_t>(debut);
            const std::size_t fin = etendu.find_first_of("\r\n", d);
            const std::string_view vraie = std::string_view(etendu).substr(
                d, (fin == std::string::npos ? etendu.size() : fin) - d);
            const bool trop = vraie.size() > limite;
            const std::size_t q = kOctetsQueue;
            const bool juste = !trop || vraie.size() <= 2 * q
                                   ? ligne == vraie
                                   : ligne.size() == 2 * q &&
                                         ligne.substr(0, q) == vraie.substr(0, q) &&
                                         ligne.substr(q) == vraie.substr(vraie.size() - q);
            if (court.DerniereTropLongue() != trop || !juste ||
                court.Position() != debut + court.LongueurAvecFin()) {
                std::abort();
            }
            debut = court.Position();
            const auto p = static_cast<std::size_t>(debut);
            const std::size_t avant = std::min(p, kOctetsQueue);
            if (court.Queue() != std::string_view(etendu).substr(p - avant, avant)) {
                std::abort();
            }
        }
        if (static_cast<std::size_t>(debut) != etendu.size()) {
            std::abort();
        }
    }

    // The same bytes as a keyed table's file and as the options file of a store.
    const std::string& dir = test::RepertoireEnMemoire().Chemin();
    for (const char* fichier : {"nom.lst", "options.lst"}) {
        std::ofstream(dir + fichier, std::ios::binary | std::ios::trunc) << octets;
    }
    // Read from a file (mapped when large and written as the tables are), the same lines.
    Table lue;
    lue.ChargeFichier(dir + "nom.lst");
    if (!(lue == t)) {
        std::abort();
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
