// Copying rows out of the window's lists: Ctrl+C and the "Copier" context menu put the selected
// rows on the clipboard as tab-separated text with the column titles.
#include "fenetre_commun.h"

#include "ui/onglets.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

using namespace sillage;
using namespace sillage::test;

namespace {

QString PressePapiers() {
    return QGuiApplication::clipboard()->text();
}

void CtrlC(QAbstractItemView& vue) {
    vue.setFocus();
    QTest::keyClick(&vue, Qt::Key_C, Qt::ControlModifier);
}

// The rows that hold a selected cell, and the columns of those cells.
QList<int> RangeesChoisies(const QAbstractItemView& vue) {
    QList<int> r;
    for (const QModelIndex& i : vue.selectionModel()->selectedIndexes()) {
        if (!r.contains(i.row())) {
            r << i.row();
        }
    }
    std::sort(r.begin(), r.end());
    return r;
}
QList<int> ColonnesChoisies(const QAbstractItemView& vue) {
    QList<int> c;
    for (const QModelIndex& i : vue.selectionModel()->selectedIndexes()) {
        if (!c.contains(i.column())) {
            c << i.column();
        }
    }
    return c;
}

} // namespace

class FenetreCopie : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { Dialogues::Automatique(true); }
    void init() {
        Dialogues::Oublie();
        QGuiApplication::clipboard()->clear();
        t = std::make_unique<FenetreDeTest>();
        t->EcritTable("nom.lst", {Rangee(0, "10.0.0.1", 9, "29/Feb/2004:21:41:50"),
                                  Rangee(1, "caf\xE9.example", 4), Rangee(2, "c", 1), Compteur(3)});
        t->EcritTable("page.lst", {Rangee(0, "/a\tb.html", 12), Compteur(1)});
        t->EcritTable("lanp.lst", {RangeeLanp(0, 0, 7, "d", 1), RangeeLanp(1, 0, 2, "d", 1),
                                   RangeeLanp(2, 0, 1, "d", 1)});
        t->EcritTable("erreur.lst",
                      {RangeeErreur(0, "/x", 3, "29/Feb/2004:21:41:50", "404", 0),
                       RangeeErreur(1, "/y", 2, "29/Feb/2004:21:41:51", "404", 0),
                       RangeeErreur(2, "/z", 1, "29/Feb/2004:21:41:52", "404", 0), Compteur(3)});
        t->EcritTable("graphmois.lst", {"\\1;2004\\2;\\3;5\\4;"});
        f = &t->Ouvre();
    }
    void cleanup() { t.reset(); }

    void rankedListCopiesItsRowWithTheTitles();
    void everyRankedListCopiesAllItsRows();
    void contextMenuCopies();
    void resultsCopySeveralRowsInListOrder();
    void errorRowsAreChosenByTheirFirstCellOnly();
    void plainListsCopyTheirItem();

  private:
    std::unique_ptr<FenetreDeTest> t;
    TFPrincip* f = nullptr;
};

void FenetreCopie::rankedListCopiesItsRowWithTheTitles() {
    Trouve<ControleOnglets>(*f, "PageControl1").setCurrentIndex(3);
    QTableView& ip = Trouve<QTableView>(*f, "LVIP");
    // Nothing selected: nothing copied, the clipboard keeps what it had.
    QGuiApplication::clipboard()->setText("avant");
    CtrlC(ip);
    QCOMPARE(PressePapiers(), QString("avant"));

    Clique(ip, 1);
    CtrlC(ip);
    QCOMPARE(PressePapiers(),
             QString("Nom\tAcces\tDernier\ncafé.example\t4\t14/Feb/2004:10:11:12\n"));
    // A click chooses one row; Ctrl+click adds one, in list order whatever the order of clicks.
    Clique(ip, 0, 0, Qt::ControlModifier);
    QCOMPARE(RangeesChoisies(ip), QList<int>({0, 1}));
    CtrlC(ip);
    QCOMPARE(PressePapiers(), QString("Nom\tAcces\tDernier\n10.0.0.1\t9\t29/Feb/2004:21:41:50\n"
                                      "café.example\t4\t14/Feb/2004:10:11:12\n"));
    // Shift+click chooses the rows between; Ctrl+click on a chosen row leaves it out.
    Clique(ip, 0);
    Clique(ip, 2, 1, Qt::ShiftModifier);
    QCOMPARE(RangeesChoisies(ip), QList<int>({0, 1, 2}));
    Clique(ip, 1, 0, Qt::ControlModifier);
    CtrlC(ip);
    QCOMPARE(PressePapiers(), QString("Nom\tAcces\tDernier\n10.0.0.1\t9\t29/Feb/2004:21:41:50\n"
                                      "c\t1\t14/Feb/2004:10:11:12\n"));

    // A tab inside a name would shift the columns: it becomes a space.
    Trouve<ControleOnglets>(*f, "PageControl1").setCurrentIndex(1);
    QTableView& pages = Trouve<QTableView>(*f, "VLPages");
    Clique(pages, 0);
    CtrlC(pages);
    QCOMPARE(PressePapiers(), QString("Nom\tAcces\n/a b.html\t12\n"));
}

