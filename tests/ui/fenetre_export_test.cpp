// Exporting what the window shows: "Exporter…" in the menu bar (the current tab) and in the
// context menus, a save dialog, then a CSV file of every row the list shows.
#include "fenetre_commun.h"

#include "rapports/lecture_csv.h"
#include "store/enregistrements.h"
#include "ui/onglets.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <set>

using namespace sillage;
using namespace sillage::test;

namespace {

void Onglet(TFPrincip& f, int i) {
    Trouve<ControleOnglets>(f, "PageControl1").setCurrentIndex(i);
}

// The entries of the context menu of widget (its viewport for a list), after the one named
// choisie is chosen ("" for none).
QStringList MenuContextuel(QWidget& widget, const QString& choisie, QObject* contexte) {
    QStringList vus;
    QTimer::singleShot(0, contexte, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu != nullptr);
        for (QAction* a : menu->actions()) {
            vus << a->text();
            if (a->text() == choisie) {
                a->trigger();
            }
        }
        menu->close();
    });
    auto* liste = qobject_cast<QAbstractScrollArea*>(&widget);
    QWidget& cible = liste ? *liste->viewport() : widget;
    const QPoint ou(5, 5);
    QContextMenuEvent clic(QContextMenuEvent::Mouse, ou, cible.mapToGlobal(ou));
    QCoreApplication::sendEvent(&cible, &clic);
    return vus;
}

} // namespace

class FenetreExport : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { Dialogues::Automatique(true); }
    void init() {
        Dialogues::Oublie();
        sortie = std::make_unique<RepertoireTemporaire>();
        t = std::make_unique<FenetreDeTest>();
        t->EcritTable("nom.lst",
                      {Rangee(0, "10.0.0.1", 9, "29/Feb/2004:21:41:50"),
                       Rangee(1, "caf\xE9.example", 4), Rangee(2, "=cmd|x", 1), Compteur(3)});
        t->EcritTable("page.lst", {Rangee(0, "/index.html", 12), Rangee(1, "/a;b.html", 5),
                                   Rangee(2, "/index2.html", 2), Compteur(3)});
        t->EcritTable("lanp.lst", {RangeeLanp(0, 0, 7, "d", 1), RangeeLanp(1, 0, 2, "d", 1)});
        t->EcritTable("erreur.lst",
                      {RangeeErreur(0, "/x", 3, "29/Feb/2004:21:41:50", "404", 0),
                       RangeeErreur(1, "/y", 2, "29/Feb/2004:21:41:51", "500", 0), Compteur(2)});
        RGraph annee;
        annee.Annee = 2004;
        annee.Pages[1] = 10;
        annee.Hits[1] = 30;
        annee.Visites[1] = 4;
        annee.Maximum = 30;
        RGraphMois mois;
        mois.Annee = 2004;
        mois.Mois = "Feb";
        mois.Jours[28] = 10;
        mois.Maximum = 10;
        t->EcritTable("graphmois.lst", {EcritGraph(annee)});
        t->EcritTable("graphheure.lst", {EcritGraphMois(mois)});
        f = &t->Ouvre();
    }
    void cleanup() {
        t.reset();
        sortie.reset();
    }

    void menuCommandExportsTheCurrentList();
    void aFilteredListExportsItsRows();
    void contextMenusOfferTheExport();
    void resultsErrorRowsAndSummary();
    void chartsExportTheirFigures();
    void cancelledOrFailedExportsWriteNothing();
    void visitorsAndPeriodsExportWhatIsShown();

  private:
    // Exports through the menu bar into a file of the test's folder; its rows read back.
    RangeesCsv ExporteVers(const std::string& nom) {
        const std::string chemin = sortie->Fichier(nom);
        Dialogues::FichierSuivant(QString::fromStdString(chemin));
        Declenche(*f, "Exporter1");
        return LitCsv(Contenu(chemin));
    }

    std::unique_ptr<FenetreDeTest> t;
    std::unique_ptr<RepertoireTemporaire> sortie;
    TFPrincip* f = nullptr;
};

