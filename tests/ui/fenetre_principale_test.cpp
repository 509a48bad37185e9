// The main window driven as a user would: start-up, menu commands, import, close question.
#include "fenetre_commun.h"

#include "ui/onglets.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QStyle>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <filesystem>

using namespace sillage;
using namespace sillage::test;

namespace {

QString CelluleResume(TFPrincip& f, int colonne, int rangee) {
    return Trouve<QTableWidget>(f, "SGGen").item(rangee, colonne)->text();
}

ControleOnglets& Onglets(TFPrincip& f) {
    return Trouve<ControleOnglets>(f, "PageControl1");
}

QAction& Commande(TFPrincip& f, const char* nom) {
    return Trouve<QAction>(f, nom);
}

// The record counts of the summary, rows 1 to 5.
QStringList ComptesAffiches(TFPrincip& f) {
    QStringList c;
    for (int r = 1; r <= 5; ++r) {
        c << CelluleResume(f, 1, r);
    }
    return c;
}

// The totals of hits and the daily averages of the summary, rows 1 to 5.
QStringList Totaux(TFPrincip& f) {
    QStringList c;
    for (int r = 1; r <= 5; ++r) {
        c << CelluleResume(f, 2, r);
    }
    return c;
}
QStringList Moyennes(TFPrincip& f) {
    QStringList c;
    for (int r = 1; r <= 5; ++r) {
        c << CelluleResume(f, 3, r);
    }
    return c;
}

const std::vector<Dialogues::Message>& Messages() {
    return Dialogues::Messages();
}

} // namespace

class FenetrePrincipale : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { Dialogues::Automatique(true); }
    void init() { Dialogues::Oublie(); }

    void firstStartWithoutFiles();
    void layoutOfTheWindow();
    void datesShowWhole();
    void startOnSavedTables();
    void startOnAnUnreadableFile();
    void importThenSave();
    void failedImportChangesNothing();
    void reset();
    void closeQuestion();
    void saveFailingOnClose();
    void nothingWrittenButTheTables();
};

void FenetrePrincipale::firstStartWithoutFiles() {
    FenetreDeTest t;
    TFPrincip& f = t.Ouvre();

    QCOMPARE(Onglets(f).currentIndex(), 0);
    QCOMPARE(ComptesAffiches(f), QStringList({"0", "0", "0", "0", "0"}));
    for (const char* vue : {"VLPages", "LVImages", "LVIP", "LVOrigine", "LVDownload"}) {
        QCOMPARE(ListeDe(f, vue).rowCount(), 0);
    }
    QCOMPARE(Trouve<QListWidget>(f, "LBListAnnee").count(), 0);
    QCOMPARE(Trouve<QListWidget>(f, "LBListMois").count(), 0);
    // Header cells written; no hit yet, and no day to average over.
    QCOMPARE(CelluleResume(f, 0, 1), QString("Pages"));
    QCOMPARE(CelluleResume(f, 0, 5), QString("Downloads"));
    QCOMPARE(CelluleResume(f, 1, 0), QString("Nombre"));
    QCOMPARE(CelluleResume(f, 2, 0), QString("Total des acces"));
    QCOMPARE(CelluleResume(f, 3, 0), QString("Moyenne journaliere"));
    for (int r = 1; r <= 5; ++r) {
        QCOMPARE(CelluleResume(f, 2, r), QString("0"));
        QVERIFY(CelluleResume(f, 3, r).isEmpty());
    }
    for (QLabel* l : EtiquettesJours(f)) {
        QVERIFY(l->isHidden());
    }
    QCOMPARE(t.base.Modifie, 0);

    QVERIFY(f.close());
    QVERIFY(Messages().empty());
    // Nothing reaches the disk without a save.
    QVERIFY(!std::filesystem::exists(t.repertoire.Fichier("nom.lst")));
}

