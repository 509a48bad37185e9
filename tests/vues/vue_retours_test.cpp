#include "vues/vue_retours.h"

#include "store/base.h"
#include "store/erreur.h"

#include <gtest/gtest.h>

namespace sillage {
namespace {

std::string Erreur(int id, const std::string& chemin, const std::string& acces,
                   const std::string& statut) {
    return "\\1;" + std::to_string(id) + "\\2;" + chemin + "\\3;" + acces + "\\4;d" +
           std::to_string(id) + "\\5;" + statut + "\\6;" + std::to_string(id + 100) + "\\7;";
}

class RetoursTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const std::string& l :
             {Erreur(0, "/absent.html", "3", "404"), Erreur(1, "/x", "1", "4040"),
              Erreur(2, "/old", "8", "301"), Erreur(3, "/b.gif", "1", "404"),
              Erreur(4, "/cgi", "2", "500"), std::string("\\1;5\\2;")}) {
            base.ListeErreur.Ajoute(l);
        }
    }
    Base base;
};

TEST_F(RetoursTest, ListsRowsOfExactlyThatStatusInTableOrder) {
    const VueRetours v = CalculeRetours(base, "404");
    EXPECT_EQ(v.LExpl3, "Erreur 404");
    EXPECT_EQ(v.LExpl4, "Not Found");
    EXPECT_EQ(v.Lignes,
              (std::vector<LigneRetour>{{"/absent.html", "3", "d0"}, {"/b.gif", "1", "d3"}}));
    EXPECT_EQ(v.LCount3, "Il y a 2 fichier(s)");

    const VueRetours vide = CalculeRetours(base, "403");
    EXPECT_TRUE(vide.Lignes.empty());
    EXPECT_EQ(vide.LCount3, "Il y a 0 fichier(s)");
    EXPECT_EQ(vide.LExpl4, "Forbidden");
}

TEST_F(RetoursTest, NamesAreTheTabsOwnSpellings) {
    EXPECT_EQ(NomStatut(407), "Proxy Authentification Required");
    EXPECT_EQ(NomStatut(504), "Gateway Time-out");
    EXPECT_EQ(NomStatut(505), "HTTP Version not supported");
    EXPECT_EQ(NomStatut(301), "");
    const auto& statuts = StatutsRetours();
    EXPECT_EQ(statuts[17].Legende, "417");
    EXPECT_EQ(statuts[18].Legende, "500");
    for (const StatutRetour& s : statuts) {
        EXPECT_EQ(NomStatut(std::stoi(std::string(s.Legende))), s.Nom) << s.Legende;
    }
}

TEST_F(RetoursTest, CountIsShownAsReadAndABrokenRowFails) {
    base.ListeErreur.Remplace(0, Erreur(0, "/absent.html", "007", "404"));
    EXPECT_EQ(CalculeRetours(base, "404").Lignes[0].Acces, "7");
    base.ListeErreur.Remplace(0, Erreur(0, "/absent.html", "7x", "404"));
    EXPECT_THROW(CalculeRetours(base, "404"), ErreurSillage);
    EXPECT_EQ(CalculeRetours(base, "500").Lignes.size(), 1u); // other statuses still list
}

} // namespace
} // namespace sillage
