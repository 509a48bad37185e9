// The options dialog, driven as a user would: it shows the stored option at each showing,
// stores what Ok confirms and nothing else.
#include "store/base.h"
#include "store/options_robots.h"
#include "ui/police.h"
#include "ui/tfoptions.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using sillage::Base;
using sillage::TFOptions;

class FenetreOptions : public QObject {
    Q_OBJECT

  private:
    static std::string Option(const Base& base) { return std::string(base.ListeOptions[0]); }

  private slots:
    void layout() {
        Base base;
        TFOptions d(base);
        QCOMPARE(d.windowTitle(), QStringLiteral("Options"));
        QCOMPARE(d.size(), QSize(472, 319));
        QCOMPARE(d.minimumSize(), d.maximumSize());
        auto* ok = d.findChild<QPushButton*>("BOk");
        auto* annuler = d.findChild<QPushButton*>("BCancel");
        QVERIFY(ok && annuler && d.findChild<QLineEdit*>("EExculdeOrigine"));
        QVERIFY(ok->isDefault());
        QCOMPARE(annuler->text(), QStringLiteral("Annuler"));
        QCOMPARE(d.findChild<QWidget*>("Label1")->property("text").toString(),
                 QStringLiteral("Référent à exclure (site) :"));
        auto* robots = d.findChild<QCheckBox*>("CBSansRobots");
        QVERIFY(robots);
        QCOMPARE(robots->text(), QStringLiteral("Ne pas compter les robots"));
        // Below the referrer's line, above the buttons.
        QVERIFY(robots->geometry().top() >=
                d.findChild<QLineEdit*>("EExculdeOrigine")->geometry().bottom());
        QVERIFY(robots->geometry().bottom() < ok->geometry().top());
        // A small tool window at its place, in the main window's 11-pixel font.
        QVERIFY(d.windowFlags().testFlag(Qt::Tool));
        QVERIFY(!d.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(d.font(), sillage::PoliceSillage());
        QCOMPARE(ok->font().pixelSize(), 11);
        d.show();
        QCOMPARE(d.pos(), QPoint(290, 193));
        QCOMPARE(d.size(), QSize(472, 319));
    }

    void cancelledTypingIsForgottenAtNextShowing() {
        Base base;
        base.ListeOptions.Ajoute("http://caf\xE9.example/");
        TFOptions d(base);
        auto* edit = d.findChild<QLineEdit*>("EExculdeOrigine");
        d.show();
        QCOMPARE(edit->text(), QStringLiteral("http://café.example/"));
        edit->selectAll();
        QTest::keyClicks(edit, "http://ailleurs/");
        QTest::mouseClick(d.findChild<QPushButton*>("BCancel"), Qt::LeftButton);
        QVERIFY(!d.isVisible());
        QCOMPARE(Option(base), "http://caf\xE9.example/");

        d.show();
        QCOMPARE(edit->text(), QStringLiteral("http://café.example/"));
        QTest::keyClicks(edit, "x");
        QTest::keyClick(edit, Qt::Key_Escape);
        QVERIFY(!d.isVisible());
        QCOMPARE(Option(base), "http://caf\xE9.example/");
        d.show();
        d.close(); // the frame's close box
        QCOMPARE(Option(base), "http://caf\xE9.example/");
    }

    void okStoresTheTextAsTypedInWindows1252() {
        Base base;
        base.ListeOptions.Ajoute("http://www.example.com/");
        base.ListeOptions.Ajoute("seconde ligne");
        base.Modifie = 0;
        TFOptions d(base);
        auto* edit = d.findChild<QLineEdit*>("EExculdeOrigine");
        d.show();
        edit->clear();
        QTest::keyClicks(edit, "  http://");
        edit->insert(QStringLiteral("été")); // typed with a dead key or a compose sequence
        QTest::keyClicks(edit, ".example/ ");
        QTest::keyClick(edit, Qt::Key_Return); // Enter presses Ok
        QVERIFY(!d.isVisible());
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(Option(base), "  http://\xE9t\xE9.example/ ");
        QCOMPARE(base.ListeOptions.Count(), std::size_t{2});
        QCOMPARE(std::string(base.ListeOptions[1]), "seconde ligne");
        QCOMPARE(base.Modifie, 0);

        d.show();
        edit->clear();
        QTest::mouseClick(d.findChild<QPushButton*>("BOk"), Qt::LeftButton);
        QCOMPARE(Option(base), "");

        edit->setText(QStringLiteral("http://a/\nb")); // a pasted line break cannot split the line
        QTest::mouseClick(d.findChild<QPushButton*>("BOk"), Qt::LeftButton);
        QCOMPARE(Option(base), "http://a/b");
    }

    // "Ne pas compter les robots": off in a store that never had it, kept beside options.lst
    // (never inside it) once Ok confirms it, forgotten when cancelled.
    void theOptionOfRobotsIsKeptApartFromTheReferrer() {
        Base base;
        base.ListeOptions.Ajoute("http://site/");
        TFOptions d(base);
        auto* robots = d.findChild<QCheckBox*>("CBSansRobots");
        d.show();
        QVERIFY(!robots->isChecked());
        QTest::mouseClick(d.findChild<QPushButton*>("BOk"), Qt::LeftButton);
        QVERIFY(base.ListeOptionsRobots.Vide()); // nothing to keep: no file is written for it

        d.show();
        robots->click();
        QTest::mouseClick(d.findChild<QPushButton*>("BCancel"), Qt::LeftButton);
        QVERIFY(!sillage::LitSansRobots(base.ListeOptionsRobots));
        d.show();
        QVERIFY(!robots->isChecked());
        robots->click();
        QTest::mouseClick(d.findChild<QPushButton*>("BOk"), Qt::LeftButton);
        QVERIFY(sillage::LitSansRobots(base.ListeOptionsRobots));
        QCOMPARE(base.ListeOptions.Count(), std::size_t{1});
        QCOMPARE(Option(base), "http://site/");
        d.show();
        QVERIFY(robots->isChecked());
        robots->click();
        QTest::keyClick(d.findChild<QLineEdit*>("EExculdeOrigine"), Qt::Key_Return);
        QVERIFY(!sillage::LitSansRobots(base.ListeOptionsRobots));
    }

    void emptyOptionsTableShowsNothingAndOkAddsTheLine() {
        Base base;
        TFOptions d(base);
        d.show();
        auto* edit = d.findChild<QLineEdit*>("EExculdeOrigine");
        QCOMPARE(edit->text(), QString());
        QTest::keyClicks(edit, "http://site/");
        QTest::mouseClick(d.findChild<QPushButton*>("BOk"), Qt::LeftButton);
        QCOMPARE(base.ListeOptions.Count(), std::size_t{1});
        QCOMPARE(Option(base), "http://site/");
    }
};

QTEST_MAIN(FenetreOptions)
#include "fenetre_options_test.moc"
