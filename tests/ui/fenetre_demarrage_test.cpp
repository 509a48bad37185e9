// The window started on logs (sillage FICHIER...) imports them as "Ouvrir" would, and the open
// dialog starts beside the program's store, else where the last log was, else in the home.
#include "fenetre_commun.h"
#include "store/emplacement.h"

#include <QDir>
#include <QFileDialog>
#include <QProgressBar>
#include <QTest>

#include <cstdlib>
#include <filesystem>

using namespace sillage;
using namespace sillage::test;

namespace {

// Two hits of one host on one page, the second an error.
std::string DeuxAcces(const std::string& hote, const std::string& page) {
    return Journal({LigneLog(hote, "14/Feb/2004:10:11:12", page),
                    LigneLog(hote, "15/Feb/2004:11:12:13", page, "404")});
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// The open dialog's folder, without a final separator.
std::string DossierDuDialogue(const TFPrincip& f) {
    return QDir::cleanPath(Trouve<QFileDialog>(f, "OpenDialog1").directory().absolutePath())
        .toStdString();
}

std::string Propre(const std::string& chemin) {
    return QDir::cleanPath(Q(chemin)).toStdString();
}

} // namespace

class FenetreDemarrage : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { Dialogues::Automatique(true); }

    void logsOnTheCommandLineImportAsOuvrir() {
        RepertoireTemporaire logs;
        Ecrit(logs.Fichier("a.log"), DeuxAcces("10.0.0.1", "/a.html"));
        Ecrit(logs.Fichier("b.log"), DeuxAcces("10.0.0.2", "/b.html"));
        Ecrit(logs.Fichier("vide.log"), "");

        FenetreDeTest parOuvrir;
        TFPrincip& f1 = parOuvrir.Ouvre();
        Dialogues::Oublie();
        for (const char* nom : {"a.log", "b.log"}) {
            Dialogues::FichierSuivant(Q(logs.Fichier(nom)));
            Declenche(f1, "Ouvrir1");
        }
        QVERIFY(Dialogues::Messages().empty());

        FenetreDeTest parLigne;
        TFPrincip& f2 = parLigne.Ouvre();
        Dialogues::Oublie();
        f2.ImporteFichiers({Q(logs.Fichier("a.log")), Q(logs.Fichier("b.log"))});
        QVERIFY(Dialogues::Messages().empty());
        for (const EntreeCatalogue& e : Base::Catalogue()) {
            QVERIFY2(parOuvrir.base.*e.table == parLigne.base.*e.table, e.fichier.data());
        }
        QCOMPARE(parLigne.base.Modifie, 1);
        QCOMPARE(Colonne(ListeDe(f2, "LVIP"), 0).size(), 2);
        QCOMPARE(Trouve<QProgressBar>(f2, "ProgressBar1").value(), 100);

        // A log that fails shows its error as "Ouvrir" does, changes nothing, and the logs
        // after it are not imported.
        FenetreDeTest arret;
        TFPrincip& f3 = arret.Ouvre();
        Dialogues::Oublie();
        f3.ImporteFichiers(
            {Q(logs.Fichier("a.log")), Q(logs.Fichier("vide.log")), Q(logs.Fichier("b.log"))});
        QCOMPARE(Dialogues::Messages().size(), 1u);
        QCOMPARE(Dialogues::Messages()[0].titre, QStringLiteral("Erreur"));
        QCOMPARE(Dialogues::Messages()[0].texte, Q(logs.Fichier("vide.log") + " est vide"));
        QCOMPARE(Colonne(ListeDe(f3, "LVIP"), 0), QStringList({"10.0.0.1"}));
        QCOMPARE(Trouve<QProgressBar>(f3, "ProgressBar1").value(), 0);

        // A log that cannot be opened: its message names it.
        FenetreDeTest absent;
        TFPrincip& f4 = absent.Ouvre();
        Dialogues::Oublie();
        f4.ImporteFichiers({Q(logs.Fichier("absent.log")), Q(logs.Fichier("a.log"))});
        QCOMPARE(Dialogues::Messages().size(), 1u);
        QCOMPARE(Dialogues::Messages()[0].texte,
                 Q("Impossible d'ouvrir le fichier " + logs.Fichier("absent.log") +
                   " : fichier introuvable"));
        QCOMPARE(absent.base.Modifie, 0);
        QCOMPARE(ListeDe(f4, "LVIP").rowCount(), 0);
    }

    void theOpenDialogsFolder() {
        RepertoireTemporaire home;
        const QByteArray homeAvant = qgetenv("HOME");
        qputenv("HOME", QByteArray::fromStdString(home.Chemin()));
        RepertoireTemporaire logs;
        Ecrit(logs.Fichier("a.log"), DeuxAcces("10.0.0.1", "/a.html"));
        std::filesystem::create_directory(logs.Fichier("sous"));
        Ecrit(logs.Fichier("sous/vide.log"), "");

        // A store elsewhere than the program: the home first, then the last log's folder, be
        // it chosen in the dialog or named on the command line, imported or not.
        {
            FenetreDeTest t;
            TFPrincip& f = t.Ouvre();
            QCOMPARE(DossierDuDialogue(f), Propre(home.Chemin()));
            Dialogues::Oublie();
            Dialogues::FichierSuivant(Q(logs.Fichier("a.log")));
            Declenche(f, "Ouvrir1");
            Declenche(f, "Ouvrir1"); // cancelled
            QCOMPARE(DossierDuDialogue(f), Propre(logs.Chemin()));
            f.ImporteFichiers({Q(logs.Fichier("sous/vide.log"))});
            Declenche(f, "Ouvrir1");
            QCOMPARE(DossierDuDialogue(f), Propre(logs.Fichier("sous")));
            t.base.Modifie = 0; // nothing to save when the window goes
        }

        // The store beside the program: the dialog starts there whatever was opened. The log
        // fails, so nothing is ever saved beside the test program.
        {
            Base base(DossierProgramme());
            TFPrincip f(base);
            f.show();
            QCOMPARE(DossierDuDialogue(f), Propre(DossierProgramme()));
            Dialogues::Oublie();
            f.ImporteFichiers({Q(logs.Fichier("sous/vide.log"))});
            QCOMPARE(Dialogues::Messages().size(), 1u);
            Declenche(f, "Ouvrir1");
            QCOMPARE(DossierDuDialogue(f), Propre(DossierProgramme()));
            QCOMPARE(base.Modifie, 0);
        }
        qputenv("HOME", homeAvant);
    }
};

QTEST_MAIN(FenetreDemarrage)
#include "fenetre_demarrage_test.moc"