void FenetrePrincipale::layoutOfTheWindow() {
    FenetreDeTest t;
    TFPrincip& f = t.Ouvre();

    QCOMPARE(f.windowTitle(), QString("Sillage"));
    QCOMPARE(f.centralWidget()->size(), QSize(654, 658));
    QCOMPARE(f.minimumSize(), f.maximumSize());

    const QStringList commandes = {"&Ouvrir",  "&Enregistrer", "E&xporter…", "&Reinitialiser",
                                   "&Options", "&A Propos",    "&Quitter"};
    QStringList vues;
    for (QAction* a : f.menuBar()->actions()) {
        QVERIFY(a->menu() == nullptr);
        vues << a->text();
    }
    QCOMPARE(vues, commandes);

    // Ten tabs, every caption whole and in sight, on two rows.
    const QStringList titres = {"Général",
                                "Statistiques des Pages",
                                "Statistiques des Images",
                                "Statistiques des IP",
                                "Statistiques des Référents",
                                "Infos",
                                "Graphiques annuels",
                                "Statistiques des Downloads",
                                "Statistiques des Retours",
                                "Visiteurs"};
    ControleOnglets& onglets = Onglets(f);
    QCOMPARE(onglets.count(), 10);
    QCOMPARE(onglets.rowCount(), 2);
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(onglets.tabText(i), titres[i]);
        const QRect r = onglets.tabRect(i);
        QVERIFY(onglets.rect().contains(r));
        QVERIFY(r.width() > onglets.fontMetrics().horizontalAdvance(titres[i]));
        for (int j = 0; j < i; ++j) {
            QVERIFY(!r.intersects(onglets.tabRect(j)));
        }
    }
    // A click on a caption selects its tab; so does the program.
    const QPoint centre = onglets.tabRect(8).center();
    QWidget* barre = onglets.childAt(centre);
    QVERIFY(barre != nullptr);
    QTest::mouseClick(barre, Qt::LeftButton, {}, barre->mapFrom(&onglets, centre));
    QCOMPARE(onglets.currentIndex(), 8);
    onglets.setCurrentIndex(3);
    QCOMPARE(onglets.currentWidget()->objectName(), QString("TabSheet4"));

    const struct {
        const char* nom;
        QRect place;
    } places[] = {
        {"ProgressBar1", {96, 16, 489, 16}},  {"SGGen", {24, 72, 561, 497}},
        {"EFiltre4", {8, 32, 473, 21}},       {"BFiltre4", {488, 32, 145, 21}},
        {"LVIP", {8, 64, 625, 529}},          {"LVDownload", {8, 16, 625, 545}},
        {"LBSearch", {16, 56, 601, 193}},     {"LVAffiche", {16, 272, 601, 289}},
        {"LBListMois", {240, 32, 393, 201}},  {"PaintBox1", {64, 272, 495, 289}},
        {"B417", {8 + 32 * 17, 8, 25, 25}},   {"B505", {8 + 32 * 5, 38, 25, 25}},
        {"LVRetours", {8, 96, 625, 473}},     {"EFiltre6", {8, 32, 473, 21}},
        {"LVNavigateurs", {8, 80, 305, 245}}, {"LVSystemes", {8, 349, 305, 244}},
        {"LVRobots", {321, 80, 312, 245}},    {"LVPays", {321, 349, 312, 244}},
    };
    for (const auto& p : places) {
        auto* w = f.findChild<QWidget*>(p.nom);
        QVERIFY2(w != nullptr, p.nom);
        QCOMPARE(w->geometry(), p.place);
    }
    QCOMPARE(f.findChild<QLabel*>("Label14")->text(), QString("Décembre"));
    QCOMPARE(f.findChild<QLabel*>("Label14")->geometry().right() + 1, 57);
    QCOMPARE(f.findChild<QLabel*>("Label91")->text(), QString("31"));
    QCOMPARE(f.findChild<QLabel*>("Label91")->pos(), QPoint(64 + 16 * 30, 568));
    QCOMPARE(f.findChild<QPushButton*>("B500")->text(), QString("500"));

    // Columns: titles, widths, alignment.
    QTableView* pages = &Trouve<QTableView>(f, "VLPages");
    QCOMPARE(pages->model()->headerData(1, Qt::Horizontal).toString(), QString("Acces"));
    QCOMPARE(pages->horizontalHeader()->sectionSize(0), 470);
    QCOMPARE(pages->horizontalHeader()->sectionSize(1), 120);
    QCOMPARE(ListeDe(f, "LVOrigine").headerData(1, Qt::Horizontal).toString(), QString("Accès"));
    QCOMPARE(pages->selectionBehavior(), QAbstractItemView::SelectRows);
    // Whole rows, several at a time to be copied (fenetre_copie_test).
    QCOMPARE(pages->selectionMode(), QAbstractItemView::ExtendedSelection);
}

