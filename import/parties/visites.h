// The visit rule: a visit is a run of hits from one host with no gap of more than 30 minutes.
#pragma once

#include "store/date.h"

namespace sillage {

// Last day of a month 1 to 12 (February has 29 days in years divisible by 4); -1 for any other
// month number, which then never ends.
int DernierJourDuMois(int mois, int annee);

// True when the hit at date C opens a new visit after the host's previous hit at date P. Within
// one day: more than 30 minutes apart (a C before P never is). Across one midnight (next day,
// first of next month, first of January), only a crossing from hour 23 to hour 0 is measured;
// every other difference of day, month or year opens a visit.
bool NouvelleVisite(const RDate& P, const RDate& C);

} // namespace sillage
