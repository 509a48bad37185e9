#include "import/parties/visites.h"

namespace sillage {

int DernierJourDuMois(int mois, int annee) {
    switch (mois) {
    case 1:
    case 3:
    case 5:
    case 7:
    case 8:
    case 10:
    case 12:
        return 31;
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    case 2:
        return annee % 4 == 0 ? 29 : 28;
    default:
        return -1;
    }
}

namespace {

// Minutes between P and C when P is at hour 23 and C at hour 0 of the next day.
bool AuDelaDeMinuit(const RDate& P, const RDate& C) {
    return 60 - static_cast<int>(P.Minute) + static_cast<int>(C.Minute) > 30;
}

} // namespace

bool NouvelleVisite(const RDate& P, const RDate& C) {
    const int pj = P.Jour, cj = C.Jour, pm = P.Mois, cm = C.Mois, ph = P.Heure, ch = C.Heure;
    if (C.Annee == P.Annee && cm == pm) {
        if (cj == pj) {
            return (ch - ph) * 60 + (static_cast<int>(C.Minute) - static_cast<int>(P.Minute)) > 30;
        }
        if (cj == pj + 1) {
            return ph == 23 && ch == 0 ? AuDelaDeMinuit(P, C) : true;
        }
        return true;
    }
    if (C.Annee == P.Annee && cm == pm + 1) {
        if (pj == DernierJourDuMois(pm, P.Annee) && cj == 1 && ph == 23 && ch == 0) {
            return AuDelaDeMinuit(P, C);
        }
        return true;
    }
    if (static_cast<long long>(C.Annee) == static_cast<long long>(P.Annee) + 1 && pm == 12 &&
        pj == 31 && ph == 23 && cm == 1 && cj == 1 && ch == 0) {
        return AuDelaDeMinuit(P, C);
    }
    return true;
}

} // namespace sillage
