// The Infos tab driven through the window: mode buttons, entry choice, filter, and the
// double-clicks that lead to it from the list tabs and from its own results.
#include "fenetre_commun.h"

#include "ui/modele_entrees.h"
#include "ui/onglets.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

using namespace sillage;
using namespace sillage::test;

namespace {

constexpr int kOngletPages = 1;
constexpr int kOngletInfos = 5;

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
    const QModelIndexList choisis =
        Trouve<QListView>(f, "LBSearch").selectionModel()->selectedIndexes();
    return choisis.size() == 1 ? choisis[0].data().toString() : QString();
}

QStringList Gras(TFPrincip& f) {
    QStringList g;
    for (const char* nom : {"BPage", "BNomD", "BDownload", "BReferent"}) {
        const QPushButton& b = Trouve<QPushButton>(f, nom);
        if (b.font().bold()) {
            g << b.text();
        }
    }
    return g;
}

// The result rows, "Nom|Acces|Date".
QStringList Resultats(TFPrincip& f) {
    return Rangees(TextesDe(f, "LVAffiche"));
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
        t->EcritTable("lanp.lst",
                      {RangeeLanp(0, 1, 7, "d-l01", 1), RangeeLanp(2, 1, 2, "d-l21", 1),
                       RangeeLanp(1, 0, 1, "d-l10", 1), RangeeLanp(0, 0, 3, "d-l00", 1),
                       RangeeLanp(1, 5, 1, "d-l15", 1), RangeeLanp(2, 0, 4, "d-l20", 2)});
        f = &t->Ouvre();
        onglets = &Trouve<ControleOnglets>(*f, "PageControl1");
        LBSearch = &Trouve<QListView>(*f, "LBSearch");
        LVAffiche = &Trouve<QTableView>(*f, "LVAffiche");
        LExplI0 = &Trouve<QLabel>(*f, "LExplI0");
        LAffiche = &Trouve<QLabel>(*f, "LAffiche");
        EFiltre2 = &Trouve<QLineEdit>(*f, "EFiltre2");
    }
    void cleanup() { t.reset(); }

    void hostResultLeadsToItsPages();
    void choiceByKeyboardAndMouse();
    void doubleClickFromFilteredPages();
    void doubleClickOnNoRowReportsTheError();
    void filterAttachedToThePagesMode();
    void entriesKeepTheirNameAfterASort();
    void aNewEntryListStartsAtItsTop();

  private:
    // A click on the button named nom.
    void Presse(const char* nom) {
        QTest::mouseClick(&Trouve<QPushButton>(*f, nom), Qt::LeftButton);
    }

    std::unique_ptr<FenetreDeTest> t;
    TFPrincip* f = nullptr;
    ControleOnglets* onglets = nullptr;
    QListView* LBSearch = nullptr;
    QTableView* LVAffiche = nullptr;
    QLabel* LExplI0 = nullptr;
    QLabel* LAffiche = nullptr;
    QLineEdit* EFiltre2 = nullptr;
};