void FenetrePrincipale::datesShowWhole() {
    FenetreDeTest t;
    TFPrincip& f = t.Ouvre();
    // Each list with a date column: its titles and the widths of its columns as laid out for a
    // narrower font; the date column now takes what it needs from the first one.
    const struct {
        const char* vue;
        QStringList titres;
        QList<int> largeurs;
    } listes[] = {
        {"LVImages", {"Nom", "Acces", "Dernier"}, {420, 70, 90}},
        {"LVIP", {"Nom", "Acces", "Dernier"}, {400, 50, 100}},
        {"LVDownload", {"Nom", "Acces", "Dernier"}, {400, 50, 100}},
        {"LVAffiche", {"Nom", "Acces", "Date"}, {400, 50, 100}},
        {"LVRetours", {"Page", "Acces", "Date"}, {400, 50, 120}},
    };
    for (const auto& l : listes) {
        const QTableView& vue = Trouve<QTableView>(f, l.vue);
        // Cut short when the text and the margins on both sides do not fit.
        const int marge = vue.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &vue) + 1;
        const QHeaderView* entetes = vue.horizontalHeader();
        QStringList titres;
        for (int c = 0; c < 3; ++c) {
            titres << vue.model()->headerData(c, Qt::Horizontal).toString();
            const auto alignement =
                vue.model()->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).toInt();
            QCOMPARE(Qt::Alignment(alignement) & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        }
        QCOMPARE(titres, l.titres);
        for (const char* date :
             {"29/Feb/2004:21:41:50", "31/May/2003:00:08:44", "30/Nov/2003:23:59:59"}) {
            QVERIFY2(vue.fontMetrics().horizontalAdvance(date) + 2 * marge <=
                         entetes->sectionSize(2),
                     l.vue);
        }
        QCOMPARE(entetes->sectionSize(1), l.largeurs[1]);
        QCOMPARE(entetes->sectionSize(0) + entetes->sectionSize(2), l.largeurs[0] + l.largeurs[2]);
    }
}

void FenetrePrincipale::startOnSavedTables() {
    FenetreDeTest t;
    // Rows in no particular order: the lists follow the files.
    t.EcritTable("page.lst", {Rangee(0, "/b.html", 1), Rangee(1, "/caf\xE9.html", 5),
                              Rangee(2, "/a.html", 3), Compteur(3)});
    t.EcritTable("nom.lst", {Rangee(0, "10.0.0.1", 2), Compteur(1)});
    t.EcritTable("graphmois.lst", {"\\1;2004\\2;l\\3;17\\4;"});
    t.EcritTable("graphheure.lst", {"\\1;2004\\2;Feb\\3;17\\4;3\\5;", "\\1;2004\\2;Mar\\3;4\\4;"});
    TFPrincip& f = t.Ouvre();

    QCOMPARE(Colonne(ListeDe(f, "VLPages"), 0), QStringList({"/b.html", "/café.html", "/a.html"}));
    QCOMPARE(Colonne(ListeDe(f, "VLPages"), 1), QStringList({"1", "5", "3"}));
    QCOMPARE(Colonne(ListeDe(f, "LVIP"), 2), QStringList({"14/Feb/2004:10:11:12"}));
    QCOMPARE(ListeDe(f, "VLPages").LigneTable(2), 2);
    QCOMPARE(ComptesAffiches(f), QStringList({"3", "1", "0", "0", "0"}));
    // Hits summed, and averaged over the one day that has hits (the first of February).
    QCOMPARE(Totaux(f), QStringList({"9", "2", "0", "0", "0"}));
    QCOMPARE(Moyennes(f), QStringList({"9,0", "2,0", "0,0", "0,0", "0,0"}));
    QCOMPARE(Trouve<QListWidget>(f, "LBListAnnee").item(0)->text(), QString("2004"));
    QListWidget& mois = Trouve<QListWidget>(f, "LBListMois");
    QCOMPARE(mois.count(), 2);
    QCOMPARE(mois.item(0)->text(), QString("Feb 2004 (max: 17)"));
    // The name indexes follow their tables (once asked for).
    t.base.AssureIndex();
    QCOMPARE(t.base.IndexPage.Count(), 3u);
    QCOMPARE(t.base.IndexPage[1], std::string_view("/caf\xE9.html"));
    QCOMPARE(t.base.IndexNom.Count(), 1u);
    QCOMPARE(t.base.Modifie, 0);
}

