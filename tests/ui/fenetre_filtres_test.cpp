// The filters of the Pages, Images, IP and Référents lists, driven through their edits.
#include "fenetre_commun.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

using namespace sillage;
using namespace sillage::test;

namespace {

// A click on the "Appliquer" button named nom.
void Applique(TFPrincip& f, const char* nom) {
    QTest::mouseClick(&Trouve<QPushButton>(f, nom), Qt::LeftButton);
}

} // namespace

class FenetreFiltres : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { Dialogues::Automatique(true); }
    void init() { Dialogues::Oublie(); }

    void filterIsCaseSensitive();
    void refreshListsEverythingAndKeepsTheText();
    void releasedEnterAppliesTheFilter();
    void eachListFiltersItsNameField();
    void tableLineOfAFilteredRow();
    void aFilteredListSaysHowManyRowsMatch();

  private:
    void Prepare(FenetreDeTest& t) {
        t.EcritTable("page.lst",
                     {Rangee(0, "/index.html", 9), Rangee(1, "/a.html", 7), Rangee(2, "/b.htm", 5),
                      Rangee(3, "/caf\xE9.html", 2), Compteur(4)});
        t.EcritTable("image.lst",
                     {Rangee(0, "/logo.gif", 4), Rangee(1, "/Logo.png", 1), Compteur(2)});
        t.EcritTable("nom.lst",
                     {Rangee(0, "10.0.0.1", 9), Rangee(1, "proxy.example.org", 8), Compteur(2)});
        t.EcritTable("origine.lst", {Rangee(0, "http://moteur.example/?q=1", 3),
                                     Rangee(1, "-x-", 1), Compteur(2)});
        t.Ouvre();
    }
};

void FenetreFiltres::filterIsCaseSensitive() {
    FenetreDeTest t;
    Prepare(t);
    TFPrincip& f = *t.fenetre;

    Trouve<QLineEdit>(f, "EFiltre1").setText("INDEX");
    QTest::mouseClick(&Trouve<QPushButton>(f, "BFiltre1"), Qt::LeftButton);
    QCOMPARE(ListeDe(f, "VLPages").rowCount(), 0);

    Trouve<QLineEdit>(f, "EFiltre1").setText("index");
    QTest::mouseClick(&Trouve<QPushButton>(f, "BFiltre1"), Qt::LeftButton);
    QCOMPARE(Colonne(ListeDe(f, "VLPages"), 0), QStringList({"/index.html"}));

    Trouve<QLineEdit>(f, "EFiltre1").setText(".htm");
    Applique(f, "BFiltre1");
    QCOMPARE(ListeDe(f, "VLPages").rowCount(), 4);

    // Accented text is compared as the table's Windows-1252 bytes.
    Trouve<QLineEdit>(f, "EFiltre1").setText("fé");
    Applique(f, "BFiltre1");
    QCOMPARE(Colonne(ListeDe(f, "VLPages"), 0), QStringList({"/café.html"}));
    Trouve<QLineEdit>(f, "EFiltre1").setText("fe");
    Applique(f, "BFiltre1");
    QCOMPARE(ListeDe(f, "VLPages").rowCount(), 0);
    // A character Windows-1252 cannot hold is in no name.
    Trouve<QLineEdit>(f, "EFiltre1").setText("\u03A9");
    Applique(f, "BFiltre1");
    QCOMPARE(ListeDe(f, "VLPages").rowCount(), 0);

    // Blanks count; an empty edit lists everything again.
    Trouve<QLineEdit>(f, "EFiltre1").setText(" /a");
    Applique(f, "BFiltre1");
    QCOMPARE(ListeDe(f, "VLPages").rowCount(), 0);
    Trouve<QLineEdit>(f, "EFiltre1").clear();
    Applique(f, "BFiltre1");
    QCOMPARE(ListeDe(f, "VLPages").rowCount(), 4);
}

