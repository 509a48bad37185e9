#include "vues/vue_visiteurs.h"

#include "store/agents.h"
#include "store/champs.h"
#include "store/date_compacte.h"
#include "store/erreur.h"
#include "vues/vue_texte.h"

#include <algorithm>
#include <array>
#include <map>
#include <thread>

namespace sillage {

namespace {

// Two lists side by side fill the tab's width: 295 pixels of columns each, beside a scroll bar.
const std::vector<ColonneListe> kColonnesNavigateurs = {
    {"Navigateur", 160, 1, false}, {"Accès", 70, 2, true}, {"Part", 65, 3, true}};
const std::vector<ColonneListe> kColonnesSystemes = {
    {"Système", 160, 1, false}, {"Accès", 70, 2, true}, {"Part", 65, 3, true}};
const std::vector<ColonneListe> kColonnesRobots = {{"Robot", 95, 1, false},
                                                   {"Accès", 50, 2, true},
                                                   {"Pages", 45, 3, true},
                                                   {"Dernier", 105, 4, false, true}};
const std::vector<ColonneListe> kColonnesPays = {
    {"Pays", 130, 1, false}, {"Hôtes", 50, 2, true}, {"Accès", 60, 3, true}, {"Part", 55, 4, true}};

// Below this many hosts, a second thread costs more than it saves.
constexpr std::size_t kSeuilFils = 20000;

std::string Nombre(std::int64_t n) {
    std::string s;
    AjouteEntier(s, n);
    return s;
}

// The family as shown: uap-core's "Other" is "Autre".
std::string Famille(const std::string& f) {
    return f == "Other" ? std::string("Autre") : TexteAgent(f);
}

struct Cumul {
    std::int64_t acces = 0;
    std::int64_t pages = 0;
    DateCompacte date = 0;
    std::string_view texteDate;
    bool aDate = false;
};

// The rows of hits by name, the largest first (then by name), each with its share of total.
std::vector<LigneVisiteurs> ParAcces(const std::map<std::string, Cumul>& cumuls,
                                     std::int64_t total) {
    std::vector<std::pair<std::string, Cumul>> v(cumuls.begin(), cumuls.end());
    std::stable_sort(v.begin(), v.end(),
                     [](const auto& a, const auto& b) { return a.second.acces > b.second.acces; });
    std::vector<LigneVisiteurs> lignes;
    lignes.reserve(v.size());
    for (const auto& [nom, c] : v) {
        lignes.push_back({{nom, Nombre(c.acces), Pourcentage(c.acces, total)}});
    }
    return lignes;
}

bool Utf8Multioctet(std::string_view s) {
    bool multi = false;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t n;
        std::uint32_t min;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            n = 1, min = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            n = 2, min = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            n = 3, min = 0x10000;
        } else {
            return false;
        }
        if (s.size() - i <= n) {
            return false;
        }
        std::uint32_t v = c & (0x3F >> n);
        for (std::size_t k = 1; k <= n; ++k) {
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) {
                return false;
            }
            v = (v << 6) | (d & 0x3F);
        }
        if (v < min || v > 0x10FFFF || (v >= 0xD800 && v < 0xE000)) {
            return false;
        }
        multi = true;
        i += n + 1;
    }
    return multi;
}

} // namespace

const std::vector<ColonneListe>& ColonnesVisiteurs(ListeVisiteurs liste) {
    switch (liste) {
    case ListeVisiteurs::Navigateurs:
        return kColonnesNavigateurs;
    case ListeVisiteurs::Systemes:
        return kColonnesSystemes;
    case ListeVisiteurs::Robots:
        return kColonnesRobots;
    case ListeVisiteurs::Pays:
        break;
    }
    return kColonnesPays;
}

const std::vector<LigneVisiteurs>& VueVisiteurs::Liste(ListeVisiteurs liste) const {
    switch (liste) {
    case ListeVisiteurs::Navigateurs:
        return Navigateurs;
    case ListeVisiteurs::Systemes:
        return Systemes;
    case ListeVisiteurs::Robots:
        return Robots;
    case ListeVisiteurs::Pays:
        break;
    }
    return Pays;
}

