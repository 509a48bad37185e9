#include "app/ligne_commande.h"

#include "sillage_version.h"

#include <algorithm>
#include <cstdlib>

namespace sillage {

namespace {

// Answers --help and --version: the status to end with, or nothing for another argument.
std::optional<int> Repond(const Programme& programme, const std::string& arg) {
    if (arg == "--help" || arg == "-h") {
        programme.usage(stdout);
        return 0;
    }
    if (arg == "--version" || arg == "-V") {
        std::printf("%s %s\n", programme.nom.c_str(), SILLAGE_VERSION);
        if (programme.versions) {
            for (const std::string& ligne : programme.versions()) {
                std::printf("%s\n", ligne.c_str());
            }
        }
        return 0;
    }
    return std::nullopt;
}

// The program's options, --dir first, which writes into ligne.
std::vector<OptionPropre> Options(const Programme& programme, LigneCommande& ligne) {
    std::vector<OptionPropre> options = {{"--dir", "un répertoire", [&ligne](const std::string& v) {
                                              ligne.repertoire = v;
                                              return !v.empty();
                                          }}};
    options.insert(options.end(), programme.options.begin(), programme.options.end());
    return options;
}

const OptionPropre* Cherche(const std::vector<OptionPropre>& options, const std::string& arg) {
    for (const OptionPropre& o : options) {
        if (arg == o.nom) {
            return &o;
        }
    }
    return nullptr;
}

} // namespace

std::optional<int> LitLigneCommande(const Programme& programme, int argc, const char* const* argv,
                                    LigneCommande& ligne) {
    const auto erreur = [&](const std::string& message) {
        return MauvaisUsage(programme, message);
    };
    const std::vector<OptionPropre> options = Options(programme, ligne);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (const std::optional<int> code = Repond(programme, arg)) {
            return code;
        }
        if (arg == "--") {
            ligne.fichiers.insert(ligne.fichiers.end(), argv + i + 1, argv + argc);
            break;
        }
        const OptionPropre* option = Cherche(options, arg);
        std::string valeur;
        if (option != nullptr) {
            if (!option->attendu.empty()) {
                valeur = i + 1 < argc ? argv[++i] : "";
            }
        } else if (const std::size_t egal = arg.find('='); egal != std::string::npos) {
            option = Cherche(options, arg.substr(0, egal));
            if (option != nullptr && option->attendu.empty()) {
                option = nullptr; // an option alone takes no value
            }
            valeur = arg.substr(egal + 1);
        }
        if (option != nullptr) {
            if (!option->prend(valeur)) {
                return erreur(option->nom + " attend " + option->attendu);
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            return erreur("option inconnue : " + arg);
        } else {
            ligne.fichiers.push_back(arg);
        }
    }
    return std::nullopt;
}

int MauvaisUsage(const Programme& programme, const std::string& message) {
    std::fprintf(stderr, "%s : %s\nEssayez « %s --help ».\n", programme.nom.c_str(),
                 message.c_str(), programme.nom.c_str());
    return 2;
}

std::optional<int> AideOuVersion(const Programme& programme, int argc, const char* const* argv) {
    LigneCommande ignoree;
    const std::vector<OptionPropre> options = Options(programme, ignoree);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            break;
        }
        if (const std::optional<int> code = Repond(programme, arg)) {
            return code;
        }
        if (const OptionPropre* option = Cherche(options, arg);
            option != nullptr && !option->attendu.empty()) {
            ++i;
        }
    }
    return std::nullopt;
}

bool LitSecondes(const std::string& texte, double& secondes) {
    if (texte.empty()) {
        return false;
    }
    std::string t = texte;
    std::replace(t.begin(), t.end(), ',', '.');
    char* fin = nullptr;
    secondes = std::strtod(t.c_str(), &fin);
    return fin == t.c_str() + t.size() && secondes >= 0 && secondes < 1e9 &&
           std::all_of(t.begin(), t.end(),
                       [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

std::string NomDossier(std::string dossier) {
    while (dossier.size() > 1 && dossier.back() == '/') {
        dossier.pop_back();
    }
    return dossier;
}

} // namespace sillage
