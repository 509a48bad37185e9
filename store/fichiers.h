// File access of the store: whole-file reading and the atomic replacement of a set of files.
#pragma once

#include "store/table.h"
#include "store/tampon.h"

#include <cstdint>

#include <string>
#include <vector>

namespace sillage {

// True when something exists at chemin (a dangling link counts as absent).
bool FichierExiste(const std::string& chemin);
// Opens a regular file for reading and gives its size; raises "Impossible d'ouvrir le fichier
// %s" when chemin cannot be opened or is not a regular file (a directory, a pipe...).
int OuvreFichierRegulier(const std::string& chemin, std::int64_t& taille);
// Reads fd (opened by OuvreFichierRegulier, of the given size) to its end into octets, then
// closes it; a read error raises the open error for chemin. grand: octets is about to be filled
// whole, ask for huge pages.
void LitJusquAuBout(int fd, const std::string& chemin, std::int64_t taille, Tampon& octets,
                    bool grand);
// Reads a regular file whole; raises "Impossible d'ouvrir le fichier %s" when chemin is not a
// regular file or cannot be read.
std::string LitFichierEntier(const std::string& chemin);

// One file to write: its final name and the table that becomes its content.
struct FichierAEcrire {
    std::string chemin;
    const Table* table;
};
// Writes each table, every line followed by CR LF, to a temporary file beside its final name,
// then renames them over the final names in order. Raises "Impossible de créer le fichier %s"
// (naming the final file) when a file cannot be written; no final file is replaced then.
void EcritFichiersAtomique(const std::vector<FichierAEcrire>& fichiers);

} // namespace sillage
