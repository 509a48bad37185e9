// The error-status tab driven through its 24 buttons.
#include "fenetre_commun.h"

#include "ui/onglets.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace sillage;
using namespace sillage::test;

namespace {

// B400 to B417, then B500 to B505.
std::vector<QPushButton*> BoutonsRetour(TFPrincip& f) {
    std::vector<QPushButton*> b;
    for (int code = 400; code <= 505; code = code == 417 ? 500 : code + 1) {
        b.push_back(&Trouve<QPushButton>(f, ("B" + std::to_string(code)).c_str()));
    }
    return b;
}

QStringList Gras(TFPrincip& f) {
    QStringList g;
    for (QPushButton* b : BoutonsRetour(f)) {
        if (b->font().bold()) {
            g << b->objectName();
        }
    }
    return g;
}

} // namespace

class FenetreRetours : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { Dialogues::Automatique(true); }
    void init() { Dialogues::Oublie(); }

    void buttonsAndRowsOfAStatus();
    void unreadableRow();
    void theChosenStatusFollowsImportsAndResets();
};

void FenetreRetours::buttonsAndRowsOfAStatus() {
    FenetreDeTest t;
    t.EcritTable("erreur.lst", {RangeeErreur(0, "/z.html", 3, "d0", "404", 0),
                                RangeeErreur(1, "/x", 9, "d1", "4040", 0),
                                RangeeErreur(2, "/caf\xE9", 1, "d2", "404", 0),
                                RangeeErreur(3, "/c", 2, "d3", "500", 0),
                                RangeeErreur(4, "/r", 5, "d4", "301", 0), Compteur(5)});
    TFPrincip& f = t.Ouvre();
    Trouve<ControleOnglets>(f, "PageControl1").setCurrentIndex(8);
    const QLabel& LExpl3 = Trouve<QLabel>(f, "LExpl3");
    const QLabel& LExpl4 = Trouve<QLabel>(f, "LExpl4");
    const QLabel& LCount3 = Trouve<QLabel>(f, "LCount3");
    QVERIFY(Gras(f).isEmpty());
    QVERIFY(LExpl3.text().isEmpty());
    QVERIFY(LExpl3.font().bold());

    QTest::mouseClick(f.findChild<QPushButton*>("B404"), Qt::LeftButton);
    QCOMPARE(Gras(f), QStringList({"B404"}));
    QCOMPARE(LExpl3.text(), QString("Erreur 404"));
    QCOMPARE(LExpl4.text(), QString("Not Found"));
    // Table order, and 4040 is not 404.
    QCOMPARE(Rangees(TextesDe(f, "LVRetours")), QStringList({"/z.html|3|d0", "/café|1|d2"}));
    QCOMPARE(LCount3.text(), QString("Il y a 2 fichier(s)"));

    QTest::mouseClick(f.findChild<QPushButton*>("B500"), Qt::LeftButton);
    QCOMPARE(Gras(f), QStringList({"B500"}));
    QCOMPARE(LExpl4.text(), QString("Internal Server Error"));
    QCOMPARE(Rangees(TextesDe(f, "LVRetours")), QStringList({"/c|2|d3"}));

    // Every button names its status; a status without rows counts 0.
    for (QPushButton* b : BoutonsRetour(f)) {
        QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(Gras(f), QStringList({b->objectName()}));
        QCOMPARE(LExpl3.text(), "Erreur " + b->text());
        QVERIFY(!LExpl4.text().isEmpty());
    }
    QCOMPARE(LExpl4.text(), QString("HTTP Version not supported"));
    QCOMPARE(TextesDe(f, "LVRetours").rowCount(), 0);
    QCOMPARE(LCount3.text(), QString("Il y a 0 fichier(s)"));
    QVERIFY(Dialogues::Messages().empty());

    // The space bar presses a button as the mouse does.
    QPushButton* b407 = f.findChild<QPushButton*>("B407");
    b407->setFocus();
    QTest::keyClick(b407, Qt::Key_Space);
    QCOMPARE(LExpl4.text(), QString("Proxy Authentification Required"));
}

void FenetreRetours::unreadableRow() {
    FenetreDeTest t;
    t.EcritTable("erreur.lst", {RangeeErreur(0, "/a", 3, "d0", "403", 0),
                                "\\1;1\\2;/b\\3;x\\4;d\\5;403\\6;0\\7;", Compteur(2)});
    TFPrincip& f = t.Ouvre();
    QTest::mouseClick(f.findChild<QPushButton*>("B403"), Qt::LeftButton);
    QCOMPARE(Dialogues::Messages().size(), 1u);
    QCOMPARE(Dialogues::Messages()[0].texte, QString("'x' n'est pas une valeur entière correcte"));
    // No half list under the status.
    QCOMPARE(Gras(f), QStringList({"B403"}));
    QCOMPARE(TextesDe(f, "LVRetours").rowCount(), 0);
    QVERIFY(Trouve<QLabel>(f, "LCount3").text().isEmpty());
    QVERIFY(Trouve<QLabel>(f, "LExpl3").text().isEmpty());
}

void FenetreRetours::theChosenStatusFollowsImportsAndResets() {
    FenetreDeTest t;
    t.EcritTable("erreur.lst", {RangeeErreur(0, "/a", 3, "d0", "404", 0), Compteur(1)});
    TFPrincip& f = t.Ouvre();
    QTest::mouseClick(f.findChild<QPushButton*>("B404"), Qt::LeftButton);
    QCOMPARE(Rangees(TextesDe(f, "LVRetours")), QStringList({"/a|3|d0"}));

    // An import: the rows of the chosen status are those of the tables now.
    const std::string log = t.repertoire.Fichier("access.log");
    Ecrit(log, Journal({LigneLog("10.0.0.1", "14/Feb/2004:10:11:12", "/b", "404"),
                        LigneLog("10.0.0.1", "14/Feb/2004:10:11:13", "/a", "404")}));
    Dialogues::FichierSuivant(QString::fromStdString(log));
    Declenche(f, "Ouvrir1");
    QVERIFY(Dialogues::Messages().empty());
    QCOMPARE(Colonne(TextesDe(f, "LVRetours"), 0), QStringList({"/a", "/b", "/a"}));
    QCOMPARE(Trouve<QLabel>(f, "LCount3").text(), QString("Il y a 3 fichier(s)"));

    // A reset empties the store: no row is left of it.
    Dialogues::ReponseSuivante(QMessageBox::Yes);
    Declenche(f, "Reinitialiser1");
    QCOMPARE(TextesDe(f, "LVRetours").rowCount(), 0);
    QCOMPARE(Trouve<QLabel>(f, "LCount3").text(), QString("Il y a 0 fichier(s)"));
    QCOMPARE(Trouve<QLabel>(f, "LExpl3").text(), QString("Erreur 404"));
    QCOMPARE(Gras(f), QStringList({"B404"}));
}

QTEST_MAIN(FenetreRetours)
#include "fenetre_retours_test.moc"
