// The filters of the Pages, Images, IP and Référents lists, driven through their edits.
#include "fenetre_commun.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

using namespace sillage;
using namespace sillage::test;

class FenetreFiltres : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { Dialogues::Automatique(true); }
    void init() { Dialogues::Oublie(); }

    void filtreSensibleALaCasse();
    void rafraichissementListeToutEtGardeLeTexte();
    void entreeRelacheeAppliqueLeFiltre();
    void chaqueListeFiltreSonChampNom();
    void ligneDeTableDUneListeFiltree();

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

void FenetreFiltres::filtreSensibleALaCasse() {
    FenetreDeTest t;
    Prepare(t);
    TFPrincip& f = *t.fenetre;

    f.EFiltre1->setText("INDEX");
    QTest::mouseClick(f.BFiltre1, Qt::LeftButton);
    QCOMPARE(f.ModelePages->rowCount(), 0);

    f.EFiltre1->setText("index");
    QTest::mouseClick(f.BFiltre1, Qt::LeftButton);
    QCOMPARE(Colonne(*f.ModelePages, 0), QStringList({"/index.html"}));

    f.EFiltre1->setText(".htm");
    f.BFiltre1Click();
    QCOMPARE(f.ModelePages->rowCount(), 4);

    // Accented text is compared as the table's Windows-1252 bytes.
    f.EFiltre1->setText("fé");
    f.BFiltre1Click();
    QCOMPARE(Colonne(*f.ModelePages, 0), QStringList({"/café.html"}));
    f.EFiltre1->setText("fe");
    f.BFiltre1Click();
    QCOMPARE(f.ModelePages->rowCount(), 0);
    // A character Windows-1252 cannot hold is in no name.
    f.EFiltre1->setText("\u03A9");
    f.BFiltre1Click();
    QCOMPARE(f.ModelePages->rowCount(), 0);

    // Blanks count; an empty edit lists everything again.
    f.EFiltre1->setText(" /a");
    f.BFiltre1Click();
    QCOMPARE(f.ModelePages->rowCount(), 0);
    f.EFiltre1->clear();
    f.BFiltre1Click();
    QCOMPARE(f.ModelePages->rowCount(), 4);
}

void FenetreFiltres::rafraichissementListeToutEtGardeLeTexte() {
    FenetreDeTest t;
    Prepare(t);
    TFPrincip& f = *t.fenetre;

    f.EFiltre4->setText("proxy");
    f.BFiltre4Click();
    QCOMPARE(f.ModeleIP->rowCount(), 1);
    // The filter shows less; the indexes, the summary and the table keep everything.
    QCOMPARE(t.base.IndexNom.Count(), 2u);
    QCOMPARE(t.base.ListeNom.Count(), 3u);
    QCOMPARE(f.SGGen->item(2, 1)->text(), QString("2"));

    f.RafraichitVues();
    QCOMPARE(f.ModeleIP->rowCount(), 2);
    QCOMPARE(f.EFiltre4->text(), QString("proxy"));
    QCOMPARE(t.base.IndexNom.Count(), 2u);
}

void FenetreFiltres::entreeRelacheeAppliqueLeFiltre() {
    FenetreDeTest t;
    Prepare(t);
    TFPrincip& f = *t.fenetre;

    // Typing alone never filters, nor does pressing Enter before it is released.
    QTest::keyClicks(f.EFiltre1, "b.h");
    QCOMPARE(f.EFiltre1->text(), QString("b.h"));
    QCOMPARE(f.ModelePages->rowCount(), 4);
    QTest::keyPress(f.EFiltre1, Qt::Key_Return);
    QCOMPARE(f.ModelePages->rowCount(), 4);

    QTest::keyRelease(f.EFiltre1, Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(Colonne(*f.ModelePages, 0), QStringList({"/b.htm"}));

    // The keypad's Enter, with Ctrl held, on another list.
    QTest::keyClicks(f.EFiltre3, "logo");
    QCOMPARE(f.ModeleImages->rowCount(), 2);
    QTest::keyClick(f.EFiltre3, Qt::Key_Enter, Qt::ControlModifier);
    QCOMPARE(Colonne(*f.ModeleImages, 0), QStringList({"/logo.gif"}));

    // An auto-repeated release is not the key coming up.
    f.EFiltre5->setText("moteur");
    QKeyEvent repetee(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QString(), true);
    QCoreApplication::sendEvent(f.EFiltre5, &repetee);
    QCOMPARE(f.ModeleOrigines->rowCount(), 2);
    f.EFiltre5KeyUp(TFPrincip::kToucheEntree);
    QCOMPARE(f.ModeleOrigines->rowCount(), 1);
}

void FenetreFiltres::chaqueListeFiltreSonChampNom() {
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
        {f.EFiltre1, f.BFiltre1, f.ModelePages, "a", {"/a.html", "/café.html"}},
        {f.EFiltre3, f.BFiltre3, f.ModeleImages, "Logo", {"/Logo.png"}},
        {f.EFiltre4, f.BFiltre4, f.ModeleIP, "10.", {"10.0.0.1"}},
        {f.EFiltre5, f.BFiltre5, f.ModeleOrigines, "x", {"http://moteur.example/?q=1", "-x-"}},
    };
    for (const auto& c : cas) {
        c.edit->setText(c.texte);
        QTest::mouseClick(c.bouton, Qt::LeftButton);
        QCOMPARE(Colonne(*c.modele, 0), c.attendu);
    }
    // Counts and dates are not names.
    f.EFiltre4->setText("9");
    f.BFiltre4Click();
    QCOMPARE(f.ModeleIP->rowCount(), 0);
    f.EFiltre4->setText("Feb");
    f.BFiltre4Click();
    QCOMPARE(f.ModeleIP->rowCount(), 0);
    // The other lists keep what their own filter left.
    QCOMPARE(f.ModelePages->rowCount(), 2);
    QCOMPARE(f.ModeleDownloads->rowCount(), 0);
}

void FenetreFiltres::ligneDeTableDUneListeFiltree() {
    FenetreDeTest t;
    Prepare(t);
    TFPrincip& f = *t.fenetre;

    QCOMPARE(TFPrincip::LigneTableCourante(f.VLPages), -1);
    f.EFiltre1->setText(".htm");
    f.BFiltre1Click();
    f.EFiltre1->setText("b.");
    f.BFiltre1Click();
    f.VLPages->setCurrentIndex(f.ModelePages->index(0, 0));
    // The row shows table line 2 (/b.htm), not line 0.
    QCOMPARE(TFPrincip::LigneTableCourante(f.VLPages), 2);
    QCOMPARE(f.ModelePages->LigneTable(0), 2);
    QCOMPARE(f.ModelePages->LigneTable(1), -1);
}

QTEST_MAIN(FenetreFiltres)
#include "fenetre_filtres_test.moc"