void FenetreExport::menuCommandExportsTheCurrentList() {
    Onglet(*f, 3);
    const RangeesCsv ip = ExporteVers("ip.csv");
    QCOMPARE(Dialogues::NomsProposes(), std::vector<QString>({"ip.csv"}));
    QVERIFY(ip == RangeesCsv({{"Nom", "Acces", "Dernier"},
                              {"10.0.0.1", "9", "29/Feb/2004:21:41:50"},
                              {"café.example", "4", "14/Feb/2004:10:11:12"},
                              {"'=cmd|x", "1", "14/Feb/2004:10:11:12"}}));
    QVERIFY(Contenu(sortie->Fichier("ip.csv")).starts_with("\xEF\xBB\xBFNom;Acces;Dernier\r\n"));
    // Every row, whatever is selected.
    Clique(Trouve<QTableView>(*f, "LVIP"), 1);
    QCOMPARE(ExporteVers("ip2.csv").size(), 4u);
    Onglet(*f, 1);
    QVERIFY(
        ExporteVers("pages.csv") ==
        RangeesCsv(
            {{"Nom", "Acces"}, {"/index.html", "12"}, {"/a;b.html", "5"}, {"/index2.html", "2"}}));
    QVERIFY(Dialogues::Messages().empty());
}

void FenetreExport::aFilteredListExportsItsRows() {
    Onglet(*f, 1);
    Trouve<QLineEdit>(*f, "EFiltre1").setText("index");
    QTest::mouseClick(&Trouve<QPushButton>(*f, "BFiltre1"), Qt::LeftButton);
    QCOMPARE(ListeDe(*f, "VLPages").rowCount(), 2);
    QVERIFY(ExporteVers("filtre.csv") ==
            RangeesCsv({{"Nom", "Acces"}, {"/index.html", "12"}, {"/index2.html", "2"}}));
}

void FenetreExport::contextMenusOfferTheExport() {
    Onglet(*f, 3);
    QTableView& ip = Trouve<QTableView>(*f, "LVIP");
    Dialogues::FichierSuivant(QString::fromStdString(sortie->Fichier("menu.csv")));
    QCOMPARE(MenuContextuel(ip, "Exporter…", this), QStringList({"Copier", "Exporter…"}));
    QCOMPARE(LitCsv(Contenu(sortie->Fichier("menu.csv"))).size(), 4u);
    // The Infos entries are copied only; the charts and the summary are exported only.
    Onglet(*f, 5);
    QCOMPARE(MenuContextuel(Trouve<QWidget>(*f, "LBSearch"), "", this), QStringList({"Copier"}));
    QCOMPARE(MenuContextuel(Trouve<QWidget>(*f, "LVAffiche"), "", this),
             QStringList({"Copier", "Exporter…"}));
    Onglet(*f, 6);
    QCOMPARE(MenuContextuel(Trouve<QWidget>(*f, "PaintBox1"), "", this),
             QStringList({"Exporter…"}));
    Onglet(*f, 0);
    Dialogues::FichierSuivant(QString::fromStdString(sortie->Fichier("resume.csv")));
    QCOMPARE(MenuContextuel(Trouve<QWidget>(*f, "SGGen"), "Exporter…", this),
             QStringList({"Exporter…"}));
    const RangeesCsv resume = LitCsv(Contenu(sortie->Fichier("resume.csv")));
    QCOMPARE(resume.size(), 6u);
    QVERIFY(resume[2] == std::vector<std::string>({"IP", "3", "14", "14,0"}));
}

void FenetreExport::resultsErrorRowsAndSummary() {
    Onglet(*f, 5);
    QTest::mouseClick(&Trouve<QPushButton>(*f, "BPage"), Qt::LeftButton);
    Clique(Trouve<QListView>(*f, "LBSearch"), 0);
    QVERIFY(ExporteVers("infos.csv") ==
            RangeesCsv({{"Nom", "Acces", "Date"},
                        {"10.0.0.1", "7", "29/Feb/2004:21:41:50"},
                        {"café.example", "2", "14/Feb/2004:10:11:12"}}));

    // No status chosen: nothing to export, and said so.
    Onglet(*f, 8);
    Dialogues::FichierSuivant(QString::fromStdString(sortie->Fichier("rien.csv")));
    Declenche(*f, "Exporter1");
    QCOMPARE(Dialogues::Messages().size(), 1u);
    QVERIFY(Dialogues::Messages()[0].texte.startsWith("Rien à exporter"));
    Dialogues::Oublie();
    QTest::mouseClick(&Trouve<QPushButton>(*f, "B404"), Qt::LeftButton);
    QVERIFY(ExporteVers("retours.csv") ==
            RangeesCsv({{"Page", "Acces", "Date"}, {"/x", "3", "29/Feb/2004:21:41:50"}}));
    QCOMPARE(Dialogues::NomsProposes(), std::vector<QString>({"retours-404.csv"}));

    Onglet(*f, 0);
    const RangeesCsv resume = ExporteVers("resume.csv");
    QVERIFY(resume[0] == std::vector<std::string>(
                             {"Liste", "Nombre", "Total des acces", "Moyenne journaliere"}));
    // One day has hits (29 February).
    QVERIFY(resume[1] == std::vector<std::string>({"Pages", "3", "19", "19,0"}));
}

