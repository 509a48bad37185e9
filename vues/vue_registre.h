// What the register of imported logs (store/registre.h) tells the window about the work of other
// programs on the same store, and how the window says it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sillage {

class Table;

// A log that another program counted lines of: the name it was last seen under (as the register
// keeps it), and how many lines it counted.
struct ImportEntreTemps {
    std::string Nom;
    std::int64_t Lignes = 0;
    bool operator==(const ImportEntreTemps&) const = default;
};

// What was imported between two states of the register, avant and apres, in apres's row order:
// each row of apres that avant does not hold as it is. A row of a log that avant knew (the same
// fingerprint of its beginning, fewer lines) counts the lines added since; any other row counts
// all its lines (a new log, or one counted again). Rows that do not read are passed over.
std::vector<ImportEntreTemps> ImportsEntreTemps(const Table& avant, const Table& apres);

// What the window says after a save that found the store changed by another program: enregistre
// when it saved its own imports over it ("Enregistré, avec les imports faits entre-temps par un
// autre programme : NOM (N lignes), ..."), else it only shows the store read again. The first
// five logs are named, the others counted.
std::string TexteEnregistrementFusionne(const std::vector<ImportEntreTemps>& imports,
                                        bool enregistre);

} // namespace sillage
