// The window's "Ouvrir" on logs that cannot be imported: the message says why, and the tables,
// the lists and the modified flag stay as they were.
#include "fenetre_commun.h"
#include "support/gzip.h"
#include "ui/tfoptions.h"

#include <QApplication>
#include <QCompleter>
#include <QFileDialog>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <QTimer>
#include <tuple>

using namespace sillage;
using namespace sillage::test;

namespace {

// A log line for /neuf.html, with its line end.
std::string Ligne(const std::string& hote, const std::string& date) {
    return Journal({LigneLog(hote, date, "/neuf.html")});
}

} // namespace

class FenetreImport : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { Dialogues::Automatique(true); }

    void logsThatCannotBeImported() {
        FenetreDeTest t;
        t.EcritTable("page.lst", {Rangee(0, "/a.html", 3), Compteur(1)});
        t.EcritTable("nom.lst", {Rangee(0, "10.0.0.1", 3), Compteur(1)});
        TFPrincip& f = t.Ouvre();
        const Base avant = t.base;

        std::string journal;
        for (int i = 0; i < 3000; ++i) {
            journal += Ligne("10.0.0." + std::to_string(i % 200), "14/Feb/2004:10:11:12");
        }
        const std::string gz = Gzip(journal);
        // The bytes, the message, and whether a line stopped the import while others could be
        // counted (the window then asks whether to import the log without such lines; its
        // default answer, Non, keeps everything as it was).
        const std::string chemin = t.repertoire.Fichier("journal.log");
        const std::vector<std::tuple<std::string, std::string, bool>> cas = {
            {"", chemin + " est vide", false},
            // A NUL byte makes its line unreadable; it no longer ends the log silently. Nothing
            // else could be counted: no question.
            {std::string(64, '\0'), chemin + " ne ressemble pas à un journal d'accès (ligne 1)",
             false},
            {"Bonjour,\nceci n'est pas un journal.\n",
             chemin + " ne ressemble pas à un journal d'accès (ligne 1)", false},
            // A first line of zeros before lines that can be counted.
            {std::string(64, '\0') + "\n" + Ligne("h", "14/Feb/2004:10:11:12"),
             chemin + " ne ressemble pas à un journal d'accès (ligne 1)", true},
            {Ligne("h", "14/Feb/2004:10:11:12") + Ligne("h", "14/Fev/2004:10:11:12"),
             "Erreur à la lecture du fichier (ligne 2)", true},
            {Ligne("h", "14/Feb/2004:10:11:12") + "\n", "'' n'est pas une valeur entière correcte",
             true},
            {gz.substr(0, gz.size() / 2),
             "Le fichier compressé " + chemin + " est coupé avant sa fin (ligne ", false},
        };
        for (int modifie : {0, 1}) {
            for (const auto& [octets, message, ligne] : cas) {
                Ecrit(chemin, octets);
                t.base.Modifie = modifie;
                Dialogues::Oublie();
                Dialogues::FichierSuivant(QString::fromStdString(chemin));
                Declenche(f, "Ouvrir1");

                QCOMPARE(Dialogues::Messages().size(), ligne ? 2u : 1u);
                QVERIFY2(
                    Dialogues::Messages()[0].texte.startsWith(QString::fromUtf8(message.c_str())),
                    qPrintable(Dialogues::Messages()[0].texte));
                if (ligne) {
                    QCOMPARE(Dialogues::Messages()[1].texte,
                             QStringLiteral("Importer ce journal sans ses lignes illisibles ?"));
                    QCOMPARE(Dialogues::Messages()[1].defaut, QMessageBox::No);
                }
                QCOMPARE(t.base.Modifie, modifie);
                for (const EntreeCatalogue& e : Base::Catalogue()) {
                    QVERIFY2(avant.*e.table == t.base.*e.table, e.fichier.data());
                }
                QCOMPARE(Colonne(ListeDe(f, "VLPages"), 0), QStringList({"/a.html"}));
                QCOMPARE(Colonne(ListeDe(f, "LVIP"), 0), QStringList({"10.0.0.1"}));
                QCOMPARE(Trouve<QProgressBar>(f, "ProgressBar1").value(), 0);
                QVERIFY(QApplication::overrideCursor() == nullptr);
            }
        }

        // The compressed log whole imports: its 200 hosts, 10.0.0.1 among them.
        Ecrit(t.repertoire.Fichier("journal.log.gz"), gz);
        Dialogues::Oublie();
        Dialogues::FichierSuivant(QString::fromStdString(t.repertoire.Fichier("journal.log.gz")));
        Declenche(f, "Ouvrir1");
        QVERIFY(Dialogues::Messages().empty());
        QCOMPARE(ListeDe(f, "LVIP").rowCount(), 200);
        QCOMPARE(Trouve<QProgressBar>(f, "ProgressBar1").value(), 100);
        QCOMPARE(t.base.Modifie, 1);
    }

    // A file name typed in the real open dialog, completed, and confirmed with Enter: the import
    // runs and no completion popup is left over the window to swallow the next click.
    void typedNameLeavesNoPopupBehind() {
        FenetreDeTest t;
        TFPrincip& f = t.Ouvre();
        Ecrit(t.repertoire.Fichier("acces.log"), Ligne("10.0.0.1", "14/Feb/2004:10:11:12"));
        // A first import from that folder (of another log, which the register does not take
        // for this one): the dialog starts there the next time.
        Ecrit(t.repertoire.Fichier("autre.log"), Ligne("10.0.0.1", "13/Feb/2004:10:11:12"));
        Dialogues::FichierSuivant(QString::fromStdString(t.repertoire.Fichier("autre.log")));
        Declenche(f, "Ouvrir1");
        Dialogues::Oublie();
        Dialogues::Automatique(false);
        bool complete = false;
        QTimer::singleShot(0, this, [&] {
            auto& dialogue = Trouve<QFileDialog>(f, "OpenDialog1");
            QTRY_VERIFY(dialogue.isVisible());
            QCOMPARE(dialogue.font().pixelSize(), 11);
            auto* nom = dialogue.findChild<QLineEdit*>("fileNameEdit");
            QVERIFY(nom != nullptr);
            QCompleter* completion = nom->completer();
            QVERIFY(completion != nullptr);
            // The folder is read in the background: type again until the popup offers the file.
            QTRY_VERIFY_WITH_TIMEOUT(
                [&] {
                    nom->clear();
                    QTest::keyClicks(nom, "acc");
                    return completion->popup()->isVisible();
                }(),
                10000);
            complete = true;
            QTest::keyClicks(nom, "es.log");
            // The keys go where the user's would: to the popup while it is open.
            QWidget* cible = QApplication::activePopupWidget();
            QTest::keyClick(cible != nullptr ? cible : nom, Qt::Key_Return);
            if (dialogue.isVisible()) {
                QTest::keyClick(nom, Qt::Key_Return);
            }
        });
        Declenche(f, "Ouvrir1");
        Dialogues::Automatique(true);
        QVERIFY(complete);
        QVERIFY(Dialogues::Messages().empty());
        QCOMPARE(Colonne(ListeDe(f, "LVIP"), 0), QStringList({"10.0.0.1"}));
        QVERIFY(QApplication::activePopupWidget() == nullptr);
        for (QWidget* w : QApplication::topLevelWidgets()) {
            QVERIFY2(!(w->isVisible() && w->windowType() == Qt::Popup),
                     qPrintable(w->objectName()));
        }
    }

    // The option typed in the dialog is what the next import excludes, and what a save writes.
    void dialogOptionAndNextImport() {
        FenetreDeTest t;
        TFPrincip& f = t.Ouvre();
        TFOptions options(t.base);
        auto* edit = options.findChild<QLineEdit*>("EExculdeOrigine");
        auto journal = [&](const std::string& origine) {
            const std::string chemin = t.repertoire.Fichier("journal.log");
            Ecrit(chemin, Journal({LigneLog("h", "14/Feb/2004:10:11:12", "/a", "200", origine)}));
            Dialogues::Oublie();
            Dialogues::FichierSuivant(QString::fromStdString(chemin));
            Declenche(f, "Ouvrir1");
            QVERIFY(Dialogues::Messages().empty());
        };

        // Ok with an empty text: no referrer is excluded, the site's own address included.
        options.show();
        edit->clear();
        QTest::mouseClick(options.findChild<QPushButton*>("BOk"), Qt::LeftButton);
        QCOMPARE(t.base.Modifie, 0);
        journal("http://www.example.com/index.html");
        QCOMPARE(ListeDe(f, "LVOrigine").rowCount(), 1);

        // Now the site's prefix: its pages are no referrers any more, others still are.
        options.show();
        edit->setText(QStringLiteral("http://www.example.com/"));
        QTest::mouseClick(options.findChild<QPushButton*>("BOk"), Qt::LeftButton);
        journal("http://www.example.com/autre.html");
        journal("http://ailleurs.example.org/");
        QCOMPARE(
            Colonne(ListeDe(f, "LVOrigine"), 0),
            QStringList({"http://www.example.com/index.html", "http://ailleurs.example.org/"}));

        Declenche(f, "Enregistrer1");
        QCOMPARE(Contenu(t.repertoire.Fichier("options.lst")),
                 std::string("http://www.example.com/\r\n"));
        QCOMPARE(t.base.Modifie, 0);
    }
};

QTEST_MAIN(FenetreImport)
#include "fenetre_import_test.moc"
