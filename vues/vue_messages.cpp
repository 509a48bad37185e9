#include "vues/vue_messages.h"

namespace sillage {

std::string NombreEnFrancais(std::int64_t n) {
    std::string chiffres = std::to_string(n < 0 ? -n : n);
    for (auto i = static_cast<std::ptrdiff_t>(chiffres.size()) - 3; i > 0; i -= 3) {
        chiffres.insert(static_cast<std::size_t>(i), 1, ' ');
    }
    return n < 0 ? "-" + chiffres : chiffres;
}

std::string CompteEnFrancais(std::int64_t n, const std::string& singulier,
                             const std::string& pluriel) {
    return NombreEnFrancais(n) + " " + (n >= 2 ? pluriel : singulier);
}

std::string TexteTablesOccupees(std::string dossier) {
    while (dossier.size() > 1 && dossier.back() == '/') {
        dossier.pop_back();
    }
    return "Les tables de " + dossier + " sont utilisées par un autre programme.";
}

std::string TexteIllisiblesIgnorees(std::int64_t n, std::int64_t premiere) {
    return CompteEnFrancais(n, "ligne illisible ignorée", "lignes illisibles ignorées") +
           " (première : ligne " + NombreEnFrancais(premiere) + ")";
}

std::string QuestionJournalConnu(const std::string& date, std::int64_t lignes,
                                 std::int64_t nouvelles) {
    // "07/12/2026 02:00:00" reads "le 07/12/2026 à 02:00".
    std::string quand = date;
    if (date.size() >= 16 && date[10] == ' ') {
        quand = date.substr(0, 10) + " à " + date.substr(11, 5);
    }
    std::string seules =
        "Oui : importer seulement les " + NombreEnFrancais(nouvelles) + " lignes nouvelles.";
    if (nouvelles == 0) {
        seules = "Oui : n'importer que ses lignes nouvelles (il n'y en a aucune).";
    } else if (nouvelles == 1) {
        seules = "Oui : importer seulement la ligne nouvelle.";
    }
    return "Ce journal a déjà été importé le " + quand + " (" +
           CompteEnFrancais(lignes, "ligne", "lignes") + ").\n" + seules +
           "\nNon : importer à nouveau toutes ses lignes.";
}

std::string QuestionSansIllisibles() {
    return "Importer ce journal sans ses lignes illisibles ?";
}

std::string QuestionRejeuImpossible(const std::string& chemin, const std::string& raison) {
    return "Un autre programme a enregistré les tables depuis qu'elles ont été chargées ici, et "
           "l'import de " +
           chemin + " fait dans cette fenêtre ne peut pas être refait sur elles : " + raison +
           "\n\nOui : enregistrer les tables de cette fenêtre ; ce que l'autre programme a "
           "enregistré depuis est perdu.\nNon : ne rien enregistrer ; les tables du disque et "
           "celles de cette fenêtre restent telles qu'elles sont.";
}

} // namespace sillage
