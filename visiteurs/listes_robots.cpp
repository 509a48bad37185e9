#include "visiteurs/listes_robots.h"

#include "visiteurs/fichiers_donnees.h"
#include "visiteurs/json.h"

namespace sillage {

namespace {

// A user's expression that gave up this many times on the bounds is no longer tried.
constexpr std::uint64_t kAbandonsUtilisateur = 3;
// Longest robot name kept whole.
constexpr std::size_t kNomLong = 40;

bool Mot(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c >= 0x80;
}

std::string_view SansSignes(std::string_view s) {
    while (!s.empty() && !Mot(static_cast<unsigned char>(s.front()))) {
        s.remove_prefix(1);
    }
    while (!s.empty() && !Mot(static_cast<unsigned char>(s.back()))) {
        s.remove_suffix(1);
    }
    return s;
}

} // namespace

std::string NomRobot(std::string_view correspondance, std::string_view motif) {
    std::string_view n = SansSignes(correspondance);
    if (n.size() > kNomLong) {
        std::size_t k = 0;
        while (k < n.size() && (Mot(static_cast<unsigned char>(n[k])) || n[k] == '-' ||
                                n[k] == '_' || n[k] == '.')) {
            ++k;
        }
        n = SansSignes(n.substr(0, std::min(k, kNomLong)));
    }
    return std::string(n.empty() ? motif : n);
}

bool ListeRobots::Charge(const std::string& chemin, std::vector<std::string>& messages) {
    const std::optional<std::string> texte = LitFichierDonnees(chemin);
    if (!texte) {
        jeu_ = JeuExpressions{}, motifs_.clear();
        messages.push_back("Impossible de lire le fichier " + chemin +
                           " : les robots sont reconnus sans la liste des robots connus.");
        return false;
    }
    return ChargeTexte(*texte, chemin, messages);
}

bool ListeRobots::ChargeTexte(std::string_view texte, const std::string& chemin,
                              std::vector<std::string>& messages) {
    jeu_ = JeuExpressions{}, motifs_.clear();
    ValeurJson racine;
    int ligne = 0;
    std::string erreur;
    const std::string consequence = " : les robots sont reconnus sans la liste des robots connus.";
    if (!LitJson(texte, racine, ligne, erreur)) {
        messages.push_back("Le fichier " + chemin + " n'est pas un JSON valide (ligne " +
                           std::to_string(ligne) + ", " + erreur + ")" + consequence);
        return false;
    }
    if (racine.genre != ValeurJson::Genre::Tableau) {
        messages.push_back("Le fichier " + chemin + " n'est pas une liste de robots" + consequence);
        return false;
    }
    for (std::size_t k = 0; k < racine.elements.size(); ++k) {
        const ValeurJson* motif = racine.elements[k].Membre("pattern");
        const std::string entree = "Fichier " + chemin + ", entrée " + std::to_string(k + 1);
        if (!motif || !motif->EstTexte()) {
            messages.push_back(entree + " : une entrée sans motif est omise.");
            continue;
        }
        if (!jeu_.Ajoute(motif->texte, false, erreur)) {
            messages.push_back(entree + " : « " + motif->texte +
                               " » n'est pas une expression valide (" + erreur +
                               "), entrée omise.");
            continue;
        }
        motifs_.push_back(motif->texte);
    }
    jeu_.Prepare();
    return true;
}

std::optional<std::string> ListeRobots::Robot(std::string_view agent) const {
    Groupes g;
    const int k = jeu_.Premiere(agent, &g);
    if (k < 0) {
        return std::nullopt;
    }
    return NomRobot(g.texte[0], motifs_[static_cast<std::size_t>(k)]);
}

void RobotsUtilisateur::Charge(const std::string& chemin, std::vector<std::string>& messages) {
    const std::optional<std::string> texte = LitFichierDonnees(chemin);
    ChargeTexte(texte ? *texte : std::string(), chemin, messages);
}

void RobotsUtilisateur::ChargeTexte(std::string_view texte, const std::string& chemin,
                                    std::vector<std::string>& messages) {
    jeu_ = JeuExpressions{};
    personne_.clear(), motifs_.clear(), lignes_.clear();
    chemin_ = chemin;
    texte_ = std::string(texte);
    jeu_.FixeAbandonsMax(kAbandonsUtilisateur);
    int numero = 0;
    std::size_t debut = 0;
    while (debut < texte.size()) {
        std::size_t fin = texte.find('\n', debut);
        if (fin == std::string_view::npos) {
            fin = texte.size();
        }
        std::string_view l = texte.substr(debut, fin - debut);
        debut = fin + 1;
        ++numero;
        if (!l.empty() && l.back() == '\r') {
            l.remove_suffix(1);
        }
        if (l.find_first_not_of(" \t") == std::string_view::npos || l.front() == '#') {
            continue;
        }
        const bool personne = l.front() == '!';
        const std::string_view motif = personne ? l.substr(1) : l;
        std::string erreur;
        if (motif.empty()) {
            messages.push_back("Fichier " + chemin + ", ligne " + std::to_string(numero) +
                               " : « ! » sans expression, ligne ignorée.");
            continue;
        }
        if (!jeu_.Ajoute(motif, false, erreur)) {
            messages.push_back("Fichier " + chemin + ", ligne " + std::to_string(numero) + " : « " +
                               std::string(motif) +
                               " » n'est pas une expression régulière valide (" + erreur +
                               "), ligne ignorée.");
            continue;
        }
        personne_.push_back(personne);
        motifs_.emplace_back(motif);
        lignes_.push_back(numero);
    }
    jeu_.Prepare();
}

std::optional<RobotsUtilisateur::Verdict> RobotsUtilisateur::Decide(std::string_view agent) const {
    if (jeu_.Taille() == 0) {
        return std::nullopt;
    }
    Groupes g;
    const int k = jeu_.Premiere(agent, &g);
    if (k < 0) {
        return std::nullopt;
    }
    const auto i = static_cast<std::size_t>(k);
    if (personne_[i]) {
        return Verdict{false, {}};
    }
    return Verdict{true, NomRobot(g.texte[0], motifs_[i])};
}

std::vector<std::string> RobotsUtilisateur::MessagesAbandons() const {
    std::vector<std::string> m;
    for (std::size_t k = 0; k < jeu_.Taille(); ++k) {
        if (jeu_[k].Abandons() > 0) {
            m.push_back("Fichier " + chemin_ + ", ligne " + std::to_string(lignes_[k]) +
                        " : l'expression demande trop de calcul sur certains agents" +
                        (jeu_.Ecartee(k) ? " ; elle n'est plus essayée." : "."));
        }
    }
    return m;
}

} // namespace sillage