void FenetreCopie::everyRankedListCopiesAllItsRows() {
    // Each of the five lists, Ctrl+A then Ctrl+C: every row, whatever was chosen before.
    const struct {
        int onglet;
        const char* vue;
        int rangees;
    } listes[] = {{1, "VLPages", 1},
                  {2, "LVImages", 0},
                  {3, "LVIP", 3},
                  {4, "LVOrigine", 0},
                  {7, "LVDownload", 0}};
    for (const auto& l : listes) {
        Trouve<ControleOnglets>(*f, "PageControl1").setCurrentIndex(l.onglet);
        QTableView& vue = Trouve<QTableView>(*f, l.vue);
        QCOMPARE(vue.selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(vue.selectionBehavior(), QAbstractItemView::SelectRows);
        QGuiApplication::clipboard()->setText("avant");
        vue.setFocus();
        QTest::keyClick(&vue, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(RangeesChoisies(vue).size(), l.rangees);
        CtrlC(vue);
        if (l.rangees == 0) {
            QCOMPARE(PressePapiers(), QString("avant")); // nothing to copy
        } else {
            QCOMPARE(PressePapiers().count(u'\n'), l.rangees + 1);
        }
        if (QString(l.vue) == "LVIP") {
            QCOMPARE(
                PressePapiers(),
                QString("Nom\tAcces\tDernier\n10.0.0.1\t9\t29/Feb/2004:21:41:50\n"
                        "café.example\t4\t14/Feb/2004:10:11:12\nc\t1\t14/Feb/2004:10:11:12\n"));
        }
    }

    // A large list chosen whole is copied whole, in its order.
    Table& pages = t->base.ListePage;
    pages.Efface();
    for (int i = 0; i < 20000; ++i) {
        pages.Ajoute(Rangee(i, "/p" + std::to_string(i), 20000 - i));
    }
    pages.Ajoute(Compteur(20000));
    f->RafraichitVues();
    Trouve<ControleOnglets>(*f, "PageControl1").setCurrentIndex(1);
    QTableView& liste = Trouve<QTableView>(*f, "VLPages");
    liste.setFocus();
    QTest::keyClick(&liste, Qt::Key_A, Qt::ControlModifier);
    CtrlC(liste);
    const QStringList lignes = PressePapiers().split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lignes.size(), 20001);
    QCOMPARE(lignes[1], QString("/p0\t20000"));
    QCOMPARE(lignes.last(), QString("/p19999\t1"));
    // A double-click still leads from the row it falls on.
    Clique(liste, 2);
    QTest::mouseDClick(liste.viewport(), Qt::LeftButton, {},
                       liste.visualRect(liste.model()->index(2, 0)).center());
    QCOMPARE(f->ModeRecherche(), ModeInfos::Pages);
}

void FenetreCopie::contextMenuCopies() {
    Trouve<ControleOnglets>(*f, "PageControl1").setCurrentIndex(3);
    QTableView& ip = Trouve<QTableView>(*f, "LVIP");
    Clique(ip, 2);
    QStringList vus;
    bool actif = false;
    // The menu is modal: it is answered from the event loop while it is open.
    QTimer::singleShot(0, this, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu != nullptr);
        QCOMPARE(menu->font().pixelSize(), 11);
        for (QAction* a : menu->actions()) {
            vus << a->text();
        }
        actif = menu->actions().value(0)->isEnabled();
        menu->actions().value(0)->trigger();
        menu->close();
    });
    const QPoint ou = ip.visualRect(ip.model()->index(2, 0)).center();
    QContextMenuEvent clic(QContextMenuEvent::Mouse, ou, ip.viewport()->mapToGlobal(ou));
    QCoreApplication::sendEvent(ip.viewport(), &clic);
    QCOMPARE(vus, QStringList({"Copier", "Exporter…"}));
    QVERIFY(actif);
    QCOMPARE(PressePapiers(), QString("Nom\tAcces\tDernier\nc\t1\t14/Feb/2004:10:11:12\n"));
}

