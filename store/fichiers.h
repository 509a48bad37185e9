// Reading the store's files and the logs: regular files only, read whole.
#pragma once

#include "store/tampon.h"

#include <cstdint>

#include <string>
#include <vector>

namespace sillage {

// True when something exists at chemin (a dangling link counts as absent).
bool FichierExiste(const std::string& chemin);
// Opens a regular file for reading and gives its size; raises "Impossible d'ouvrir le fichier
// %s" with the reason (RaisonSysteme) when chemin cannot be opened or is not a regular file (a
// directory, a pipe...).
int OuvreFichierRegulier(const std::string& chemin, std::int64_t& taille);
// Reads fd (opened by OuvreFichierRegulier, of the given size) to its end into octets, then
// closes it; a read error raises the open error for chemin, with its reason. The memory is the
// system's small pages: asking for huge ones made reading a large store twice as slow whenever
// the system had to compact its memory to find them.
void LitJusquAuBout(int fd, const std::string& chemin, std::int64_t taille, Tampon& octets);
// Reads a regular file whole; raises "Impossible d'ouvrir le fichier %s" when chemin is not a
// regular file or cannot be read.
std::string LitFichierEntier(const std::string& chemin);

} // namespace sillage
