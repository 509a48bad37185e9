// The options dialog, driven as a user would: it shows the stored option at each showing,
// stores what Ok confirms and nothing else.
#include "store/base.h"
#include "ui/police.h"
#include "ui/tfoptions.h"

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
