// The charts tab driven through the window: the year and month lists, the labels around the
// surface and what PaintBox1 shows.
#include "fenetre_commun.h"

#include "store/enregistrements.h"
#include "ui/onglets.h"
#include "ui/surface_dessin.h"

#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QTest>

#include <algorithm>

using namespace sillage;
using namespace sillage::test;

namespace {

constexpr int kOngletGraphiques = 6;
const QColor kNoirQ(0, 0, 0);
const QColor kBlancQ(255, 255, 255);
const QColor kRougeQ(255, 0, 0);

QImage Image(TFPrincip& f) {
    return Trouve<SurfaceDessin>(f, "PaintBox1").grab().toImage();
}

QColor Pixel(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

// The texts of the labels named, "(cachée)" for a hidden one.
QStringList Textes(TFPrincip& f, std::initializer_list<const char*> noms) {
    QStringList t;
    for (const char* nom : noms) {
        const QLabel& l = Trouve<QLabel>(f, nom);
        t << (l.isVisible() ? l.text() : QString("(cachée)"));
    }
    return t;
}

QStringList EchelleH(TFPrincip& f) {
    return Textes(f, {"LHCalc1", "LHCalc2", "LHCalc3"});
}

QStringList EchelleV(TFPrincip& f) {
    return Textes(f, {"LVCalc1", "LVCalc2", "LVCalc3"});
}

// The legend as shown, left to right: each visible label's text and, in brackets, the colour of
// a label not in the tab's own text colour.
QStringList Legende(TFPrincip& f) {
    std::vector<const QLabel*> visibles;
    for (const char* nom : {"LExpl0", "lExpl1", "LExpl2", "LExpl5", "LExpl6"}) {
        const QLabel& l = Trouve<QLabel>(f, nom);
        if (l.isVisible()) {
            visibles.push_back(&l);
        }
    }
    std::sort(visibles.begin(), visibles.end(),
              [](const QLabel* a, const QLabel* b) { return a->x() < b->x(); });
    QStringList textes;
    int fin = 0;
    for (const QLabel* l : visibles) {
        // One line under the chart and below the day numbers, each entry whole and apart from
        // the one before, inside the tab.
        if (l->x() <= fin || l->y() != visibles[0]->y() ||
            l->y() < Trouve<QLabel>(f, "Label42").geometry().bottom() ||
            !l->parentWidget()->rect().contains(l->geometry()) || l->geometry().right() >= 633) {
            qWarning("%s: %d,%d %dx%d in %dx%d", qPrintable(l->objectName()), l->x(), l->y(),
                     l->width(), l->height(), l->parentWidget()->width(),
                     l->parentWidget()->height());
            return {"(mal placée) " + l->objectName()};
        }
        fin = l->geometry().right();
        const QColor couleur = l->palette().color(QPalette::WindowText);
        const QColor normale = l->parentWidget()->palette().color(QPalette::WindowText);
        textes << (couleur == normale ? l->text()
                                      : QString("%1 [%2,%3,%4]")
                                            .arg(l->text())
                                            .arg(couleur.red())
                                            .arg(couleur.green())
                                            .arg(couleur.blue()));
    }
    return textes;
}

int Visibles(const std::vector<QLabel*>& etiquettes) {
    int n = 0;
    for (QLabel* l : etiquettes) {
        n += l->isVisible() ? 1 : 0;
    }
    return n;
}

} // namespace

class FenetreGraphiques : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { Dialogues::Automatique(true); }
    void init() {
        Dialogues::Oublie();
        t = std::make_unique<FenetreDeTest>();
        RGraph annee;
        annee.Annee = 2004;
        annee.Maximum = 1234;
        annee.Hits[5] = 1234; // June: the year's maximum
        annee.Pages[5] = 600;
        annee.Visites[5] = 100;
        RGraph suivante;
        suivante.Annee = 2005;
        suivante.Maximum = 30;
        suivante.Hits[0] = 30;
        RGraphMois mois;
        mois.Annee = 2004;
        mois.Mois = "Feb";
        mois.Maximum = 900;
        mois.Jours[2] = 900; // day 3: the month's maximum
        mois.Jours[9] = 1;   // too small to show
        t->EcritTable("graphmois.lst", {EcritGraph(annee), EcritGraph(suivante)});
        t->EcritTable("graphheure.lst", {EcritGraphMois(mois)});
        f = &t->Ouvre();
        Trouve<ControleOnglets>(*f, "PageControl1").setCurrentIndex(kOngletGraphiques);
        LBListAnnee = &Trouve<QListWidget>(*f, "LBListAnnee");
        LBListMois = &Trouve<QListWidget>(*f, "LBListMois");
        QVERIFY(QTest::qWaitForWindowExposed(f));
    }
    void cleanup() { t.reset(); }

