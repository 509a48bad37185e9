// The data the classification tests read: the crawler list of the sources, the Debian packages'
// files, and a cache folder of the test's own (or none).
#pragma once

#include "visiteurs/fichiers_donnees.h"

#include <string>

namespace sillage::test {

inline FichiersDonnees DonneesTest(const std::string& cache = {}) {
    FichiersDonnees f = FichiersDonnees::ParDefaut();
    f.listeRobots = DONNEES_SOURCES "/crawler-user-agents.json";
    f.licenceRobots = DONNEES_SOURCES "/crawler-user-agents.licence";
    f.cache = cache;
    return f;
}

} // namespace sillage::test