void FenetreCopie::resultsCopySeveralRowsInListOrder() {
    Trouve<ControleOnglets>(*f, "PageControl1").setCurrentIndex(5);
    QTest::mouseClick(&Trouve<QPushButton>(*f, "BPage"), Qt::LeftButton);
    Clique(Trouve<QListView>(*f, "LBSearch"), 0);
    QTableView& resultats = Trouve<QTableView>(*f, "LVAffiche");
    QCOMPARE(resultats.model()->rowCount(), 3);
    Clique(resultats, 2);
    Clique(resultats, 0, 1, Qt::ControlModifier);
    QCOMPARE(RangeesChoisies(resultats), QList<int>({0, 2}));
    CtrlC(resultats);
    QCOMPARE(PressePapiers(), QString("Nom\tAcces\tDate\n10.0.0.1\t7\t29/Feb/2004:21:41:50\n"
                                      "c\t1\t14/Feb/2004:10:11:12\n"));
    // A double-click still leads from the row it falls on.
    Clique(resultats, 1);
    QTest::mouseDClick(resultats.viewport(), Qt::LeftButton, {},
                       resultats.visualRect(resultats.model()->index(1, 0)).center());
    QCOMPARE(f->ModeRecherche(), ModeInfos::IP);
    QVERIFY(Dialogues::Messages().empty());
}

void FenetreCopie::errorRowsAreChosenByTheirFirstCellOnly() {
    Trouve<ControleOnglets>(*f, "PageControl1").setCurrentIndex(8);
    QTest::mouseClick(&Trouve<QPushButton>(*f, "B404"), Qt::LeftButton);
    QTableView& retours = Trouve<QTableView>(*f, "LVRetours");
    QCOMPARE(retours.model()->rowCount(), 3);

    // A click on the date of a row chooses its first cell, and the current cell follows.
    Clique(retours, 1, 2);
    QCOMPARE(RangeesChoisies(retours), QList<int>({1}));
    QCOMPARE(ColonnesChoisies(retours), QList<int>({0}));
    QCOMPARE(retours.currentIndex().column(), 0);
    // Shift+click chooses the rows between, Ctrl+click one more: first cells only.
    Clique(retours, 2, 1, Qt::ShiftModifier);
    QCOMPARE(RangeesChoisies(retours), QList<int>({1, 2}));
    Clique(retours, 0, 2, Qt::ControlModifier);
    QCOMPARE(RangeesChoisies(retours), QList<int>({0, 1, 2}));
    QCOMPARE(ColonnesChoisies(retours), QList<int>({0}));
    // The keyboard cannot leave the first column either.
    retours.setFocus();
    QTest::keyClick(&retours, Qt::Key_Right);
    QCOMPARE(retours.currentIndex().column(), 0);
    QCOMPARE(ColonnesChoisies(retours), QList<int>({0}));

    // The chosen rows are copied whole.
    Clique(retours, 0, 1);
    Clique(retours, 2, 2, Qt::ControlModifier);
    CtrlC(retours);
    QCOMPARE(PressePapiers(), QString("Page\tAcces\tDate\n/x\t3\t29/Feb/2004:21:41:50\n"
                                      "/z\t1\t29/Feb/2004:21:41:52\n"));
}

void FenetreCopie::plainListsCopyTheirItem() {
    Trouve<ControleOnglets>(*f, "PageControl1").setCurrentIndex(6);
    QListWidget& annees = Trouve<QListWidget>(*f, "LBListAnnee");
    Clique(annees, 0);
    CtrlC(annees);
    QCOMPARE(PressePapiers(), QString("2004\n"));

    Trouve<ControleOnglets>(*f, "PageControl1").setCurrentIndex(5);
    QTest::mouseClick(&Trouve<QPushButton>(*f, "BNomD"), Qt::LeftButton);
    QListView& entrees = Trouve<QListView>(*f, "LBSearch");
    Clique(entrees, 1);
    CtrlC(entrees);
    QCOMPARE(PressePapiers(), QString("café.example\n"));
}

QTEST_MAIN(FenetreCopie)
#include "fenetre_copie_test.moc"