void FenetreInfos::hostResultLeadsToItsPages() {
    onglets->setCurrentIndex(kOngletInfos);
    QVERIFY(Gras(*f).isEmpty());
    Presse("BPage");
    QCOMPARE(LExplI0->text(), QString("3 pages accédées"));
    QCOMPARE(Gras(*f), QStringList({"Pages"}));
    QCOMPARE(Colonne(*LBSearch->model(), 0), QStringList({"/index.html", "/a.htm", "/café.html"}));

    Clique(*LBSearch, 0);
    // Hosts in host-table order, each with its own count for the page and its last date.
    QCOMPARE(Resultats(*f), QStringList({"10.0.0.3|2|d-h2", "gw.example.org|7|d-h0"}));
    QCOMPARE(LAffiche->text(), QString("2 résultats pour /index.html"));

    DoubleClique(LVAffiche, 1);
    QCOMPARE(f->ModeRecherche(), ModeInfos::IP);
    QCOMPARE(Gras(*f), QStringList({"IP"}));
    QCOMPARE(LExplI0->text(), QString("3 IP de provenance"));
    QCOMPARE(EntreeChoisie(*f), QString("gw.example.org"));
    QCOMPARE(Resultats(*f), QStringList({"/index.html|7|d-p1", "/a.htm|3|d-p0"}));
    QCOMPARE(LAffiche->text(), QString("2 résultats pour gw.example.org"));
    QCOMPARE(onglets->currentIndex(), kOngletInfos);

    // And back: a page found for a host is searched for its hosts.
    DoubleClique(LVAffiche, 1);
    QCOMPARE(f->ModeRecherche(), ModeInfos::Pages);
    QCOMPARE(EntreeChoisie(*f), QString("/a.htm"));
    QCOMPARE(Resultats(*f), QStringList({"gw.example.org|3|d-h0", "10.0.0.2|1|d-h1"}));

    // A keyword leads nowhere: both lists stay as they are.
    Presse("BReferent");
    Clique(*LBSearch, 0);
    QCOMPARE(Colonne(*LVAffiche->model(), 0), QStringList({"voile", "mer"}));
    QCOMPARE(LAffiche->text(), QString("2 résultats pour http://moteur/"));
    QSignalSpy entrees(LBSearch->model(), &QAbstractItemModel::modelReset);
    QSignalSpy resultats(LVAffiche->model(), &QAbstractItemModel::modelReset);
    DoubleClique(LVAffiche, 0);
    QCOMPARE(f->ModeRecherche(), ModeInfos::Referent);
    QCOMPARE(entrees.count(), 0);
    QCOMPARE(resultats.count(), 0);
    QVERIFY(Dialogues::Messages().empty());
}

void FenetreInfos::choiceByKeyboardAndMouse() {
    onglets->setCurrentIndex(kOngletInfos);
    Presse("BNomD");
    // Each search fills the results once.
    QSignalSpy recherches(LVAffiche->model(), &QAbstractItemModel::modelReset);

    Clique(*LBSearch, 2);
    QCOMPARE(recherches.count(), 1);
    QCOMPARE(Resultats(*f), QStringList({"/a.htm|1|d-p0", "/café.html|1|d-p5"}));
    // A click on the entry already chosen searches again.
    Clique(*LBSearch, 2);
    QCOMPARE(recherches.count(), 2);

    // The keyboard chooses as the mouse does.
    LBSearch->setFocus();
    QTest::keyClick(LBSearch, Qt::Key_Up);
    QCOMPARE(recherches.count(), 3);
    QCOMPARE(EntreeChoisie(*f), QString("gw.example.org"));
    QCOMPARE(LAffiche->text(), QString("2 résultats pour gw.example.org"));
    // A host that fetched only a download has no page result (mode 2 looks at pages only).
    QTest::keyClick(LBSearch, Qt::Key_Up);
    QCOMPARE(Resultats(*f), QStringList({"/index.html|2|d-p1"}));

    // Listing the entries again leaves the results as they were and selects nothing.
    Presse("BDownload");
    QCOMPARE(recherches.count(), 4);
    QCOMPARE(LExplI0->text(), QString("1 downloads téléchargés"));
    QCOMPARE(EntreeChoisie(*f), QString());
    QCOMPARE(LAffiche->text(), QString("1 résultats pour 10.0.0.3"));
    Clique(*LBSearch, 0);
    QCOMPARE(Resultats(*f), QStringList({"10.0.0.3|4|d-h2"}));
    QVERIFY(Dialogues::Messages().empty());
}

