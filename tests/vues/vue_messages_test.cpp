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
    EXPECT_EQ(TexteTablesOccupees("/srv/stats/"),
              "Les tables de /srv/stats sont utilisées par un autre programme.");
}

TEST(VueMessages, TheQuestionOnAKnownLogSaysWhatEachAnswerImports) {
    EXPECT_EQ(QuestionJournalConnu("07/12/2026 02:00:13", 1000000, 12345),
              "Ce journal a déjà été importé le 07/12/2026 à 02:00 (1 000 000 lignes).\n"
              "Oui : importer seulement les 12 345 lignes nouvelles.\n"
              "Non : importer à nouveau toutes ses lignes.");
    EXPECT_NE(QuestionJournalConnu("07/12/2026 02:00:13", 1, 1)
                  .find("(1 ligne).\nOui : importer seulement la ligne nouvelle."),
              std::string::npos);
    EXPECT_NE(QuestionJournalConnu("07/12/2026 02:00:13", 5, 0).find("il n'y en a aucune"),
              std::string::npos);
    const std::string q = QuestionRejeuImpossible("/var/log/a.log", "Raison.");
    EXPECT_NE(q.find("/var/log/a.log"), std::string::npos);
    EXPECT_NE(q.find("Oui : enregistrer les tables de cette fenêtre"), std::string::npos);
    EXPECT_NE(q.find("Non : ne rien enregistrer"), std::string::npos);
}

} // namespace
} // namespace sillage