void FenetrePrincipale::startOnAnUnreadableFile() {
    FenetreDeTest t;
    std::filesystem::create_directory(t.repertoire.Fichier("page.lst"));
    TFPrincip& f = t.Ouvre();

    QVERIFY(f.isVisible());
    QCOMPARE(Messages().size(), 1u);
    QVERIFY(Messages()[0].texte.startsWith("Impossible d'ouvrir le fichier"));
    QVERIFY(Messages()[0].texte.endsWith("page.lst : c'est un répertoire"));
    QVERIFY(QApplication::overrideCursor() == nullptr);
    // The tables in memory are partial: no import or save may overwrite the files with them.
    QVERIFY(!Commande(f, "Ouvrir1").isEnabled());
    QVERIFY(!Commande(f, "Enregistrer1").isEnabled());
    Declenche(f, "Enregistrer1");
    QVERIFY(!std::filesystem::exists(t.repertoire.Fichier("nom.lst")));

    // A reset that still meets the unreadable file changes nothing of that.
    Dialogues::Oublie();
    Dialogues::ReponseSuivante(QMessageBox::Yes);
    Declenche(f, "Reinitialiser1");
    QCOMPARE(Messages().size(), 2u);
    QVERIFY(Messages()[1].texte.endsWith("page.lst : c'est un répertoire"));
    QVERIFY(!Commande(f, "Enregistrer1").isEnabled());
    QVERIFY(QApplication::overrideCursor() == nullptr);

    // Once it is gone, a reset brings the store and the summary back.
    std::filesystem::remove(t.repertoire.Fichier("page.lst"));
    Dialogues::Oublie();
    Dialogues::ReponseSuivante(QMessageBox::Yes);
    Declenche(f, "Reinitialiser1");
    QCOMPARE(Messages().size(), 1u);
    QVERIFY(Commande(f, "Ouvrir1").isEnabled());
    QVERIFY(Commande(f, "Enregistrer1").isEnabled());
    QCOMPARE(CelluleResume(f, 0, 1), QString("Pages"));
    QCOMPARE(ComptesAffiches(f), QStringList({"0", "0", "0", "0", "0"}));
}

void FenetrePrincipale::importThenSave() {
    FenetreDeTest t;
    TFPrincip& f = t.Ouvre();
    const std::string log = t.repertoire.Fichier("access.log");
    Ecrit(log, Journal({LigneLog("10.0.0.1", "14/Feb/2004:10:11:12", "/a.html"),
                        LigneLog("10.0.0.2", "14/Feb/2004:10:11:12", "/index.html"),
                        LigneLog("10.0.0.1", "14/Feb/2004:10:20:00", "/index.html")}));

    Dialogues::FichierSuivant(QString::fromStdString(log));
    Commande(f, "Ouvrir1").trigger();
    QVERIFY(Messages().empty());
    QCOMPARE(t.base.Modifie, 1);
    QCOMPARE(Trouve<QProgressBar>(f, "ProgressBar1").value(), 100);
    QVERIFY(QApplication::overrideCursor() == nullptr);
    // Ranked by hit count; summary and indexes refreshed.
    QCOMPARE(Colonne(ListeDe(f, "VLPages"), 0), QStringList({"/index.html", "/a.html"}));
    QCOMPARE(ComptesAffiches(f), QStringList({"2", "2", "0", "0", "0"}));
    QCOMPARE(Totaux(f), QStringList({"3", "3", "0", "0", "0"}));
    QCOMPARE(Moyennes(f), QStringList({"3,0", "3,0", "0,0", "0,0", "0,0"}));
    t.base.AssureIndex();
    QCOMPARE(t.base.IndexNom.Count(), 2u);
    QCOMPARE(Trouve<QListWidget>(f, "LBListMois").item(0)->text(), QString("Feb 2004 (max: 3)"));

    // An unsaved import makes closing ask.
    Dialogues::ReponseSuivante(QMessageBox::Cancel);
    QVERIFY(!f.close());
    QCOMPARE(Messages().size(), 1u);
    QCOMPARE(Messages()[0].texte, QString("Voulez-vous enregistrer les modifications ?"));

    Dialogues::Oublie();
    Commande(f, "Enregistrer1").trigger();
    QCOMPARE(t.base.Modifie, 0);
    QVERIFY(Contenu(t.repertoire.Fichier("page.lst")).find("/index.html\\3;2") !=
            std::string::npos);

    // After a reset nothing is loaded from any log: the bar is empty again.
    Dialogues::ReponseSuivante(QMessageBox::Yes);
    Commande(f, "Reinitialiser1").trigger();
    QCOMPARE(Trouve<QProgressBar>(f, "ProgressBar1").value(), 0);
    QCOMPARE(ComptesAffiches(f), QStringList({"0", "0", "0", "0", "0"}));
    Dialogues::Oublie();
    QVERIFY(f.close());
    QVERIFY(Messages().empty());
}

