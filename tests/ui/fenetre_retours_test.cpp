// The error-status tab driven through its 24 buttons.
#include "fenetre_commun.h"

#include "store/enregistrements.h"
#include "ui/onglets.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace sillage;
using namespace sillage::test;

namespace {

std::string Erreur(int id, const std::string& chemin, int acces, const std::string& statut) {
    RErreur e;
    e.Ident = id;
    e.Chemin = chemin;
    e.Acces = acces;
    e.Dernier = "d" + std::to_string(id);
    e.Statut = statut;
    return EcritErreur(e);
}

QStringList Gras(TFPrincip& f) {
    QStringList g;
    for (QPushButton* b : f.BoutonsRetour) {
        if (b->font().bold()) {
            g << b->objectName();
        }
    }
    return g;
}

QStringList Rangees(TFPrincip& f) {
    QStringList r;
    for (int i = 0; i < f.ModeleRetours->rowCount(); ++i) {
        r << Colonne(*f.ModeleRetours, 0)[i] + "|" + Colonne(*f.ModeleRetours, 1)[i] + "|" +
                 Colonne(*f.ModeleRetours, 2)[i];
    }
    return r;
}

} // namespace

class FenetreRetours : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { Dialogues::Automatique(true); }
    void init() { Dialogues::Oublie(); }

    void boutonsEtRangeesDUnStatut();
    void rangeeIllisible();
};

void FenetreRetours::boutonsEtRangeesDUnStatut() {
    FenetreDeTest t;
    t.EcritTable("erreur.lst", {Erreur(0, "/z.html", 3, "404"), Erreur(1, "/x", 9, "4040"),
                                Erreur(2, "/caf\xE9", 1, "404"), Erreur(3, "/c", 2, "500"),
                                Erreur(4, "/r", 5, "301"), Compteur(5)});
    TFPrincip& f = t.Ouvre();
    f.PageControl1->setCurrentIndex(8);
    QVERIFY(Gras(f).isEmpty());
    QVERIFY(f.LExpl3->text().isEmpty());
    QVERIFY(f.LExpl3->font().bold());

    QTest::mouseClick(f.findChild<QPushButton*>("B404"), Qt::LeftButton);
    QCOMPARE(Gras(f), QStringList({"B404"}));
    QCOMPARE(f.LExpl3->text(), QString("Erreur 404"));
    QCOMPARE(f.LExpl4->text(), QString("Not Found"));
    // Table order, and 4040 is not 404.
    QCOMPARE(Rangees(f), QStringList({"/z.html|3|d0", "/café|1|d2"}));
    QCOMPARE(f.LCount3->text(), QString("Il y a 2 fichier(s)"));

    QTest::mouseClick(f.findChild<QPushButton*>("B500"), Qt::LeftButton);
    QCOMPARE(Gras(f), QStringList({"B500"}));
    QCOMPARE(f.LExpl4->text(), QString("Internal Server Error"));
    QCOMPARE(Rangees(f), QStringList({"/c|2|d3"}));

    // Every button names its status; a status without rows counts 0.
    for (QPushButton* b : f.BoutonsRetour) {
        QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(Gras(f), QStringList({b->objectName()}));
        QCOMPARE(f.LExpl3->text(), "Erreur " + b->text());
        QVERIFY(!f.LExpl4->text().isEmpty());
    }
    QCOMPARE(f.LExpl4->text(), QString("HTTP Version not supported"));
    QCOMPARE(f.ModeleRetours->rowCount(), 0);
    QCOMPARE(f.LCount3->text(), QString("Il y a 0 fichier(s)"));
    QVERIFY(Dialogues::Messages().empty());

    // The space bar presses a button as the mouse does.
    QPushButton* b407 = f.findChild<QPushButton*>("B407");
    b407->setFocus();
    QTest::keyClick(b407, Qt::Key_Space);
    QCOMPARE(f.LExpl4->text(), QString("Proxy Authentification Required"));
}

void FenetreRetours::rangeeIllisible() {
    FenetreDeTest t;
    t.EcritTable("erreur.lst",
                 {Erreur(0, "/a", 3, "403"), "\\1;1\\2;/b\\3;x\\4;d\\5;403\\6;0\\7;", Compteur(2)});
    TFPrincip& f = t.Ouvre();
    QTest::mouseClick(f.findChild<QPushButton*>("B403"), Qt::LeftButton);
    QCOMPARE(Dialogues::Messages().size(), 1u);
    QCOMPARE(Dialogues::Messages()[0].texte, QString("'x' n'est pas une valeur entière correcte"));
    // No half list under the status.
    QCOMPARE(Gras(f), QStringList({"B403"}));
    QCOMPARE(f.ModeleRetours->rowCount(), 0);
    QVERIFY(f.LCount3->text().isEmpty());
    QVERIFY(f.LExpl3->text().isEmpty());
}

QTEST_MAIN(FenetreRetours)
#include "fenetre_retours_test.moc"