void FenetreInfos::doubleClickFromFilteredPages() {
    onglets->setCurrentIndex(kOngletPages);
    Trouve<QLineEdit>(*f, "EFiltre1").setText("caf");
    Presse("BFiltre1");
    QCOMPARE(Colonne(ListeDe(*f, "VLPages"), 0), QStringList({"/café.html"}));

    DoubleClique(&Trouve<QTableView>(*f, "VLPages"), 0);
    QCOMPARE(onglets->currentIndex(), kOngletInfos);
    QCOMPARE(f->ModeRecherche(), ModeInfos::Pages);
    QCOMPARE(Gras(*f), QStringList({"Pages"}));
    QCOMPARE(LBSearch->model()->rowCount(), 3);
    QCOMPARE(EntreeChoisie(*f), QString("/café.html"));
    QCOMPARE(Resultats(*f), QStringList({"10.0.0.2|1|d-h1"}));
    QCOMPARE(LAffiche->text(), QString("1 résultats pour /café.html"));

    // The same from the hosts, the downloads and the referrers.
    onglets->setCurrentIndex(3);
    DoubleClique(&Trouve<QTableView>(*f, "LVIP"), 2);
    QCOMPARE(onglets->currentIndex(), kOngletInfos);
    QCOMPARE(LAffiche->text(), QString("2 résultats pour 10.0.0.2"));
    onglets->setCurrentIndex(7);
    DoubleClique(&Trouve<QTableView>(*f, "LVDownload"), 0);
    QCOMPARE(Resultats(*f), QStringList({"10.0.0.3|4|d-h2"}));
    onglets->setCurrentIndex(4);
    DoubleClique(&Trouve<QTableView>(*f, "LVOrigine"), 0);
    QCOMPARE(Gras(*f), QStringList({"Référent"}));
    QCOMPARE(Colonne(*LVAffiche->model(), 0), QStringList({"voile", "mer"}));
    QVERIFY(Dialogues::Messages().empty());
}

void FenetreInfos::doubleClickOnNoRowReportsTheError() {
    onglets->setCurrentIndex(kOngletPages);
    DoubleClique(&Trouve<QTableView>(*f, "VLPages"), 1);
    QCOMPARE(LAffiche->text(), QString("2 résultats pour /a.htm"));

    // Below the last row: no row, so no entry to search.
    onglets->setCurrentIndex(kOngletPages);
    QTest::mouseDClick(Trouve<QTableView>(*f, "VLPages").viewport(), Qt::LeftButton, {},
                       QPoint(20, 300));
    QCOMPARE(Dialogues::Messages().size(), 1u);
    QCOMPARE(Dialogues::Messages()[0].texte, QString("Indice de liste hors limites (-1)"));
    QCOMPARE(onglets->currentIndex(), kOngletPages);
    QCOMPARE(LVAffiche->model()->rowCount(), 0);
    QCOMPARE(LAffiche->text(), QString("2 résultats pour /a.htm"));
    QCOMPARE(EntreeChoisie(*f), QString());
}

void FenetreInfos::filterAttachedToThePagesMode() {
    onglets->setCurrentIndex(kOngletInfos);
    Presse("BPage");
    // Typing attaches the filter to mode 1; only a released Enter applies it.
    QTest::keyClicks(EFiltre2, "html");
    QCOMPARE(f->ModeFiltre(), ModeInfos::Pages);
    QCOMPARE(LBSearch->model()->rowCount(), 3);
    QTest::keyClick(EFiltre2, Qt::Key_Return);
    QCOMPARE(Colonne(*LBSearch->model(), 0), QStringList({"/index.html", "/café.html"}));
    QCOMPARE(LExplI0->text(), QString("2 pages accédées"));

    Presse("BNomD");
    QCOMPARE(LExplI0->text(), QString("3 IP de provenance"));
    Presse("BPage");
    QCOMPARE(LExplI0->text(), QString("2 pages accédées"));

    // A page that the filter hides cannot be reached from a host's results.
    Presse("BNomD");
    Clique(*LBSearch, 1);
    QCOMPARE(Resultats(*f), QStringList({"/index.html|7|d-p1", "/a.htm|3|d-p0"}));
    DoubleClique(LVAffiche, 1);
    QCOMPARE(Dialogues::Messages().size(), 1u);
    QCOMPARE(Dialogues::Messages()[0].texte, QString("Indice de liste hors limites (-1)"));
    QCOMPARE(f->ModeRecherche(), ModeInfos::Pages);
    QCOMPARE(LVAffiche->model()->rowCount(), 0);
    QCOMPARE(LAffiche->text(), QString("2 résultats pour gw.example.org"));

    // Case counts, and a character the code page lacks matches nothing.
    EFiltre2->setText("HTML");
    Presse("BFiltre2");
    QCOMPARE(LExplI0->text(), QString("0 pages accédées"));
    EFiltre2->setText("\u03A9");
    Presse("BFiltre2");
    QCOMPARE(LBSearch->model()->rowCount(), 0);
    EFiltre2->setText("é");
    Presse("BFiltre2");
    QCOMPARE(Colonne(*LBSearch->model(), 0), QStringList({"/café.html"}));
}

