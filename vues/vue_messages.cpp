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

std::string TexteDontRobots(std::int64_t robots) {
    return robots == 1 ? std::string("dont 1 d'un robot")
                       : "dont " + NombreEnFrancais(robots) + " de robots";
}

std::string MessageDuFichier(const std::string& fichier, const std::string& message) {
    if (message.find(fichier) != std::string::npos) {
        return message;
    }
    return fichier + " : " + message;
}

namespace {

// "07/12/2026 02:00:13", as the register writes dates, reads "le 07/12/2026 à 02:00".
std::string Quand(const std::string& date) {
    if (date.size() >= 16 && date[10] == ' ') {
        return "le " + date.substr(0, 10) + " à " + date.substr(11, 5);
    }
    return "le " + date;
}

} // namespace

std::string TexteDejaImporte(const std::string& date) {
    return "déjà importé " + Quand(date) + ", compté à nouveau";
}

std::string TexteCompresseCoupe(const std::string& fichier) {
    return fichier +
           " : fichier compressé coupé avant sa fin ; ses lignes entières sont comptées, la "
           "suite le sera quand il sera entier";
}

std::string QuestionJournalConnu(const std::string& nom, const std::string& date,
                                 std::int64_t lignes, std::int64_t nouvelles) {
    const std::string comptees = CompteEnFrancais(lignes, "ligne", "lignes");
    return "Le journal " + nom + " a déjà été importé " + Quand(date) + " (" + comptees +
           ").\nIl a " +
           (nouvelles == 1 ? std::string("une ligne nouvelle")
                           : NombreEnFrancais(nouvelles) + " lignes nouvelles") +
           " depuis.\n\n« " + std::string(kReponseToutCompter) + " » compte une deuxième fois " +
           (lignes == 1 ? std::string("la ligne déjà comptée")
                        : "les " + comptees + " déjà comptées") +
           ".";
}

std::string TexteRienDeNouveau(const std::string& nom, std::int64_t lignes) {
    if (lignes <= 0) {
        return "Rien de nouveau dans " + nom + ".";
    }
    return "Rien de nouveau dans " + nom + " : " +
           (lignes == 1
                ? std::string("sa ligne est déjà comptée")
                : "ses " + CompteEnFrancais(lignes, "ligne", "lignes") + " sont déjà comptées") +
           ".";
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

std::string QuestionManifeste(const std::string& differences) {
    return differences + "\n\nAccepter les fichiers tels qu'ils sont ? « " +
           std::string(kReponseGarderCopies) +
           " » garde d'abord une copie de chaque fichier qui a changé à côté des tables. « " +
           std::string(kReponseNePasAccepter) +
           " » montre les tables sans jamais les enregistrer : rien n'est écrit par-dessus.";
}

std::string TexteTablesNonAcceptees() {
    return "Les tables sont montrées telles qu'elles ont été lues, mais ni « Ouvrir » ni "
           "« Enregistrer » ne les changeront : restaurez les fichiers depuis une sauvegarde, ou "
           "rouvrez la fenêtre pour les accepter.";
}

std::string TexteCopiesGardees(const std::vector<std::string>& copies) {
    std::string texte = copies.size() == 1 ? "Copie gardée :" : "Copies gardées :";
    for (const std::string& c : copies) {
        texte += "\n" + c;
    }
    return texte;
}

std::string TexteLignesFiltrees(std::int64_t montrees, std::int64_t total) {
    return CompteEnFrancais(montrees, "ligne", "lignes") + " sur " + NombreEnFrancais(total);
}

} // namespace sillage
