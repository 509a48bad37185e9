#include "visiteurs/uap.h"

#include "visiteurs/fichiers_donnees.h"

#include <yaml-cpp/yaml.h>

namespace sillage {

namespace {

std::string_view Rogne(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

} // namespace

std::string RemplaceGroupes(std::string_view modele, const Groupes& groupes) {
    std::string s;
    for (std::size_t i = 0; i < modele.size(); ++i) {
        if (modele[i] == '$' && i + 1 < modele.size() && modele[i + 1] >= '1' &&
            modele[i + 1] <= '9') {
            const int k = modele[i + 1] - '0';
            if (k < groupes.nombre) {
                s += groupes.texte[static_cast<std::size_t>(k)];
            }
            ++i;
        } else {
            s += modele[i];
        }
    }
    return std::string(Rogne(s));
}

bool ExpressionsUap::Charge(const std::string& chemin, std::vector<std::string>& messages) {
    const std::optional<std::string> texte = LitFichierDonnees(chemin);
    if (!texte) {
        messages.push_back("Impossible de lire le fichier " + chemin +
                           " : les navigateurs et les systèmes ne sont pas reconnus, et les "
                           "robots le sont par les autres listes seulement.");
        return false;
    }
    return ChargeTexte(*texte, chemin, messages);
}

bool ExpressionsUap::ChargeTexte(std::string_view texte, const std::string& chemin,
                                 std::vector<std::string>& messages) {
    navigateurs_ = Liste{}, systemes_ = Liste{}, appareils_ = Liste{};
    araignees_ = JeuExpressions{}, indicesAraignees_.clear();
    const std::string consequence = " : les navigateurs et les systèmes ne sont pas reconnus, et "
                                    "les robots le sont par les autres listes seulement.";
    try {
        const YAML::Node racine = YAML::Load(std::string(texte));
        if (!racine.IsMap()) {
            messages.push_back("Le fichier " + chemin +
                               " ne contient pas les listes d'expressions attendues" + consequence);
            return false;
        }
        struct Section {
            const char* nom;
            const char* remplacement;
            Liste* liste;
        };
        const Section sections[] = {{"user_agent_parsers", "family_replacement", &navigateurs_},
                                    {"os_parsers", "os_replacement", &systemes_},
                                    {"device_parsers", "device_replacement", &appareils_}};
        for (const Section& s : sections) {
            const YAML::Node entrees = racine[s.nom];
            if (!entrees || !entrees.IsSequence()) {
                messages.push_back("Le fichier " + chemin + " n'a pas de liste « " + s.nom +
                                   " » : cette partie de la reconnaissance est omise.");
                continue;
            }
            for (const YAML::Node& e : entrees) {
                const int ligne = e.Mark().line + 1;
                const YAML::Node motif = e.IsMap() ? e["regex"] : YAML::Node();
                if (!motif || !motif.IsScalar()) {
                    messages.push_back("Fichier " + chemin + ", ligne " + std::to_string(ligne) +
                                       " : une entrée sans expression est omise.");
                    continue;
                }
                const YAML::Node drapeau = e["regex_flag"];
                const bool sansCasse = drapeau && drapeau.IsScalar() &&
                                       drapeau.Scalar().find('i') != std::string::npos;
                std::string erreur;
                if (!s.liste->jeu.Ajoute(motif.Scalar(), sansCasse, erreur)) {
                    messages.push_back("Fichier " + chemin + ", ligne " + std::to_string(ligne) +
                                       " : expression invalide (" + erreur + "), entrée omise.");
                    continue;
                }
                const YAML::Node r = e[s.remplacement];
                s.liste->remplacements.push_back(r && r.IsScalar() ? r.Scalar() : std::string());
                if (s.liste == &appareils_ && s.liste->remplacements.back() == "Spider" &&
                    araignees_.Ajoute(motif.Scalar(), sansCasse, erreur)) {
                    indicesAraignees_.push_back(
                        static_cast<std::uint32_t>(appareils_.jeu.Taille() - 1));
                }
            }
            s.liste->jeu.Prepare();
        }
        araignees_.Prepare();
    } catch (const YAML::Exception& e) {
        navigateurs_ = Liste{}, systemes_ = Liste{}, appareils_ = Liste{};
        araignees_ = JeuExpressions{}, indicesAraignees_.clear();
        messages.push_back("Le fichier " + chemin + " n'est pas un YAML valide (ligne " +
                           std::to_string(e.mark.line + 1) + ")" + consequence);
        return false;
    }
    return true;
}

std::string ExpressionsUap::Famille(const Liste& liste, std::string_view agent) {
    Groupes g;
    return FamilleDe(liste, liste.jeu.Premiere(agent, &g), g);
}

std::string ExpressionsUap::FamilleDe(const Liste& liste, int k, const Groupes& g) {
    if (k < 0) {
        return "Other";
    }
    const std::string& modele = liste.remplacements[static_cast<std::size_t>(k)];
    std::string f = modele.empty() ? std::string(Rogne(g.nombre > 1 ? g.texte[1] : ""))
                                   : RemplaceGroupes(modele, g);
    return f.empty() ? "Other" : f;
}

std::string ExpressionsUap::Navigateur(std::string_view agent) const {
    return Famille(navigateurs_, agent);
}
std::string ExpressionsUap::Systeme(std::string_view agent) const {
    return Famille(systemes_, agent);
}
std::string ExpressionsUap::Appareil(std::string_view agent) const {
    return Famille(appareils_, agent);
}

bool ExpressionsUap::Araignee(std::string_view agent) const {
    const int a = araignees_.Premiere(agent);
    if (a < 0) {
        return false;
    }
    const std::uint32_t premiere = indicesAraignees_[static_cast<std::size_t>(a)];
    thread_local std::vector<std::uint32_t> candidates;
    appareils_.jeu.Candidates(agent, candidates);
    Groupes g;
    for (const std::uint32_t k : candidates) {
        if (k >= premiere) {
            break;
        }
        if (appareils_.jeu[k].Cherche(agent, &g)) {
            return FamilleDe(appareils_, static_cast<int>(k), g) == "Spider";
        }
    }
    return true;
}

} // namespace sillage