void FenetreExport::chartsExportTheirFigures() {
    Onglet(*f, 6);
    Clique(Trouve<QListWidget>(*f, "LBListAnnee"), 0);
    const RangeesCsv annee = ExporteVers("annee.csv");
    QCOMPARE(annee.size(), 13u);
    QVERIFY(annee[2] == std::vector<std::string>({"2004", "Février", "30", "10", "4"}));
    QCOMPARE(Dialogues::NomsProposes().back(), QString("graphique-2004.csv"));
    Clique(Trouve<QListWidget>(*f, "LBListMois"), 0);
    const RangeesCsv jours = ExporteVers("mois.csv");
    QCOMPARE(jours.size(), 30u); // February 2004: 29 days
    QVERIFY(jours[0] == std::vector<std::string>({"Année", "Mois", "Jour", "Pages et downloads"}));
    QVERIFY(jours[29] == std::vector<std::string>({"2004", "Février", "29", "10"}));
    QCOMPARE(Dialogues::NomsProposes().back(), QString("graphique-2004-Feb.csv"));
}

void FenetreExport::cancelledOrFailedExportsWriteNothing() {
    Onglet(*f, 3);
    Declenche(*f, "Exporter1"); // the dialog cancelled
    QVERIFY(Dialogues::Messages().empty());
    const std::string absent = sortie->Fichier("absent/ip.csv");
    Dialogues::FichierSuivant(QString::fromStdString(absent));
    Declenche(*f, "Exporter1");
    QCOMPARE(Dialogues::Messages().size(), 1u);
    QCOMPARE(Dialogues::Messages()[0].texte,
             QString::fromStdString("Impossible de créer le fichier " + absent +
                                    " : répertoire introuvable"));
    QCOMPARE(Dialogues::Messages()[0].icone, QMessageBox::Critical);
    QVERIFY(std::filesystem::is_empty(sortie->Chemin()));
}

// The Visiteurs tab exports the list that has the focus (by the menu bar) or whose menu is used,
// filtered as shown; with a period chosen every export is of that period.
void FenetreExport::visitorsAndPeriodsExportWhatIsShown() {
    FenetreDeTest v;
    Ecrit(v.repertoire.Fichier("a.log"),
          test::Journal(
              {LigneLog("8.8.8.8", "01/Mar/2004:10:00:00", "/", "200", "-", kAgentFirefox),
               LigneLog("66.249.66.1", "01/Mar/2004:10:00:03", "/", "200", "-", kAgentGoogle),
               LigneLog("8.8.4.4", "02/Apr/2004:10:00:00", "/avril", "200", "-", kAgentChrome),
               LigneLog("66.249.66.1", "02/Apr/2004:10:00:05", "/", "200", "-", kAgentGpt)}));
    f = &v.Ouvre();
    f->ImporteFichiers({QString::fromStdString(v.repertoire.Fichier("a.log"))});
    QVERIFY(Dialogues::Messages().empty());
    Onglet(*f, 9);
    QTableView& robots = Trouve<QTableView>(*f, "LVRobots");
    Dialogues::FichierSuivant(QString::fromStdString(sortie->Fichier("robots.csv")));
    QCOMPARE(MenuContextuel(robots, "Exporter…", this), QStringList({"Copier", "Exporter…"}));
    QCOMPARE(Dialogues::NomsProposes().back(), QString("robots.csv"));
    const RangeesCsv tous = LitCsv(Contenu(sortie->Fichier("robots.csv")));
    QCOMPARE(tous.size(), 3u);
    QCOMPARE(std::set<std::string>({tous[1][0], tous[2][0]}),
             std::set<std::string>({"Googlebot", "GPTBot"}));

    QComboBox& choix = Trouve<QComboBox>(*f, "CBPeriode");
    const int avril = choix.findText("avril 2004");
    QVERIFY(avril >= 0);
    choix.setCurrentIndex(avril);
    emit choix.activated(avril);
    robots.setFocus();
    const RangeesCsv enAvril = ExporteVers("robots-avril.csv");
    QCOMPARE(enAvril.size(), 2u);
    QCOMPARE(QString::fromStdString(enAvril[1][0]), QString("GPTBot"));
    Onglet(*f, 0);
    const RangeesCsv resume = ExporteVers("resume-avril.csv");
    QCOMPARE(resume[1][0], std::string("Pages"));
    QCOMPARE(resume[1][2], std::string("2")); // April's two page hits, of four in all
    f = nullptr;
}

QTEST_MAIN(FenetreExport)
#include "fenetre_export_test.moc"
