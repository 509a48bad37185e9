#include "vues/vue_messages.h"

#include <gtest/gtest.h>

namespace sillage {
namespace {

TEST(VueMessages, NumbersAndCountsReadAsFrenchWritesThem) {
    EXPECT_EQ(NombreEnFrancais(0), "0");
    EXPECT_EQ(NombreEnFrancais(999), "999");
    EXPECT_EQ(NombreEnFrancais(12345), "12 345");
    EXPECT_EQ(NombreEnFrancais(1000000), "1 000 000");
    EXPECT_EQ(NombreEnFrancais(-1234), "-1 234");
    EXPECT_EQ(CompteEnFrancais(0, "ligne", "lignes"), "0 ligne");
    EXPECT_EQ(CompteEnFrancais(1, "ligne", "lignes"), "1 ligne");
    EXPECT_EQ(CompteEnFrancais(2, "ligne", "lignes"), "2 lignes");
    EXPECT_EQ(TexteIllisiblesIgnorees(3, 1042),
              "3 lignes illisibles ignorées (première : ligne 1 042)");
    EXPECT_EQ(TexteDontRobots(4012), "dont 4 012 de robots");
    EXPECT_EQ(TexteDontRobots(0), "dont 0 de robots");
    EXPECT_EQ(TexteDontRobots(1), "dont 1 d'un robot");
    EXPECT_EQ(TexteTablesOccupees("/srv/stats/"),
              "Les tables de /srv/stats sont utilisées par un autre programme.");
}

TEST(VueMessages, TheQuestionOnAKnownLogNamesItAndWarnsBeforeCountingTwice) {
    EXPECT_EQ(QuestionJournalConnu("access.log", "07/12/2026 02:00:13", 1000000, 12345),
              "Le journal access.log a déjà été importé le 07/12/2026 à 02:00 (1 000 000 "
              "lignes).\nIl a 12 345 lignes nouvelles depuis.\n\n« Tout compter à nouveau » compte "
              "une deuxième fois les 1 000 000 lignes déjà comptées.");
    EXPECT_EQ(QuestionJournalConnu("a.log", "07/12/2026 02:00:13", 1, 1),
              "Le journal a.log a déjà été importé le 07/12/2026 à 02:00 (1 ligne).\nIl a une "
              "ligne nouvelle depuis.\n\n« Tout compter à nouveau » compte une deuxième fois la "
              "ligne déjà comptée.");
    // The warning names the button that counts twice, as it reads.
    EXPECT_NE(
        QuestionJournalConnu("a.log", "d", 5, 2).find("« " + std::string(kReponseToutCompter)),
        std::string::npos);
    EXPECT_EQ(kReponseLignesNouvelles, "Lignes nouvelles seulement");
    EXPECT_EQ(kReponseAnnuler, "Annuler");

    EXPECT_EQ(TexteRienDeNouveau("access.log.1", 20000),
              "Rien de nouveau dans access.log.1 : ses 20 000 lignes sont déjà comptées.");
    EXPECT_EQ(TexteRienDeNouveau("a.log", 1), "Rien de nouveau dans a.log : sa ligne est déjà "
                                              "comptée.");
    EXPECT_EQ(TexteRienDeNouveau("vide.log", 0), "Rien de nouveau dans vide.log.");

    const std::string q = QuestionRejeuImpossible("/var/log/a.log", "Raison.");
    EXPECT_NE(q.find("/var/log/a.log"), std::string::npos);
    EXPECT_NE(q.find("Oui : enregistrer les tables de cette fenêtre"), std::string::npos);
    EXPECT_NE(q.find("Non : ne rien enregistrer"), std::string::npos);
}

TEST(VueMessages, AFailureNamesItsFileOnce) {
    EXPECT_EQ(MessageDuFichier("/l/a.log", "Erreur à la lecture du fichier (ligne 3)"),
              "/l/a.log : Erreur à la lecture du fichier (ligne 3)");
    EXPECT_EQ(MessageDuFichier("/l/a.log",
                               "Impossible d'ouvrir le fichier /l/a.log : fichier introuvable"),
              "Impossible d'ouvrir le fichier /l/a.log : fichier introuvable");
    EXPECT_EQ(TexteDejaImporte("07/12/2026 02:00:13"),
              "déjà importé le 07/12/2026 à 02:00, compté à nouveau");
    EXPECT_EQ(TexteCompresseCoupe("a.gz").rfind("a.gz : fichier compressé coupé avant sa fin", 0),
              0u);
}

// The question on tables changed since their last save says what each answer does, its
// answers named as the buttons read.
TEST(VueMessages, TheQuestionOnChangedTablesSaysWhatEachAnswerDoes) {
    const std::string q = QuestionManifeste("Les tables de /t ont été modifiées : ...");
    EXPECT_EQ(q.rfind("Les tables de /t ont été modifiées : ...\n\n", 0), 0u);
    EXPECT_NE(q.find("« Garder une copie, puis accepter » garde d'abord une copie"),
              std::string::npos);
    EXPECT_NE(q.find("« Non » montre les tables sans jamais les enregistrer"), std::string::npos);
    EXPECT_EQ(TexteCopiesGardees({"/t/nom.lst.endommage-20260101-120000"}),
              "Copie gardée :\n/t/nom.lst.endommage-20260101-120000");
    EXPECT_EQ(TexteCopiesGardees({"/t/a", "/t/b"}), "Copies gardées :\n/t/a\n/t/b");
}

TEST(VueMessages, AFilteredListCountsItsRowsAsTheWindowWritesFigures) {
    EXPECT_EQ(TexteLignesFiltrees(12, 3212), "12 lignes sur 3 212");
    EXPECT_EQ(TexteLignesFiltrees(1, 1), "1 ligne sur 1");
    EXPECT_EQ(TexteLignesFiltrees(0, 1234567), "0 ligne sur 1 234 567");
}

} // namespace
} // namespace sillage