    void firstShowingIsTheEmptyFrame();
    void yearAfterMonthSwitchesLabelsAndGrid();
    void choiceByKeyboard();
    void refreshClearsTheChoices();
    void unreadableYearReportedOnce();
    void eachChartHasTheLegendOfItsBars();

  private:
    std::unique_ptr<FenetreDeTest> t;
    TFPrincip* f = nullptr;
    QListWidget* LBListAnnee = nullptr;
    QListWidget* LBListMois = nullptr;
};

void FenetreGraphiques::firstShowingIsTheEmptyFrame() {
    QCOMPARE(LBListAnnee->count(), 2);
    QCOMPARE(LBListMois->item(0)->text(), QString("Feb 2004 (max: 900)"));
    QCOMPARE(f->ModeGraphique(), GenreGraphique::Aucun);
    // Nothing chosen: no scale text either.
    QCOMPARE(EchelleH(*f), QStringList({"(cachée)", "(cachée)", "(cachée)"}));
    QCOMPARE(EchelleV(*f), QStringList({"(cachée)", "(cachée)", "(cachée)"}));
    QCOMPARE(Visibles(EtiquettesMois(*f)), 0);
    QCOMPARE(Visibles(EtiquettesJours(*f)), 0);

    // The frame's top and left edges (the right and bottom ones lie just outside), and the
    // horizontal grid.
    const QImage image = Image(*f);
    QCOMPARE(image.size(), QSize(495, 289));
    QCOMPARE(Pixel(image, 0, 0), kNoirQ);
    QCOMPARE(Pixel(image, 494, 0), kNoirQ);
    QCOMPARE(Pixel(image, 0, 288), kNoirQ);
    QCOMPARE(Pixel(image, 494, 288), kBlancQ);
    QCOMPARE(Pixel(image, 250, 96), kNoirQ);
    QCOMPARE(Pixel(image, 494, 192), kNoirQ);
    QCOMPARE(Pixel(image, 165, 50), kBlancQ);
}

