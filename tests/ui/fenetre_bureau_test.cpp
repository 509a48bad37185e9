// The window on the desktop: the shortcuts of its commands, its icon and desktop entry, and the
// program's command line read before Qt needs a display.
#include "fenetre_commun.h"

#include "ui/identite.h"

#include <QApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

#include <filesystem>

using namespace sillage;
using namespace sillage::test;

namespace {

// The window made active, so that its shortcuts reach it.
void Active(TFPrincip& f) {
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
}

QList<QSize> Tailles(const QIcon& icone) {
    QList<QSize> t = icone.availableSizes();
    std::sort(t.begin(), t.end(), [](QSize a, QSize b) { return a.width() < b.width(); });
    return t;
}

// sillage run with arguments and no display at all: its exit status and what it wrote on the
// standard error.
std::pair<int, QString> SansEcran(const QStringList& arguments) {
    QProcess programme;
    QProcessEnvironment environnement = QProcessEnvironment::systemEnvironment();
    environnement.remove(QStringLiteral("DISPLAY"));
    environnement.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environnement.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    programme.setProcessEnvironment(environnement);
    programme.start(QStringLiteral(SILLAGE_PROGRAMME), arguments);
    if (!programme.waitForFinished(30000)) {
        return {-1, QStringLiteral("(no end)")};
    }
    return {programme.exitStatus() == QProcess::NormalExit ? programme.exitCode() : -1,
            QString::fromUtf8(programme.readAllStandardError())};
}

} // namespace

class FenetreBureau : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { Dialogues::Automatique(true); }
    void init() { Dialogues::Oublie(); }

    void ctrlOOpensAndCtrlSSaves() {
        FenetreDeTest t;
        TFPrincip& f = t.Ouvre();
        QCOMPARE(Trouve<QAction>(f, "Ouvrir1").shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
        QCOMPARE(Trouve<QAction>(f, "Enregistrer1").shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
        const std::string log = t.repertoire.Fichier("access.log");
        Ecrit(log, Journal({LigneLog("10.0.0.1", "14/Feb/2004:10:11:12", "/a.html")}));
        Active(f);

        Dialogues::FichierSuivant(QString::fromStdString(log));
        QTest::keyClick(&f, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(Colonne(ListeDe(f, "LVIP"), 0), QStringList({"10.0.0.1"}));
        QCOMPARE(t.base.Modifie, 1);
        QTest::keyClick(&f, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(t.base.Modifie, 0);
        QVERIFY(std::filesystem::exists(t.repertoire.Fichier("nom.lst")));
        QVERIFY(Dialogues::Messages().empty());
    }

    // After a start-up that could not read every table, neither command nor shortcut may write
    // the partial tables over the files.
    void noShortcutSavesPartialTables() {
        FenetreDeTest t;
        std::filesystem::create_directory(t.repertoire.Fichier("page.lst"));
        TFPrincip& f = t.Ouvre();
        Active(f);
        Dialogues::Oublie();
        QTest::keyClick(&f, Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(&f, Qt::Key_O, Qt::ControlModifier);
        QVERIFY(!std::filesystem::exists(t.repertoire.Fichier("nom.lst")));
        QVERIFY(Dialogues::Messages().empty());
    }

    void iconAndDesktopEntry() {
        FenetreDeTest t;
        TFPrincip& f = t.Ouvre();
        const QList<QSize> tailles = {{48, 48}, {128, 128}, {256, 256}};
        QCOMPARE(Tailles(f.windowIcon()), tailles);

        IdentifieApplication();
        QCOMPARE(Tailles(QApplication::windowIcon()), tailles);
        // Docks match the window to the desktop entry that the package installs.
        QCOMPARE(QGuiApplication::desktopFileName(), QString("sillage"));
        QVERIFY(std::filesystem::exists(std::string(DOSSIER_BUREAU) + "/" +
                                        QGuiApplication::desktopFileName().toStdString() +
                                        ".desktop"));
    }

    // Without a display, Qt cannot start: what the command line says is said before.
    void theCommandLineIsReadBeforeQtStarts() {
        const auto [code, erreur] = SansEcran({"--option-inconnue"});
        QCOMPARE(code, 2);
        QVERIFY2(erreur.startsWith("sillage : option inconnue : --option-inconnue\n"),
                 qPrintable(erreur));
        // Qt's own options are left to Qt, with their values.
        const auto [codeQt, erreurQt] =
            SansEcran({"-platform", "offscreen", "-style=fusion", "--option-inconnue"});
        QCOMPARE(codeQt, 2);
        QVERIFY2(erreurQt.startsWith("sillage : option inconnue : --option-inconnue\n"),
                 qPrintable(erreurQt));
        QCOMPARE(SansEcran({"--dir"}).first, 2);
        QCOMPARE(SansEcran({"--version"}).first, 0);
    }
};

QTEST_MAIN(FenetreBureau)
#include "fenetre_bureau_test.moc"