std::string TexteAgent(std::string_view octets) {
    if (Utf8Multioctet(octets)) {
        return std::string(octets);
    }
    return Windows1252VersUtf8(octets);
}

std::string Pourcentage(std::int64_t part, std::int64_t total) {
    if (total <= 0) {
        return {};
    }
    // Tenths of a percent, rounded half away from zero, in integers.
    const bool negatif = part < 0;
    const __int128 p = static_cast<__int128>(negatif ? -part : part) * 2000 + total;
    const auto dixiemes = static_cast<std::int64_t>(p / (2 * static_cast<__int128>(total)));
    std::string s = negatif && dixiemes > 0 ? "-" : "";
    AjouteEntier(s, dixiemes / 10);
    s += ',';
    s += static_cast<char>('0' + dixiemes % 10);
    s += " %";
    return s;
}

namespace {

// A row of the agents table as the views read it.
struct Rangee {
    std::string_view agent, dernier;
    std::int32_t acces, pages;
};

// The rows of agents that have hits (a row whose counts do not read is left out), every agent
// classified.
std::vector<Rangee> RangeesClassees(const Table& agents, Classificateur& classement) {
    std::vector<Rangee> rangees;
    rangees.reserve(agents.Count());
    std::vector<std::string_view> textes;
    textes.reserve(agents.Count());
    for (std::size_t i = 0; i < agents.Count(); ++i) {
        Rangee r{};
        if (LitAgentVues(agents[i], r.agent, r.acces, r.pages, r.dernier) && r.acces > 0) {
            rangees.push_back(r);
            textes.push_back(r.agent);
        }
    }
    classement.ClasseTous(textes);
    return rangees;
}

} // namespace