void FenetreGraphiques::yearAfterMonthSwitchesLabelsAndGrid() {
    Clique(*LBListMois, 0);
    QCOMPARE(f->ModeGraphique(), GenreGraphique::Mois);
    QCOMPARE(EchelleV(*f), QStringList({"300", "600", "900"}));
    QCOMPARE(EchelleH(*f), QStringList({"(cachée)", "(cachée)", "(cachée)"}));
    QCOMPARE(Visibles(EtiquettesJours(*f)), 31);
    QCOMPARE(Visibles(EtiquettesMois(*f)), 0);
    QImage image = Image(*f);
    // Day 3 at the maximum: black from y 10, red from y 11, 12 pixels wide from x 32.
    QCOMPARE(Pixel(image, 32, 10), kNoirQ);
    QCOMPARE(Pixel(image, 32, 9), kBlancQ);
    QCOMPARE(Pixel(image, 38, 11), kRougeQ);
    QCOMPARE(Pixel(image, 42, 200), kRougeQ);
    QCOMPARE(Pixel(image, 43, 200), kNoirQ);
    QCOMPARE(Pixel(image, 44, 200), kBlancQ);
    QCOMPARE(Pixel(image, 100, 96), kNoirQ);
    // Day 10's count gives a length of 0: nothing, not even a border.
    QCOMPARE(Pixel(image, 144, 288), kBlancQ);

    Clique(*LBListAnnee, 0);
    QCOMPARE(f->ModeGraphique(), GenreGraphique::Annee);
    // A maximum of 1234 reads 411, 822 and 1234.
    QCOMPARE(EchelleH(*f), QStringList({"411", "822", "1234"}));
    QCOMPARE(EchelleV(*f), QStringList({"(cachée)", "(cachée)", "(cachée)"}));
    QCOMPARE(Visibles(EtiquettesMois(*f)), 12);
    QCOMPARE(Visibles(EtiquettesJours(*f)), 0);
    QCOMPARE(EtiquettesMois(*f)[1]->text(), QString("Février"));
    image = Image(*f);
    // Vertical grid instead of the horizontal one.
    QCOMPARE(Pixel(image, 165, 40), kNoirQ);
    QCOMPARE(Pixel(image, 330, 280), kNoirQ);
    QCOMPARE(Pixel(image, 100, 96), kBlancQ);
    // June's hits at the maximum: black to x 450, red to x 449, on rows 129 to 134.
    QCOMPARE(Pixel(image, 449, 131), kRougeQ);
    QCOMPARE(Pixel(image, 450, 131), kNoirQ);
    QCOMPARE(Pixel(image, 451, 131), kBlancQ);
    QCOMPARE(Pixel(image, 200, 134), kRougeQ);
    QCOMPARE(Pixel(image, 200, 135), kNoirQ);
    // Its pages in blue above, its visits in green on top.
    QCOMPARE(Pixel(image, 100, 127), QColor(0, 0, 255));
    QCOMPARE(Pixel(image, 20, 123), QColor(0, 128, 0));
    // May has no count: no bar.
    QCOMPARE(Pixel(image, 3, 100), kBlancQ);

    // Each list kept its choice; the repaint follows the list clicked last.
    Clique(*LBListMois, 0);
    QCOMPARE(Pixel(Image(*f), 38, 11), kRougeQ);
    QCOMPARE(LBListAnnee->currentRow(), 0);
    QVERIFY(Dialogues::Messages().empty());
}

void FenetreGraphiques::choiceByKeyboard() {
    Clique(*LBListAnnee, 0);
    LBListAnnee->setFocus();
    QTest::keyClick(LBListAnnee, Qt::Key_Down);
    QCOMPARE(EchelleH(*f), QStringList({"10", "20", "30"}));
    // January's hits at 2005's maximum.
    QCOMPARE(Pixel(Image(*f), 449, 10), kRougeQ);
    QTest::keyClick(LBListAnnee, Qt::Key_Up);
    QCOMPARE(EchelleH(*f), QStringList({"411", "822", "1234"}));

    // Tabbing into the month list makes no choice.
    LBListMois->setFocus(Qt::TabFocusReason);
    QCOMPARE(f->ModeGraphique(), GenreGraphique::Annee);
    QVERIFY(LBListMois->selectedItems().isEmpty());
    QTest::keyClick(LBListMois, Qt::Key_Space);
    QCOMPARE(f->ModeGraphique(), GenreGraphique::Mois);
    QCOMPARE(EchelleV(*f), QStringList({"300", "600", "900"}));
}