void FenetrePrincipale::failedImportChangesNothing() {
    FenetreDeTest t;
    t.EcritTable("page.lst", {Rangee(0, "/a.html", 3), Compteur(1)});
    t.EcritTable("nom.lst", {Rangee(0, "10.0.0.1", 3), Compteur(1)});
    TFPrincip& f = t.Ouvre();
    const Table pagesAvant = t.base.ListePage;
    const Table nomsAvant = t.base.ListeNom;
    const Table heuresAvant = t.base.ListeGraphHeure;
    const std::string mauvais = t.repertoire.Fichier("mauvais.log");
    // A good line, then one whose date does not read.
    Ecrit(mauvais, Journal({LigneLog("10.0.0.9", "14/Feb/2004:10:11:12", "/neuf.html"),
                            LigneLog("10.0.0.9", "xx", "/x")}));

    for (int modifie : {0, 1}) {
        for (const std::string& chemin : {mauvais, t.repertoire.Chemin()}) {
            t.base.Modifie = modifie;
            Dialogues::Oublie();
            Dialogues::FichierSuivant(QString::fromStdString(chemin));
            Declenche(f, "Ouvrir1");

            // A line that stops the import is followed by the question whether to pass over
            // such lines, whose default answer (Non) keeps everything as it was.
            QCOMPARE(Messages().size(), chemin == mauvais ? 2u : 1u);
            QCOMPARE(Messages()[0].boutons, QMessageBox::StandardButtons(QMessageBox::Ok));
            QVERIFY(!Messages()[0].texte.isEmpty());
            QCOMPARE(t.base.Modifie, modifie);
            QVERIFY(t.base.ListePage == pagesAvant);
            QVERIFY(t.base.ListeNom == nomsAvant);
            QVERIFY(t.base.ListeGraphHeure == heuresAvant);
            t.base.AssureIndex();
            QCOMPARE(t.base.IndexNom.Count(), 1u);
            QCOMPARE(Colonne(ListeDe(f, "VLPages"), 0), QStringList({"/a.html"}));
            QCOMPARE(Trouve<QProgressBar>(f, "ProgressBar1").value(), 0);
            QVERIFY(QApplication::overrideCursor() == nullptr);
        }
    }
    QVERIFY(Messages()[0].texte.startsWith("Impossible d'ouvrir le fichier"));

    // A cancelled dialog changes nothing and says nothing.
    Dialogues::Oublie();
    Declenche(f, "Ouvrir1");
    QVERIFY(Messages().empty());
}

