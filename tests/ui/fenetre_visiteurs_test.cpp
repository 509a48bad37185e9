// Who visits, in the window: the "Visiteurs" tab's four lists, their filter and copy, the
// summary's robot line, and "Ne pas compter les robots" from the options dialog to the tables.
#include "fenetre_commun.h"

#include "store/agents.h"
#include "store/options_robots.h"
#include "ui/onglets.h"
#include "ui/tfoptions.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <filesystem>

using namespace sillage;
using namespace sillage::test;

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

ControleOnglets& Onglets(TFPrincip& f) {
    return Trouve<ControleOnglets>(f, "PageControl1");
}

ModeleVisiteurs& VisiteursDe(TFPrincip& f, const char* vue) {
    return ModeleDe<ModeleVisiteurs>(f, vue);
}

QString Texte(TFPrincip& f, const char* label) {
    return Trouve<QLabel>(f, label).text();
}

// A log of persons (Firefox, Chrome) and robots (Googlebot, GPTBot, ClaudeBot), on hosts of two
// countries, one of them shared by a person and a robot.
std::vector<std::string> Journal() {
    return {LigneLog("8.8.8.8", "01/Mar/2004:10:00:00", "/", "200", "-", kAgentFirefox),
            LigneLog("8.8.8.8", "01/Mar/2004:10:00:01", "/a.png", "200", "-", kAgentFirefox),
            LigneLog("a.abo.wanadoo.fr", "01/Mar/2004:10:00:02", "/", "200", "-", kAgentChrome),
            LigneLog("66.249.66.1", "01/Mar/2004:10:00:03", "/", "200", "-", kAgentGoogle),
            LigneLog("66.249.66.1", "01/Mar/2004:10:00:04", "/b", "404", "-", kAgentGoogle),
            LigneLog("a.abo.wanadoo.fr", "01/Mar/2004:10:00:05", "/c", "200", "-", kAgentGpt),
            LigneLog("b.example.com", "01/Mar/2004:10:00:06", "/", "200", "-",
                     "<b>Sonde</b> \xE9t\xE9/1.0")};
}

} // namespace