void FenetreFiltres::refreshListsEverythingAndKeepsTheText() {
    FenetreDeTest t;
    Prepare(t);
    TFPrincip& f = *t.fenetre;

    Trouve<QLineEdit>(f, "EFiltre4").setText("proxy");
    Applique(f, "BFiltre4");
    QCOMPARE(ListeDe(f, "LVIP").rowCount(), 1);
    // The filter shows less; the indexes, the summary and the table keep everything.
    t.base.AssureIndex();
    QCOMPARE(t.base.IndexNom.Count(), 2u);
    QCOMPARE(t.base.ListeNom.Count(), 3u);
    QCOMPARE(Trouve<QTableWidget>(f, "SGGen").item(2, 1)->text(), QString("2"));

    f.RafraichitVues();
    QCOMPARE(ListeDe(f, "LVIP").rowCount(), 2);
    QCOMPARE(Trouve<QLineEdit>(f, "EFiltre4").text(), QString("proxy"));
    t.base.AssureIndex();
    QCOMPARE(t.base.IndexNom.Count(), 2u);
}

void FenetreFiltres::releasedEnterAppliesTheFilter() {
    FenetreDeTest t;
    Prepare(t);
    TFPrincip& f = *t.fenetre;

    // Typing alone never filters, nor does pressing Enter before it is released.
    QTest::keyClicks(&Trouve<QLineEdit>(f, "EFiltre1"), "b.h");
    QCOMPARE(Trouve<QLineEdit>(f, "EFiltre1").text(), QString("b.h"));
    QCOMPARE(ListeDe(f, "VLPages").rowCount(), 4);
    QTest::keyPress(&Trouve<QLineEdit>(f, "EFiltre1"), Qt::Key_Return);
    QCOMPARE(ListeDe(f, "VLPages").rowCount(), 4);

    QTest::keyRelease(&Trouve<QLineEdit>(f, "EFiltre1"), Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(Colonne(ListeDe(f, "VLPages"), 0), QStringList({"/b.htm"}));

    // The keypad's Enter, with Ctrl held, on another list.
    QTest::keyClicks(&Trouve<QLineEdit>(f, "EFiltre3"), "logo");
    QCOMPARE(ListeDe(f, "LVImages").rowCount(), 2);
    QTest::keyClick(&Trouve<QLineEdit>(f, "EFiltre3"), Qt::Key_Enter, Qt::ControlModifier);
    QCOMPARE(Colonne(ListeDe(f, "LVImages"), 0), QStringList({"/logo.gif"}));

    // An auto-repeated release is not the key coming up.
    Trouve<QLineEdit>(f, "EFiltre5").setText("moteur");
    QKeyEvent repetee(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QString(), true);
    QCoreApplication::sendEvent(&Trouve<QLineEdit>(f, "EFiltre5"), &repetee);
    QCOMPARE(ListeDe(f, "LVOrigine").rowCount(), 2);
    QTest::keyRelease(&Trouve<QLineEdit>(f, "EFiltre5"), Qt::Key_Return);
    QCOMPARE(ListeDe(f, "LVOrigine").rowCount(), 1);
}

void FenetreFiltres::eachListFiltersItsNameField() {
    FenetreDeTest t;
    Prepare(t);
    TFPrincip& f = *t.fenetre;

    const struct {
        QLineEdit* edit;
        QPushButton* bouton;
        ModeleListe* modele;
        QString texte;
        QStringList attendu;
    } cas[] = {
        {&Trouve<QLineEdit>(f, "EFiltre1"),
         &Trouve<QPushButton>(f, "BFiltre1"),
         &ListeDe(f, "VLPages"),
         "a",
         {"/a.html", "/café.html"}},
        {&Trouve<QLineEdit>(f, "EFiltre3"),
         &Trouve<QPushButton>(f, "BFiltre3"),
         &ListeDe(f, "LVImages"),
         "Logo",
         {"/Logo.png"}},
        {&Trouve<QLineEdit>(f, "EFiltre4"),
         &Trouve<QPushButton>(f, "BFiltre4"),
         &ListeDe(f, "LVIP"),
         "10.",
         {"10.0.0.1"}},
        {&Trouve<QLineEdit>(f, "EFiltre5"),
         &Trouve<QPushButton>(f, "BFiltre5"),
         &ListeDe(f, "LVOrigine"),
         "x",
         {"http://moteur.example/?q=1", "-x-"}},
    };
    for (const auto& c : cas) {
        c.edit->setText(c.texte);
        QTest::mouseClick(c.bouton, Qt::LeftButton);
        QCOMPARE(Colonne(*c.modele, 0), c.attendu);
    }
    // Counts and dates are not names.
    Trouve<QLineEdit>(f, "EFiltre4").setText("9");
    Applique(f, "BFiltre4");
    QCOMPARE(ListeDe(f, "LVIP").rowCount(), 0);
    Trouve<QLineEdit>(f, "EFiltre4").setText("Feb");
    Applique(f, "BFiltre4");
    QCOMPARE(ListeDe(f, "LVIP").rowCount(), 0);
    // The other lists keep what their own filter left.
    QCOMPARE(ListeDe(f, "VLPages").rowCount(), 2);
    QCOMPARE(ListeDe(f, "LVDownload").rowCount(), 0);
}

void FenetreFiltres::tableLineOfAFilteredRow() {
    FenetreDeTest t;
    Prepare(t);
    TFPrincip& f = *t.fenetre;

    QTableView& vue = Trouve<QTableView>(f, "VLPages");
    const auto ligneCourante = [&] {
        return ListeDe(f, "VLPages").LigneTable(vue.currentIndex().row());
    };
    QCOMPARE(ligneCourante(), -1);
    Trouve<QLineEdit>(f, "EFiltre1").setText(".htm");
    Applique(f, "BFiltre1");
    Trouve<QLineEdit>(f, "EFiltre1").setText("b.");
    Applique(f, "BFiltre1");
    Trouve<QTableView>(f, "VLPages").setCurrentIndex(ListeDe(f, "VLPages").index(0, 0));
    // The row shows table line 2 (/b.htm), not line 0.
    QCOMPARE(ligneCourante(), 2);
    QCOMPARE(ListeDe(f, "VLPages").LigneTable(0), 2);
    QCOMPARE(ListeDe(f, "VLPages").LigneTable(1), -1);
}

void FenetreFiltres::aFilteredListSaysHowManyRowsMatch() {
    FenetreDeTest t;
    std::vector<std::string> pages;
    for (int i = 0; i < 3212; ++i) {
        pages.push_back(Rangee(i, "/p" + std::to_string(i), 3212 - i));
    }
    pages.push_back(Compteur(3212));
    t.EcritTable("page.lst", pages);
    t.EcritTable("nom.lst", {Rangee(0, "10.0.0.1", 9), Rangee(1, "10.0.0.2", 8), Compteur(2)});
    TFPrincip& f = t.Ouvre();
    const QLabel& lignes = Trouve<QLabel>(f, "LLignes1");
    QVERIFY(lignes.text().isEmpty()); // every row shown: nothing to say

    // /p12, /p120 to /p129, /p1200 to /p1299.
    Trouve<QLineEdit>(f, "EFiltre1").setText("/p12");
    Applique(f, "BFiltre1");
    QCOMPARE(ListeDe(f, "VLPages").rowCount(), 111);
    QCOMPARE(lignes.text(), QString("111 lignes sur 3 212"));
    Trouve<QLineEdit>(f, "EFiltre1").setText("/p3211");
    Applique(f, "BFiltre1");
    QCOMPARE(lignes.text(), QString("1 ligne sur 3 212"));
    Trouve<QLineEdit>(f, "EFiltre1").setText("\u03A9");
    Applique(f, "BFiltre1");
    QCOMPARE(lignes.text(), QString("0 ligne sur 3 212"));
    // Each list says its own count.
    Trouve<QLineEdit>(f, "EFiltre4").setText(".2");
    Applique(f, "BFiltre4");
    QCOMPARE(Trouve<QLabel>(f, "LLignes4").text(), QString("1 ligne sur 2"));
    QCOMPARE(lignes.text(), QString("0 ligne sur 3 212"));

    // An empty filter, or a refresh, lists every row again and the count goes.
    Trouve<QLineEdit>(f, "EFiltre1").clear();
    Applique(f, "BFiltre1");
    QVERIFY(lignes.text().isEmpty());
    f.RafraichitVues();
    QVERIFY(Trouve<QLabel>(f, "LLignes4").text().isEmpty());
    QCOMPARE(Trouve<QLineEdit>(f, "EFiltre4").text(), QString(".2"));
}

QTEST_MAIN(FenetreFiltres)
#include "fenetre_filtres_test.moc"
