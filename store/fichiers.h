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
// Whether LitJusquAuBout reads a large file (1 MiB and more) that is not in the page cache
// straight from the device into its memory: set by a program that replaces the files it reads
// (an import, whose save writes them anew and deletes these), for which caching them only costs
// a copy and the freeing of their pages. Off by default: a program that reads the store again and
// again (the window) is faster from the cache.
void LitHorsCacheSiAbsent(bool oui);
// Reads a regular file whole; raises "Impossible d'ouvrir le fichier %s" when chemin is not a
// regular file or cannot be read.
std::string LitFichierEntier(const std::string& chemin);

} // namespace sillage