class FenetreVisiteurs : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { Dialogues::Automatique(true); }
    void init() { Dialogues::Oublie(); }

    // After an import: the summary's robot line, then the tab's lists, computed when the tab is
    // shown; the filter narrows every list and says how many rows each shows; rows are copied.
    void theTabAndTheSummaryAfterAnImport() {
        FenetreDeTest t;
        Ecrit(t.repertoire.Fichier("robots.lst"), "^<b>Sonde\n");
        Ecrit(t.repertoire.Fichier("a.log"), test::Journal(Journal()));
        TFPrincip& f = t.Ouvre();
        QCOMPARE(Texte(f, "LRobots"), QString("0"));
        f.ImporteFichiers({Q(t.repertoire.Fichier("a.log"))});
        QVERIFY(Dialogues::Messages().empty());
        // Googlebot 2, GPTBot 1 and the user's robot 1, of 7 hits.
        QCOMPARE(Texte(f, "LRobots"), QString("4 (57,1 % des accès)"));
        QCOMPARE(VisiteursDe(f, "LVRobots").rowCount(), 0); // not computed while hidden

        Onglets(f).setCurrentIndex(9);
        QCOMPARE(Onglets(f).currentWidget()->objectName(), QString("TabSheet10"));
        QCOMPARE(Rangees(VisiteursDe(f, "LVNavigateurs")),
                 QStringList({"Firefox|2|66,7 %", "Chrome|1|33,3 %"}));
        QCOMPARE(Rangees(VisiteursDe(f, "LVSystemes")),
                 QStringList({"Linux|2|66,7 %", "Windows|1|33,3 %"}));
        // The robot named by the user's line (after the text it matched) is shown as text.
        QCOMPARE(Colonne(VisiteursDe(f, "LVRobots"), 0),
                 QStringList({"Googlebot", "GPTBot", "b>Sonde"}));
        QCOMPARE(Colonne(VisiteursDe(f, "LVRobots"), 2), QStringList({"2", "1", "1"}));
        QCOMPARE(
            Colonne(VisiteursDe(f, "LVRobots"), 3),
            QStringList({"01/Mar/2004:10:00:04", "01/Mar/2004:10:00:05", "01/Mar/2004:10:00:06"}));
        QCOMPARE(Colonne(VisiteursDe(f, "LVPays"), 0),
                 QStringList({"États-Unis", "France", "Inconnu"}));
        QCOMPARE(Colonne(VisiteursDe(f, "LVPays"), 1), QStringList({"2", "1", "1"}));
        // (Its tooltip shows it exactly: escaped, never taken for markup.)
        QCOMPARE(VisiteursDe(f, "LVRobots").index(2, 0).data(Qt::ToolTipRole).toString(),
                 QString("<p style='white-space:pre'>b&gt;Sonde</p>"));
        QCOMPARE(Texte(f, "LTitreRobots"), QString("Robots"));

        Trouve<QLineEdit>(f, "EFiltre6").setText("G");
        QTest::mouseClick(&Trouve<QPushButton>(f, "BFiltre6"), Qt::LeftButton);
        QCOMPARE(Colonne(VisiteursDe(f, "LVRobots"), 0), QStringList({"Googlebot", "GPTBot"}));
        QCOMPARE(VisiteursDe(f, "LVNavigateurs").rowCount(), 0);
        QCOMPARE(Texte(f, "LTitreRobots"), QString("Robots : 2 lignes sur 3"));
        Trouve<QLineEdit>(f, "EFiltre6").clear();
        QTest::keyClick(&Trouve<QLineEdit>(f, "EFiltre6"), Qt::Key_Return);
        QCOMPARE(VisiteursDe(f, "LVRobots").rowCount(), 3);
        QCOMPARE(Texte(f, "LTitreRobots"), QString("Robots"));

        auto& vue = Trouve<QTableView>(f, "LVPays");
        vue.setFocus();
        QTest::keyClick(&vue, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&vue, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QString("Pays\tHôtes\tAccès\tPart\nÉtats-Unis\t2\t4\t57,1 %\n"
                         "France\t1\t2\t28,6 %\nInconnu\t1\t1\t14,3 %\n"));

        // Saved with the tables; a reset empties the lists and the line.
        Declenche(f, "Enregistrer1");
        QVERIFY(std::filesystem::exists(t.repertoire.Fichier("agents.lst")));
        Dialogues::ReponseSuivante(QMessageBox::Yes);
        Declenche(f, "Reinitialiser1");
        QCOMPARE(VisiteursDe(f, "LVPays").rowCount(), 0);
        QCOMPARE(Texte(f, "LRobots"), QString("0"));
        QVERIFY(!std::filesystem::exists(t.repertoire.Fichier("agents.lst")));
    }

    // "Ne pas compter les robots", checked in the options dialog: the next import leaves the
    // robots' lines out of the statistics (the IP list), not out of the agents; the option is
    // saved beside options.lst and read again at the next start.
    void robotsLeftOutOnTheOptionsWord() {
        FenetreDeTest t;
        Ecrit(t.repertoire.Fichier("a.log"), test::Journal(Journal()));
        TFPrincip& f = t.Ouvre();
        TFOptions options(t.base);
        f.FixeDialogues(nullptr, &options);
        QTimer::singleShot(0, [&] {
            Trouve<QCheckBox>(options, "CBSansRobots").click();
            QTest::mouseClick(&Trouve<QPushButton>(options, "BOk"), Qt::LeftButton);
        });
        Declenche(f, "Options1");
        QVERIFY(LitSansRobots(t.base.ListeOptionsRobots));

        f.ImporteFichiers({Q(t.repertoire.Fichier("a.log"))});
        QCOMPARE(Colonne(ListeDe(f, "LVIP"), 0),
                 QStringList({"8.8.8.8", "a.abo.wanadoo.fr", "b.example.com"}));
        QCOMPARE(t.base.ListeAgents.Count(), 5u);
        QCOMPARE(Texte(f, "LRobots"), QString("3 (42,9 % des accès)"));
        Declenche(f, "Enregistrer1");
        QCOMPARE(Contenu(t.repertoire.Fichier("robots.options")), std::string("sans-robots=1\r\n"));
        QVERIFY(f.close());

        FenetreDeTest relue;
        relue.base.FixeRepertoire(t.repertoire.Chemin());
        relue.Ouvre();
        QVERIFY(LitSansRobots(relue.base.ListeOptionsRobots));
        QCOMPARE(Texte(*relue.fenetre, "LRobots"), QString("3 (42,9 % des accès)"));
    }
    // A period chosen: the summary's robot line and the tab show that period's agents only, and
    // the tab follows the selector while it is shown.
    void theVisitorsOfThePeriodChosen() {
        FenetreDeTest t;
        std::vector<std::string> lignes = Journal();
        lignes.push_back(
            LigneLog("8.8.8.8", "02/Apr/2004:09:00:00", "/avril", "200", "-", kAgentChrome));
        lignes.push_back(
            LigneLog("66.249.66.1", "02/Apr/2004:09:00:01", "/", "200", "-", kAgentGpt));
        Ecrit(t.repertoire.Fichier("a.log"), test::Journal(lignes));
        TFPrincip& f = t.Ouvre();
        f.ImporteFichiers({Q(t.repertoire.Fichier("a.log"))});
        QVERIFY(Dialogues::Messages().empty());
        Onglets(f).setCurrentIndex(9);
        const int robots = VisiteursDe(f, "LVRobots").rowCount();
        const QString resume = Texte(f, "LRobots");

        QComboBox& choix = Trouve<QComboBox>(f, "CBPeriode");
        const int avril = choix.findText("avril 2004");
        QVERIFY(avril >= 0);
        choix.setCurrentIndex(avril);
        emit choix.activated(avril);
        QCOMPARE(Texte(f, "LRobots"), QString("1 (50,0 % des accès)"));
        QCOMPARE(Colonne(VisiteursDe(f, "LVRobots"), 0), QStringList({"GPTBot"}));
        QCOMPARE(Rangees(VisiteursDe(f, "LVNavigateurs")), QStringList({"Chrome|1|100,0 %"}));

        const int tout = choix.findText("Tout l'historique");
        choix.setCurrentIndex(tout);
        emit choix.activated(tout);
        QCOMPARE(VisiteursDe(f, "LVRobots").rowCount(), robots);
        QCOMPARE(Texte(f, "LRobots"), resume);
    }
};

QTEST_MAIN(FenetreVisiteurs)
#include "fenetre_visiteurs_test.moc"
