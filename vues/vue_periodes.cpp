#include "vues/vue_periodes.h"

#include "store/periodes.h"
#include "vues/vue_messages.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <tuple>

namespace sillage {

namespace {

constexpr std::string_view kMoisEnFrancais[12] = {"janvier",   "février", "mars",     "avril",
                                                  "mai",       "juin",    "juillet",  "août",
                                                  "septembre", "octobre", "novembre", "décembre"};

// A period's name taken apart: its year's name and number, and its month (0 for a year).
struct Periode {
    std::string_view annee;
    std::int64_t numero = 0;
    int mois = 0;
};

// nom is a period's name (EstNomPeriode).
Periode Decompose(std::string_view nom) {
    Periode p;
    p.annee = nom;
    if (EstPeriodeMois(nom)) {
        p.annee = nom.substr(0, nom.size() - 3);
        p.mois = (nom[nom.size() - 2] - '0') * 10 + (nom[nom.size() - 1] - '0');
    }
    std::from_chars(p.annee.data(), p.annee.data() + p.annee.size(), p.numero);
    return p;
}

} // namespace

std::string TextePeriode(std::string_view nom) {
    if (nom.empty()) {
        return std::string(kToutLHistorique);
    }
    const Periode p = Decompose(nom);
    if (p.mois == 0) {
        return std::string(p.annee);
    }
    return std::string(kMoisEnFrancais[p.mois - 1]) + " " + std::string(p.annee);
}

std::string TextePeriodeIndisponible(std::string_view nom) {
    return TextePeriode(nom) + " (indisponible)";
}

std::vector<ChoixPeriode> ChoixPeriodes(const std::vector<std::string>& periodes) {
    std::vector<std::string_view> noms;
    for (const std::string& nom : periodes) {
        if (EstNomPeriode(nom)) {
            noms.push_back(nom);
        }
    }
    // The newest year first, each before its months, the newest month first.
    const auto cle = [](std::string_view nom) {
        const Periode p = Decompose(nom);
        return std::tuple(p.numero, p.mois == 0 ? 13 : p.mois);
    };
    std::sort(noms.begin(), noms.end(),
              [&](std::string_view a, std::string_view b) { return cle(a) > cle(b); });
    noms.erase(std::unique(noms.begin(), noms.end()), noms.end());

    std::vector<ChoixPeriode> choix = {{"", std::string(kToutLHistorique), false}};
    for (std::string_view nom : noms) {
        choix.push_back({std::string(nom), TextePeriode(nom), !EstPeriodeMois(nom)});
    }
    return choix;
}

std::string TitreFenetre(std::string_view periode) {
    if (periode.empty()) {
        return "Sillage";
    }
    return "Sillage — " + TextePeriode(periode);
}

std::string QuestionPeriodeModifiee(std::string_view nom, const std::string& message) {
    return message + "\n\nLire la période " + TextePeriode(nom) + " telle qu'elle est ?";
}

std::string TextePeriodeDisparue(std::string_view nom) {
    return "La période " + TextePeriode(nom) +
           " n'est plus dans les tables : un autre programme les a changées.";
}

std::string TexteMoisTouches(const std::vector<std::string>& periodes) {
    std::vector<std::string_view> mois;
    for (const std::string& nom : periodes) {
        if (EstPeriodeMois(nom)) {
            mois.push_back(nom);
        }
    }
    if (mois.empty()) {
        return {};
    }
    // In the calendar's order (names of years before year 0 do not sort so).
    std::sort(mois.begin(), mois.end(), [](std::string_view a, std::string_view b) {
        const Periode pa = Decompose(a), pb = Decompose(b);
        return std::tuple(pa.numero, pa.mois) < std::tuple(pb.numero, pb.mois);
    });
    mois.erase(std::unique(mois.begin(), mois.end()), mois.end());
    std::string texte = "mois : ";
    if (mois.size() > 3) {
        return texte + std::string(mois.front()) + " à " + std::string(mois.back()) + ", " +
               CompteEnFrancais(static_cast<std::int64_t>(mois.size()), "mois", "mois");
    }
    for (std::size_t i = 0; i < mois.size(); ++i) {
        texte += (i == 0 ? "" : ", ") + std::string(mois[i]);
    }
    return texte;
}

} // namespace sillage
