// The texts of the questions and reports about imports and saves that the window and
// sillage-import share, built without Qt.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sillage {

// A whole number with its thousands apart, as French writes it: 1 234 567.
std::string NombreEnFrancais(std::int64_t n);
// "n mot": the number, then the singular for 0 and 1, the plural from 2 on.
std::string CompteEnFrancais(std::int64_t n, const std::string& singulier,
                             const std::string& pluriel);

// "Les tables de DIR sont utilisées par un autre programme." (dossier without its final
// separator).
std::string TexteTablesOccupees(std::string dossier);
// "N lignes illisibles ignorées (première : ligne K)".
std::string TexteIllisiblesIgnorees(std::int64_t n, std::int64_t premiere);
// How many of the hits of an import were robots', after its count of lines: "dont 4 012 de
// robots" ("dont 1 d'un robot").
std::string TexteDontRobots(std::int64_t robots);
// The message of a failure about the file fichier, naming it once: message itself when it names
// the file already, else "FICHIER : message".
std::string MessageDuFichier(const std::string& fichier, const std::string& message);
// What a whole import says of a log imported before (date as the register writes it): "déjà
// importé le 07/12/2026 à 02:00, compté à nouveau".
std::string TexteDejaImporte(const std::string& date);
// What an import of what is new says of a compressed log cut short: "FICHIER : fichier compressé
// coupé avant sa fin ; ...".
std::string TexteCompresseCoupe(const std::string& fichier);

// The question before importing a log that the register knows and that has new lines: nom its
// file's name, date when it was imported last as the register writes it (dd/mm/yyyy hh:mm:ss),
// lignes the lines counted then, nouvelles the whole lines after them (at least 1). Its answers
// read as their actions: kReponseLignesNouvelles, kReponseToutCompter, kReponseAnnuler.
std::string QuestionJournalConnu(const std::string& nom, const std::string& date,
                                 std::int64_t lignes, std::int64_t nouvelles);
inline constexpr std::string_view kReponseLignesNouvelles = "Lignes nouvelles seulement";
inline constexpr std::string_view kReponseToutCompter = "Tout compter à nouveau";
inline constexpr std::string_view kReponseAnnuler = "Annuler";
// In place of that question when the log has nothing new: "Rien de nouveau dans NOM : ...".
std::string TexteRienDeNouveau(const std::string& nom, std::int64_t lignes);
// After a line that stops the import: "Importer ce journal sans ses lignes illisibles ?"
std::string QuestionSansIllisibles();
// The question when the store changed on the disk and an import made in the window cannot be
// redone over it: what each answer would lose.
std::string QuestionRejeuImpossible(const std::string& chemin, const std::string& raison);

// The question when the store's files differ from the manifest of their last save: differences
// is the message that says which and what differs (ErreurManifeste). Its answers read as their
// actions: kReponseAccepter, kReponseGarderCopies, kReponseNePasAccepter (the default).
std::string QuestionManifeste(const std::string& differences);
inline constexpr std::string_view kReponseAccepter = "Accepter tels quels";
inline constexpr std::string_view kReponseGarderCopies = "Garder une copie, puis accepter";
inline constexpr std::string_view kReponseNePasAccepter = "Non";
// After the answer "Non" to that question: the tables are shown, never saved.
std::string TexteTablesNonAcceptees();
// The copies kept aside before the files were accepted (their names).
std::string TexteCopiesGardees(const std::vector<std::string>& copies);

// How many rows a filtered list shows of all its rows: "12 lignes sur 3 212".
std::string TexteLignesFiltrees(std::int64_t montrees, std::int64_t total);

} // namespace sillage