void FenetreInfos::entriesKeepTheirNameAfterASort() {
    onglets->setCurrentIndex(kOngletInfos);
    Presse("BPage");
    // As an import's sort would: the rows move, the list stays as it was made.
    t->base.ListePage.Permute({2, 0, 1, 3});
    f->RafraichitVues();
    QCOMPARE(Colonne(*LBSearch->model(), 0), QStringList({"/index.html", "/a.htm", "/café.html"}));
    Clique(*LBSearch, 0);
    QCOMPARE(LAffiche->text(), QString("2 résultats pour /index.html"));
    QCOMPARE(Resultats(*f), QStringList({"10.0.0.3|2|d-h2", "gw.example.org|7|d-h0"}));

    // After a reset the entry's item is gone.
    Dialogues::ReponseSuivante(QMessageBox::Yes);
    Trouve<QAction>(*f, "Reinitialiser1").trigger();
    Dialogues::Oublie();
    Clique(*LBSearch, 1);
    QCOMPARE(Dialogues::Messages().size(), 1u);
    QCOMPARE(Dialogues::Messages()[0].texte, QString("Indice de liste hors limites (-1)"));
    QCOMPARE(LVAffiche->model()->rowCount(), 0);
}

void FenetreInfos::aNewEntryListStartsAtItsTop() {
    Table& pages = t->base.ListePage;
    pages.Efface();
    for (int i = 0; i < 400; ++i) {
        pages.Ajoute(Rangee(i, "/p" + std::to_string(i), 400 - i));
    }
    pages.Ajoute(Compteur(400));
    f->RafraichitVues();
    onglets->setCurrentIndex(kOngletInfos);
    QScrollBar* defilement = LBSearch->verticalScrollBar();
    const auto premiereVisible = [&] { return LBSearch->indexAt(QPoint(2, 2)).row(); };

    Presse("BPage");
    QCOMPARE(premiereVisible(), 0);
    LBSearch->scrollToBottom();
    QVERIFY(premiereVisible() > 300);
    // Listed again without a choice, by its button or by the filter: back to the first entry.
    Presse("BNomD");
    Presse("BPage");
    QCOMPARE(defilement->value(), 0);
    QCOMPARE(premiereVisible(), 0);
    LBSearch->scrollToBottom();
    Presse("BFiltre2");
    QCOMPARE(premiereVisible(), 0);

    // Listed for a double-click on the Pages tab: the chosen entry is in sight.
    onglets->setCurrentIndex(kOngletPages);
    QTableView& listePages = Trouve<QTableView>(*f, "VLPages");
    listePages.scrollToBottom();
    DoubleClique(&listePages, 399);
    QCOMPARE(EntreeChoisie(*f), QString("/p399"));
    QVERIFY(LBSearch->viewport()->rect().intersects(
        LBSearch->visualRect(LBSearch->model()->index(399, 0))));
}

QTEST_MAIN(FenetreInfos)
#include "fenetre_infos_test.moc"
