// The Infos tab driven through the window: mode buttons, entry choice, filter, and the
// double-clicks that lead to it from the list tabs and from its own results.
#include "fenetre_commun.h"

#include "ui/modele_entrees.h"
#include "ui/onglets.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

using namespace sillage;
using namespace sillage::test;

namespace {

constexpr int kOngletPages = 1;
constexpr int kOngletInfos = 5;

std::string Lanp(int hote, int item, int acces, const std::string& date, int genre) {
    return "\\1;" + std::to_string(hote) + "\\2;" + std::to_string(item) + "\\3;" +
           std::to_string(acces) + "\\4;" + date + "\\5;" + std::to_string(genre) + "\\6;";
}

void Clique(QAbstractItemView* vue, int rangee) {
    const QRect r = vue->visualRect(vue->model()->index(rangee, 0));
    QVERIFY(r.isValid());
    QTest::mouseClick(vue->viewport(), Qt::LeftButton, {}, r.center());
}

void DoubleClique(QAbstractItemView* vue, int rangee) {
    const QRect r = vue->visualRect(vue->model()->index(rangee, 0));
    QVERIFY(r.isValid());
    // As a user's: a click, then the second press that makes it double.
    QTest::mouseClick(vue->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(vue->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseRelease(vue->viewport(), Qt::LeftButton, {}, r.center());
}

// The names of the selected entry, or "" when none is selected.
QString EntreeChoisie(TFPrincip& f) {
    const QModelIndexList choisis = f.LBSearch->selectionModel()->selectedIndexes();
    return choisis.size() == 1 ? choisis[0].data().toString() : QString();
}

QStringList Gras(TFPrincip& f) {
    QStringList g;
    for (QPushButton* b : {f.BPage, f.BNomD, f.BDownload, f.BReferent}) {
        if (b->font().bold()) {
            g << b->text();
        }
    }
    return g;
}

// One result row: "Nom|Acces|Date".
QStringList Resultats(TFPrincip& f) {
    QStringList r;
    for (int i = 0; i < f.ModeleAffiche->rowCount(); ++i) {
        r << Colonne(*f.ModeleAffiche, 0)[i] + "|" + Colonne(*f.ModeleAffiche, 1)[i] + "|" +
                 Colonne(*f.ModeleAffiche, 2)[i];
    }
    return r;
}

} // namespace

class FenetreInfos : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { Dialogues::Automatique(true); }
    void init() {
        Dialogues::Oublie();
        t = std::make_unique<FenetreDeTest>();
        // Hosts and pages in hit order, not in identifier order.
        t->EcritTable("nom.lst",
                      {Rangee(2, "10.0.0.3", 9, "d-h2"), Rangee(0, "gw.example.org", 5, "d-h0"),
                       Rangee(1, "10.0.0.2", 4, "d-h1"), Compteur(3)});
        t->EcritTable("page.lst",
                      {Rangee(1, "/index.html", 12, "d-p1"), Rangee(0, "/a.htm", 3, "d-p0"),
                       Rangee(5, "/caf\xE9.html", 2, "d-p5"), Compteur(6)});
        t->EcritTable("download.lst", {Rangee(0, "/f.zip", 2, "d-f0"), Compteur(1)});
        t->EcritTable("origine.lst", {Rangee(0, "http://moteur/", 3), Compteur(1)});
        t->EcritTable("keyword.lst", {"\\1;0\\2;0\\3;voile\\4;", "\\1;1\\2;0\\3;mer\\4;"});
        t->EcritTable("lanp.lst", {Lanp(0, 1, 7, "d-l01", 1), Lanp(2, 1, 2, "d-l21", 1),
                                   Lanp(1, 0, 1, "d-l10", 1), Lanp(0, 0, 3, "d-l00", 1),
                                   Lanp(1, 5, 1, "d-l15", 1), Lanp(2, 0, 4, "d-l20", 2)});
        f = &t->Ouvre();
    }
    void cleanup() { t.reset(); }

    void resultatHoteVersSesPages();
    void choixAuClavierEtALaSouris();
    void doubleClicDepuisPagesFiltrees();
    void doubleClicSansLigneSignaleLErreur();
    void filtreAttacheAuModeDesPages();
    void entreesGardentLeurNomApresUnTri();

  private:
    std::unique_ptr<FenetreDeTest> t;
    TFPrincip* f = nullptr;
};

void FenetreInfos::resultatHoteVersSesPages() {
    f->PageControl1->setCurrentIndex(kOngletInfos);
    QVERIFY(Gras(*f).isEmpty());
    QTest::mouseClick(f->BPage, Qt::LeftButton);
    QCOMPARE(f->LExplI0->text(), QString("3 pages accédées"));
    QCOMPARE(Gras(*f), QStringList({"Pages"}));
    QCOMPARE(Colonne(*f->ModeleSearch, 0), QStringList({"/index.html", "/a.htm", "/café.html"}));

    Clique(f->LBSearch, 0);
    // Hosts in host-table order, each with its own count for the page and its last date.
    QCOMPARE(Resultats(*f), QStringList({"10.0.0.3|2|d-h2", "gw.example.org|7|d-h0"}));
    QCOMPARE(f->LAffiche->text(), QString("2 résultats pour /index.html"));

    DoubleClique(f->LVAffiche, 1);
    QCOMPARE(f->Infos.ModeRecherche, 2);
    QCOMPARE(Gras(*f), QStringList({"IP"}));
    QCOMPARE(f->LExplI0->text(), QString("3 IP de provenance"));
    QCOMPARE(EntreeChoisie(*f), QString("gw.example.org"));
    QCOMPARE(Resultats(*f), QStringList({"/index.html|7|d-p1", "/a.htm|3|d-p0"}));
    QCOMPARE(f->LAffiche->text(), QString("2 résultats pour gw.example.org"));
    QCOMPARE(f->PageControl1->currentIndex(), kOngletInfos);

    // And back: a page found for a host is searched for its hosts.
    DoubleClique(f->LVAffiche, 1);
    QCOMPARE(f->Infos.ModeRecherche, 1);
    QCOMPARE(EntreeChoisie(*f), QString("/a.htm"));
    QCOMPARE(Resultats(*f), QStringList({"gw.example.org|3|d-h0", "10.0.0.2|1|d-h1"}));

    // A keyword leads nowhere: both lists stay as they are.
    QTest::mouseClick(f->BReferent, Qt::LeftButton);
    Clique(f->LBSearch, 0);
    QCOMPARE(Colonne(*f->ModeleAffiche, 0), QStringList({"voile", "mer"}));
    QCOMPARE(f->LAffiche->text(), QString("2 résultats pour http://moteur/"));
    QSignalSpy entrees(f->ModeleSearch, &QAbstractItemModel::modelReset);
    QSignalSpy resultats(f->ModeleAffiche, &QAbstractItemModel::modelReset);
    DoubleClique(f->LVAffiche, 0);
    QCOMPARE(f->Infos.ModeRecherche, 4);
    QCOMPARE(entrees.count(), 0);
    QCOMPARE(resultats.count(), 0);
    QVERIFY(Dialogues::Messages().empty());
}

void FenetreInfos::choixAuClavierEtALaSouris() {
    f->PageControl1->setCurrentIndex(kOngletInfos);
    QTest::mouseClick(f->BNomD, Qt::LeftButton);
    // Each search fills the results once.
    QSignalSpy recherches(f->ModeleAffiche, &QAbstractItemModel::modelReset);

    Clique(f->LBSearch, 2);
    QCOMPARE(recherches.count(), 1);
    QCOMPARE(Resultats(*f), QStringList({"/a.htm|1|d-p0", "/café.html|1|d-p5"}));
    // A click on the entry already chosen searches again.
    Clique(f->LBSearch, 2);
    QCOMPARE(recherches.count(), 2);

    // The keyboard chooses as the mouse does.
    f->LBSearch->setFocus();
    QTest::keyClick(f->LBSearch, Qt::Key_Up);
    QCOMPARE(recherches.count(), 3);
    QCOMPARE(EntreeChoisie(*f), QString("gw.example.org"));
    QCOMPARE(f->LAffiche->text(), QString("2 résultats pour gw.example.org"));
    // A host that fetched only a download has no page result (mode 2 looks at pages only).
    QTest::keyClick(f->LBSearch, Qt::Key_Up);
    QCOMPARE(Resultats(*f), QStringList({"/index.html|2|d-p1"}));

    // Listing the entries again leaves the results as they were and selects nothing.
    QTest::mouseClick(f->BDownload, Qt::LeftButton);
    QCOMPARE(recherches.count(), 4);
    QCOMPARE(f->LExplI0->text(), QString("1 downloads téléchargés"));
    QCOMPARE(EntreeChoisie(*f), QString());
    QCOMPARE(f->LAffiche->text(), QString("1 résultats pour 10.0.0.3"));
    Clique(f->LBSearch, 0);
    QCOMPARE(Resultats(*f), QStringList({"10.0.0.3|4|d-h2"}));
    QVERIFY(Dialogues::Messages().empty());
}

void FenetreInfos::doubleClicDepuisPagesFiltrees() {
    f->PageControl1->setCurrentIndex(kOngletPages);
    f->EFiltre1->setText("caf");
    f->BFiltre1Click();
    QCOMPARE(Colonne(*f->ModelePages, 0), QStringList({"/café.html"}));

    DoubleClique(f->VLPages, 0);
    QCOMPARE(f->PageControl1->currentIndex(), kOngletInfos);
    QCOMPARE(f->Infos.ModeRecherche, 1);
    QCOMPARE(Gras(*f), QStringList({"Pages"}));
    QCOMPARE(f->ModeleSearch->rowCount(), 3);
    QCOMPARE(EntreeChoisie(*f), QString("/café.html"));
    QCOMPARE(Resultats(*f), QStringList({"10.0.0.2|1|d-h1"}));
    QCOMPARE(f->LAffiche->text(), QString("1 résultats pour /café.html"));

    // The same from the hosts, the downloads and the referrers.
    f->PageControl1->setCurrentIndex(3);
    DoubleClique(f->LVIP, 2);
    QCOMPARE(f->PageControl1->currentIndex(), kOngletInfos);
    QCOMPARE(f->LAffiche->text(), QString("2 résultats pour 10.0.0.2"));
    f->PageControl1->setCurrentIndex(7);
    DoubleClique(f->LVDownload, 0);
    QCOMPARE(Resultats(*f), QStringList({"10.0.0.3|4|d-h2"}));
    f->PageControl1->setCurrentIndex(4);
    DoubleClique(f->LVOrigine, 0);
    QCOMPARE(Gras(*f), QStringList({"Référent"}));
    QCOMPARE(Colonne(*f->ModeleAffiche, 0), QStringList({"voile", "mer"}));
    QVERIFY(Dialogues::Messages().empty());
}

void FenetreInfos::doubleClicSansLigneSignaleLErreur() {
    f->PageControl1->setCurrentIndex(kOngletPages);
    DoubleClique(f->VLPages, 1);
    QCOMPARE(f->LAffiche->text(), QString("2 résultats pour /a.htm"));

    // Below the last row: no row, so no entry to search.
    f->PageControl1->setCurrentIndex(kOngletPages);
    QTest::mouseDClick(f->VLPages->viewport(), Qt::LeftButton, {}, QPoint(20, 300));
    QCOMPARE(Dialogues::Messages().size(), 1u);
    QCOMPARE(Dialogues::Messages()[0].texte, QString("Indice de liste hors limites (-1)"));
    QCOMPARE(f->PageControl1->currentIndex(), kOngletPages);
    QCOMPARE(f->ModeleAffiche->rowCount(), 0);
    QCOMPARE(f->LAffiche->text(), QString("2 résultats pour /a.htm"));
    QCOMPARE(EntreeChoisie(*f), QString());
}

void FenetreInfos::filtreAttacheAuModeDesPages() {
    f->PageControl1->setCurrentIndex(kOngletInfos);
    QTest::mouseClick(f->BPage, Qt::LeftButton);
    // Typing attaches the filter to mode 1; only a released Enter applies it.
    QTest::keyClicks(f->EFiltre2, "html");
    QCOMPARE(f->Infos.ModeFiltre, 1);
    QCOMPARE(f->ModeleSearch->rowCount(), 3);
    QTest::keyClick(f->EFiltre2, Qt::Key_Return);
    QCOMPARE(Colonne(*f->ModeleSearch, 0), QStringList({"/index.html", "/café.html"}));
    QCOMPARE(f->LExplI0->text(), QString("2 pages accédées"));

    QTest::mouseClick(f->BNomD, Qt::LeftButton);
    QCOMPARE(f->LExplI0->text(), QString("3 IP de provenance"));
    QTest::mouseClick(f->BPage, Qt::LeftButton);
    QCOMPARE(f->LExplI0->text(), QString("2 pages accédées"));

    // A page that the filter hides cannot be reached from a host's results.
    QTest::mouseClick(f->BNomD, Qt::LeftButton);
    Clique(f->LBSearch, 1);
    QCOMPARE(Resultats(*f), QStringList({"/index.html|7|d-p1", "/a.htm|3|d-p0"}));
    DoubleClique(f->LVAffiche, 1);
    QCOMPARE(Dialogues::Messages().size(), 1u);
    QCOMPARE(Dialogues::Messages()[0].texte, QString("Indice de liste hors limites (-1)"));
    QCOMPARE(f->Infos.ModeRecherche, 1);
    QCOMPARE(f->ModeleAffiche->rowCount(), 0);
    QCOMPARE(f->LAffiche->text(), QString("2 résultats pour gw.example.org"));

    // Case counts, and a character the code page lacks matches nothing.
    f->EFiltre2->setText("HTML");
    QTest::mouseClick(f->BFiltre2, Qt::LeftButton);
    QCOMPARE(f->LExplI0->text(), QString("0 pages accédées"));
    f->EFiltre2->setText("\u03A9");
    f->BFiltre2Click();
    QCOMPARE(f->ModeleSearch->rowCount(), 0);
    f->EFiltre2->setText("é");
    f->BFiltre2Click();
    QCOMPARE(Colonne(*f->ModeleSearch, 0), QStringList({"/café.html"}));
}

void FenetreInfos::entreesGardentLeurNomApresUnTri() {
    f->PageControl1->setCurrentIndex(kOngletInfos);
    QTest::mouseClick(f->BPage, Qt::LeftButton);
    // As an import's sort would: the rows move, the list stays as it was made.
    t->base.ListePage.Permute({2, 0, 1, 3});
    f->RafraichitVues();
    QCOMPARE(Colonne(*f->ModeleSearch, 0), QStringList({"/index.html", "/a.htm", "/café.html"}));
    Clique(f->LBSearch, 0);
    QCOMPARE(f->LAffiche->text(), QString("2 résultats pour /index.html"));
    QCOMPARE(Resultats(*f), QStringList({"10.0.0.3|2|d-h2", "gw.example.org|7|d-h0"}));

    // After a reset the entry's item is gone.
    Dialogues::ReponseSuivante(QMessageBox::Yes);
    f->Reinitialiser1->trigger();
    Dialogues::Oublie();
    Clique(f->LBSearch, 1);
    QCOMPARE(Dialogues::Messages().size(), 1u);
    QCOMPARE(Dialogues::Messages()[0].texte, QString("Indice de liste hors limites (-1)"));
    QCOMPARE(f->ModeleAffiche->rowCount(), 0);
}

QTEST_MAIN(FenetreInfos)
#include "fenetre_infos_test.moc"