void FenetrePrincipale::reset() {
    FenetreDeTest t;
    t.EcritTable("page.lst", {Rangee(0, "/a.html", 3), Compteur(1)});
    TFPrincip& f = t.Ouvre();
    t.base.Modifie = 1;

    Dialogues::ReponseSuivante(QMessageBox::No);
    Commande(f, "Reinitialiser1").trigger();
    QCOMPARE(Messages().size(), 1u);
    QCOMPARE(Messages()[0].titre, QString("Reinitialisation"));
    QCOMPARE(Messages()[0].texte, QString("Voulez-vous réinitialiser la base ?"));
    QCOMPARE(Messages()[0].boutons, QMessageBox::Yes | QMessageBox::No);
    // The question that deletes the history: Enter answers No.
    QCOMPARE(Messages()[0].defaut, QMessageBox::No);
    const std::unique_ptr<QMessageBox> boite = Dialogues::CreeBoite(&f, Messages()[0]);
    QCOMPARE(boite->defaultButton(), boite->button(QMessageBox::No));
    QVERIFY(std::filesystem::exists(t.repertoire.Fichier("page.lst")));
    QCOMPARE(ListeDe(f, "VLPages").rowCount(), 1);
    QCOMPARE(t.base.ListePage.Count(), 2u);

    Dialogues::Oublie();
    Trouve<QLineEdit>(f, "EFiltre1").setText("zz");
    QTest::mouseClick(&Trouve<QPushButton>(f, "BFiltre1"), Qt::LeftButton);
    Dialogues::ReponseSuivante(QMessageBox::Yes);
    Commande(f, "Reinitialiser1").trigger();
    QVERIFY(!std::filesystem::exists(t.repertoire.Fichier("page.lst")));
    QCOMPARE(ListeDe(f, "VLPages").rowCount(), 0);
    QCOMPARE(ComptesAffiches(f), QStringList({"0", "0", "0", "0", "0"}));
    t.base.AssureIndex();
    QCOMPARE(t.base.IndexPage.Count(), 0u);
    QCOMPARE(t.base.Modifie, 1); // the reset does not touch the flag
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void FenetrePrincipale::closeQuestion() {
    FenetreDeTest t;
    TFPrincip& f = t.Ouvre();
    t.base.Modifie = 1;

    // Cancel keeps everything.
    Dialogues::ReponseSuivante(QMessageBox::Cancel);
    Commande(f, "Quitter1").trigger();
    QVERIFY(f.isVisible());
    QCOMPARE(t.base.Modifie, 1);
    QCOMPARE(t.base.ListePage.Count(), 1u);
    QCOMPARE(Messages().size(), 1u);
    const Dialogues::Message& question = Messages()[0];
    QCOMPARE(question.titre, QString("Enregistrement"));
    QCOMPARE(question.texte, QString("Voulez-vous enregistrer les modifications ?"));
    QCOMPARE(question.boutons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(question.defaut, QMessageBox::Yes);
    QCOMPARE(question.icone, QMessageBox::NoIcon);

    // No closes without saving.
    Dialogues::Oublie();
    Dialogues::ReponseSuivante(QMessageBox::No);
    QVERIFY(f.close());
    QCOMPARE(Messages().size(), 1u);
    QVERIFY(!std::filesystem::exists(t.repertoire.Fichier("nom.lst")));

    // Yes saves, then closes.
    FenetreDeTest u;
    TFPrincip& g = u.Ouvre();
    u.base.Modifie = 1;
    Dialogues::ReponseSuivante(QMessageBox::Yes);
    QVERIFY(g.close());
    QVERIFY(std::filesystem::exists(u.repertoire.Fichier("nom.lst")));
}

void FenetrePrincipale::saveFailingOnClose() {
    FenetreDeTest t;
    TFPrincip& f = t.Ouvre();
    t.base.Modifie = 1;
    // A directory that does not exist: it cannot even be opened to take the store's lock.
    t.base.FixeRepertoire(t.repertoire.Fichier("absent/"));

    Dialogues::ReponseSuivante(QMessageBox::Yes);
    QVERIFY(!f.close());
    QVERIFY(f.isVisible());
    QCOMPARE(t.base.Modifie, 1);
    QCOMPARE(Messages().size(), 2u);
    QVERIFY(Messages()[1].texte.startsWith("Impossible d'ouvrir le fichier"));
    QVERIFY(QApplication::overrideCursor() == nullptr);

    // The same failure from the menu.
    Dialogues::Oublie();
    Commande(f, "Enregistrer1").trigger();
    QCOMPARE(Messages().size(), 1u);
    QCOMPARE(t.base.Modifie, 1);
}

// Qt's file dialog would keep its history in Qt's settings file of the user when it goes: a
// window whose real dialog was shown writes nothing there.
void FenetrePrincipale::nothingWrittenButTheTables() {
    RepertoireTemporaire reglages;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(reglages.Chemin()));
    {
        FenetreDeTest t;
        TFPrincip& f = t.Ouvre();
        Dialogues::Automatique(false);
        bool montre = false;
        QTimer::singleShot(0, &f, [&] {
            auto& dialogue = Trouve<QFileDialog>(f, "OpenDialog1");
            QTRY_VERIFY(dialogue.isVisible());
            montre = true;
            dialogue.reject();
        });
        Declenche(f, "Ouvrir1");
        Dialogues::Automatique(true);
        QVERIFY(montre);
        QVERIFY(Messages().empty());
    }
    QVERIFY(std::filesystem::is_empty(reglages.Chemin()));
}

QTEST_MAIN(FenetrePrincipale)
#include "fenetre_principale_test.moc"