namespace {

// The agents: read once, classified together, then summed by family and by robot.
void ComptesAgents(const Table& agents, Classificateur& classement, VueVisiteurs& vue) {
    const std::vector<Rangee> rangees = RangeesClassees(agents, classement);
    std::map<std::string, Cumul> navigateurs, systemes, robots;
    std::int64_t personnes = 0;
    for (const Rangee& r : rangees) {
        const Classement* c = classement.Connu(r.agent);
        if (!c) {
            continue;
        }
        vue.Acces += r.acces;
        if (c->Robot) {
            vue.AccesRobots += r.acces;
            Cumul& k = robots[TexteAgent(c->NomRobot)];
            k.acces += r.acces;
            k.pages += r.pages;
            DateCompacte d = 0;
            CompacteDate(r.dernier, d);
            if (!k.aDate || d > k.date) {
                k.date = d, k.texteDate = r.dernier, k.aDate = true;
            }
            continue;
        }
        personnes += r.acces;
        navigateurs[Famille(c->Navigateur)].acces += r.acces;
        systemes[Famille(c->Systeme)].acces += r.acces;
    }
    vue.Navigateurs = ParAcces(navigateurs, personnes);
    vue.Systemes = ParAcces(systemes, personnes);
    std::vector<std::pair<std::string, Cumul>> r(robots.begin(), robots.end());
    std::stable_sort(r.begin(), r.end(),
                     [](const auto& a, const auto& b) { return a.second.acces > b.second.acces; });
    for (const auto& [nom, k] : r) {
        vue.Robots.push_back({{nom, Nombre(k.acces), Nombre(k.pages), std::string(k.texteDate)}});
    }
}

// The hosts and hits of a country code.
struct ComptePays {
    std::int64_t hotes = 0, acces = 0;
};

// The hosts of the host table by country code: each thread sums its share of the rows, then
// the shares are added up.
std::vector<ComptePays> ComptesParCode(const Table& noms, const sillage::Pays& pays) {
    const std::size_t n = NombreEnregistrements(noms.Count());
    const std::size_t fils = n < kSeuilFils ? 1 : 2;
    std::vector<std::vector<ComptePays>> comptes(fils, std::vector<ComptePays>(1 << 16));
    auto somme = [&](std::size_t f) {
        std::vector<ComptePays>& c = comptes[f];
        for (std::size_t i = n * f / fils; i < n * (f + 1) / fils; ++i) {
            LecteurChamps l(noms[i]);
            l.Suivant();
            const std::string_view hote = l.Suivant();
            std::int32_t acces = 0;
            if (!EssaieEntier(l.Suivant(), acces)) {
                continue;
            }
            ComptePays& k = c[pays.Code(hote)];
            ++k.hotes;
            k.acces += acces;
        }
    };
    if (n > 0) {
        pays.ChargeReseaux();
    }
    std::vector<std::thread> autres;
    for (std::size_t f = 1; f < fils; ++f) {
        autres.emplace_back(somme, f);
    }
    somme(0);
    for (std::thread& t : autres) {
        t.join();
    }
    for (std::size_t f = 1; f < fils; ++f) {
        for (std::size_t code = 0; code < comptes[0].size(); ++code) {
            comptes[0][code].hotes += comptes[f][code].hotes;
            comptes[0][code].acces += comptes[f][code].acces;
        }
    }
    return std::move(comptes[0]);
}

// The hosts, by country: codes of one name (the unknown and libloc's special codes) make one
// row.
void ComptesPays(const Table& noms, const sillage::Pays& pays, VueVisiteurs& vue) {
    const std::vector<ComptePays> parCode = ComptesParCode(noms, pays);
    std::map<std::string, ComptePays> parNom;
    std::int64_t total = 0;
    for (std::size_t code = 0; code < parCode.size(); ++code) {
        const ComptePays& k = parCode[code];
        if (k.hotes == 0) {
            continue;
        }
        ComptePays& p = parNom[pays.Nom(static_cast<CodePays>(code))];
        p.hotes += k.hotes;
        p.acces += k.acces;
        total += k.acces;
    }
    std::vector<std::pair<std::string, ComptePays>> v(parNom.begin(), parNom.end());
    std::stable_sort(v.begin(), v.end(),
                     [](const auto& a, const auto& b) { return a.second.acces > b.second.acces; });
    for (const auto& [nom, k] : v) {
        vue.Pays.push_back({{nom, Nombre(k.hotes), Nombre(k.acces), Pourcentage(k.acces, total)}});
    }
}

} // namespace

VueVisiteurs CalculeVisiteurs(const Table& agents, const Table& noms, Classificateur& classement,
                              const sillage::Pays& pays) {
    VueVisiteurs vue;
    ComptesAgents(agents, classement, vue);
    ComptesPays(noms, pays, vue);
    return vue;
}

ResumeRobots LigneRobots(const VueVisiteurs& vue) {
    return {Nombre(vue.AccesRobots), Pourcentage(vue.AccesRobots, vue.Acces)};
}

ResumeRobots ResumeRobotsDesAgents(const Table& agents, Classificateur& classement) {
    std::int64_t acces = 0, robots = 0;
    for (const Rangee& r : RangeesClassees(agents, classement)) {
        const Classement* c = classement.Connu(r.agent);
        acces += c != nullptr ? r.acces : 0;
        robots += c != nullptr && c->Robot ? r.acces : 0;
    }
    return {Nombre(robots), Pourcentage(robots, acces)};
}

std::string TexteRobots(const ResumeRobots& r) {
    return r.Part.empty() ? r.Nombre : r.Nombre + " (" + r.Part + " des accès)";
}

std::vector<std::uint32_t> LignesVisiteurs(const std::vector<LigneVisiteurs>& lignes,
                                           std::string_view filtre) {
    std::vector<std::uint32_t> v;
    for (std::size_t i = 0; i < lignes.size(); ++i) {
        if (filtre.empty() || (!lignes[i].Cellules.empty() &&
                               lignes[i].Cellules[0].find(filtre) != std::string::npos)) {
            v.push_back(static_cast<std::uint32_t>(i));
        }
    }
    return v;
}

} // namespace sillage