void FenetreGraphiques::refreshClearsTheChoices() {
    Clique(*LBListMois, 0);
    Clique(*LBListAnnee, 0);
    f->RafraichitVues();
    QVERIFY(LBListAnnee->selectedItems().isEmpty());
    QVERIFY(LBListMois->selectedItems().isEmpty());
    // The empty frame of the yearly mode: vertical grid, no bar.
    const QImage image = Image(*f);
    QCOMPARE(Pixel(image, 165, 40), kNoirQ);
    QCOMPARE(Pixel(image, 449, 131), kBlancQ);
    QCOMPARE(f->ModeGraphique(), GenreGraphique::Annee);
    // No number is left over it, nor the month names.
    const QStringList cachees = {"(cachée)", "(cachée)", "(cachée)"};
    QCOMPARE(EchelleH(*f), cachees);
    QCOMPARE(EchelleV(*f), cachees);
    QCOMPARE(Visibles(EtiquettesMois(*f)), 0);
    QCOMPARE(Visibles(EtiquettesJours(*f)), 0);

    // The same after a reset, and after a choice undone with Ctrl+click.
    Clique(*LBListMois, 0);
    QCOMPARE(EchelleV(*f), QStringList({"300", "600", "900"}));
    Dialogues::ReponseSuivante(QMessageBox::Yes);
    Declenche(*f, "Reinitialiser1");
    QCOMPARE(EchelleV(*f), cachees);
    QCOMPARE(Visibles(EtiquettesJours(*f)), 0);
    Dialogues::Oublie();
    t->base.ListeGraphMois.Ajoute(EcritGraph(RGraph{}));
    f->RafraichitVues();
    Clique(*LBListAnnee, 0);
    QCOMPARE(EchelleH(*f), QStringList({"0", "0", "0"}));
    QTest::mouseClick(LBListAnnee->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      LBListAnnee->visualItemRect(LBListAnnee->item(0)).center());
    QVERIFY(LBListAnnee->selectedItems().isEmpty());
    QCOMPARE(EchelleH(*f), cachees);
    QCOMPARE(Visibles(EtiquettesMois(*f)), 0);
    QVERIFY(Dialogues::Messages().empty());
}

void FenetreGraphiques::unreadableYearReportedOnce() {
    t->base.ListeGraphMois.Ajoute("\\1;20x4\\2;\\3;5\\4;");
    f->RafraichitVues();
    Clique(*LBListAnnee, 2);
    QCOMPARE(Dialogues::Messages().size(), 1u);
    QCOMPARE(Dialogues::Messages()[0].texte,
             QString("'20x4' n'est pas une valeur entière correcte"));
    // Repaints draw the empty frame without a word.
    const QImage image = Image(*f);
    QCOMPARE(Pixel(image, 165, 40), kNoirQ);
    QCOMPARE(Dialogues::Messages().size(), 1u);
}

void FenetreGraphiques::eachChartHasTheLegendOfItsBars() {
    // No chart, no legend.
    QCOMPARE(Legende(*f), QStringList());
    // The month's red bars are the pages and downloads of each day.
    Clique(*LBListMois, 0);
    QCOMPARE(Legende(*f),
             QStringList({"Nombre total de", "Pages et downloads [255,0,0]", "par jour"}));
    // The year's bars: hits in red, pages and downloads in blue, visits in green; the numbers
    // beside them are pages/hits.
    Clique(*LBListAnnee, 0);
    QCOMPARE(Legende(*f),
             QStringList({"Nombre total de", "Hits [255,0,0]", "Pages et downloads [0,0,255]",
                          "Visites [0,128,0]", "Chiffres : pages/hits"}));
    const QImage image = Image(*f);
    QCOMPARE(Pixel(image, 100, 133), kRougeQ);           // June's hits
    QCOMPARE(Pixel(image, 100, 127), QColor(0, 0, 255)); // its pages and downloads
    QCOMPARE(Pixel(image, 20, 123), QColor(0, 128, 0));  // its visits
    // A refresh leaves no chart chosen, and no legend.
    f->RafraichitVues();
    QCOMPARE(Legende(*f), QStringList());
}

QTEST_MAIN(FenetreGraphiques)
#include "fenetre_graphiques_test.moc"
