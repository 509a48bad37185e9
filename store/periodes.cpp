#include "store/periodes.h"

#include <algorithm>
#include <cstdlib>

namespace sillage {

namespace {

bool Chiffres(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// True when s is a year as NomPeriodeAnnee writes it.
bool EstAnnee(std::string_view s) {
    const bool negatif = !s.empty() && s[0] == '-';
    const std::string_view chiffres = s.substr(negatif ? 1 : 0);
    // At least four digits, no zero in front of a longer number, no "-0000".
    return Chiffres(chiffres) && chiffres.size() >= 4 && chiffres.size() <= 10 &&
           (chiffres.size() == 4 || chiffres[0] != '0') && !(negatif && chiffres == "0000");
}

} // namespace

std::string NomPeriodeAnnee(std::int32_t annee) {
    std::string chiffres = std::to_string(std::llabs(static_cast<long long>(annee)));
    if (chiffres.size() < 4) {
        chiffres.insert(0, 4 - chiffres.size(), '0');
    }
    return annee < 0 ? "-" + chiffres : chiffres;
}

std::string NomPeriodeMois(std::int32_t annee, std::int32_t mois) {
    std::string nom = NomPeriodeAnnee(annee) + "-";
    if (mois < 10) {
        nom += '0';
    }
    return nom + std::to_string(mois);
}

bool EstPeriodeMois(std::string_view nom) {
    if (nom.size() < 3 || nom[nom.size() - 3] != '-') {
        return false;
    }
    const std::string_view mois = nom.substr(nom.size() - 2);
    return EstAnnee(nom.substr(0, nom.size() - 3)) && Chiffres(mois) && mois >= "01" &&
           mois <= "12";
}

bool EstNomPeriode(std::string_view nom) {
    return EstAnnee(nom) || EstPeriodeMois(nom);
}

std::string DossierPeriode(std::string_view nom) {
    return std::string(kDossierPeriodes) + "/" + std::string(nom) + "/";
}

} // namespace sillage
