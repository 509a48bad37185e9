// The period selector: every tab shows the whole history or one year or month, read from the
// disk when first shown; imports, saves and resets work whatever is shown, and a period that
// cannot be read is told unavailable while the rest stays usable.
#include "fenetre_commun.h"
#include "import/import.h"
#include "store/periodes.h"
#include "store/verrou.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <algorithm>
#include <filesystem>

using namespace sillage;
using namespace sillage::test;

namespace {

// Three months: December 2003, January and February 2004, a 404 in the first two.
const std::vector<std::string> kLignes = {
    LigneLog("h1", "31/Dec/2003:23:50:00", "/index.html"),
    LigneLog("h1", "31/Dec/2003:23:55:00", "/vieux.html", "404"),
    LigneLog("h2", "02/Jan/2004:10:00:00", "/index.html", "200",
             "http://moteur.example/cherche?q=voile"),
    LigneLog("h2", "02/Jan/2004:10:01:00", "/janvier.html"),
    LigneLog("h3", "03/Jan/2004:11:00:00", "/manque.html", "404"),
    LigneLog("h3", "15/Feb/2004:12:00:00", "/fevrier.html"),
    LigneLog("h1", "15/Feb/2004:12:05:00", "/index.html"),
};

QComboBox& Selecteur(const TFPrincip& f) {
    return Trouve<QComboBox>(f, "CBPeriode");
}

QStringList Choix(const TFPrincip& f) {
    QStringList textes;
    for (int i = 0; i < Selecteur(f).count(); ++i) {
        textes << Selecteur(f).itemText(i);
    }
    return textes;
}

// The choice of that text picked in the selector's list, as a user clicks it.
void Choisit(const TFPrincip& f, const QString& texte) {
    QComboBox& choix = Selecteur(f);
    const int i = choix.findText(texte);
    QVERIFY2(i >= 0, qPrintable(texte));
    choix.showPopup();
    QAbstractItemView* vue = choix.view();
    QTRY_VERIFY(vue->isVisible());
    const QRect place = vue->visualRect(vue->model()->index(i, 0));
    QVERIFY(place.isValid());
    QTest::mouseClick(vue->viewport(), Qt::LeftButton, {}, place.center());
    QTRY_VERIFY(!vue->isVisible());
}

// A list's first column, in its order, or sorted.
QStringList Noms(const TFPrincip& f, const char* vue) {
    return Colonne(ListeDe(f, vue), 0);
}
QStringList Tries(QStringList l) {
    l.sort();
    return l;
}

QString CelluleResume(const TFPrincip& f, int colonne, int rangee) {
    return Trouve<QTableWidget>(f, "SGGen").item(rangee, colonne)->text();
}

void Ouvre(const TFPrincip& f, const std::string& chemin) {
    Dialogues::FichierSuivant(QString::fromStdString(chemin));
    Declenche(f, "Ouvrir1");
}

// The store at dir with these lines imported and saved, as sillage-import leaves it.
void Importe(const std::string& dir, const std::string& chemin) {
    Base base(dir);
    Verrou v = base.Verrouille();
    base.InitListes();
    ImporteFichier(base, chemin);
    base.SauveListes();
}

} // namespace

class FenetrePeriodes : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { Dialogues::Automatique(true); }
    void init() { Dialogues::Oublie(); }

    // At the right end of the menu bar, its seven commands still alone in it, no taller for it.
    void theSelectorSitsInTheMenuBar() {
        FenetreDeTest t;
        TFPrincip& f = t.Ouvre();
        QMenuBar& barre = *f.menuBar();
        QWidget* coin = barre.cornerWidget(Qt::TopRightCorner);
        QVERIFY(coin != nullptr);
        QVERIFY(coin->isAncestorOf(&Selecteur(f)));
        QCOMPARE(Trouve<QLabel>(f, "LPeriode").text(), QStringLiteral("&Période :"));
        QCOMPARE(barre.actions().size(), 7);
        QMenuBar seule;
        seule.setFont(barre.font());
        for (QAction* a : barre.actions()) {
            seule.addAction(a->text());
        }
        QCOMPARE(barre.height(), seule.sizeHint().height());
        QCOMPARE(f.centralWidget()->size(), QSize(654, 658));
        // Within the window, right of the last command.
        const QRect commandes = barre.actionGeometry(barre.actions().last());
        QVERIFY(coin->geometry().left() > commandes.right());
        QVERIFY(coin->geometry().right() < f.width());
        QCOMPARE(Choix(f), QStringList({"Tout l'historique"}));
        QVERIFY(Selecteur(f).isEnabled());
    }

    void eachTabShowsThePeriodChosen() {
        FenetreDeTest t;
        TFPrincip& f = t.Ouvre();
        Ecrit(t.repertoire.Fichier("a.log"), Journal(kLignes));
        Ouvre(f, t.repertoire.Fichier("a.log"));
        QVERIFY(Dialogues::Messages().empty());
        // The periods of the import, newest first, each year before its months, in bold.
        QCOMPARE(Choix(f), QStringList({"Tout l'historique", "2004", "février 2004", "janvier 2004",
                                        "2003", "décembre 2003"}));
        QVERIFY(Selecteur(f).itemData(1, Qt::FontRole).value<QFont>().bold());
        QVERIFY(!Selecteur(f).itemData(2, Qt::FontRole).value<QFont>().bold());

        // The Infos tab on a page, the list of pages filtered, 404 chosen: whole history.
        QTest::mouseClick(&Trouve<QPushButton>(f, "BPage"), Qt::LeftButton);
        auto& entrees = Trouve<QListView>(f, "LBSearch");
        const int index = Colonne(*entrees.model(), 0).indexOf("/index.html");
        Clique(entrees, index);
        QCOMPARE(Tries(Colonne(TextesDe(f, "LVAffiche"), 0)), QStringList({"h1", "h2"}));
        QTest::keyClicks(&Trouve<QLineEdit>(f, "EFiltre1"), "index");
        QTest::mouseClick(&Trouve<QPushButton>(f, "BFiltre1"), Qt::LeftButton);
        QCOMPARE(Noms(f, "VLPages"), QStringList({"/index.html"}));
        QTest::mouseClick(&Trouve<QPushButton>(f, "B404"), Qt::LeftButton);
        QCOMPARE(Tries(Colonne(TextesDe(f, "LVRetours"), 0)),
                 QStringList({"/manque.html", "/vieux.html"}));
        QCOMPARE(CelluleResume(f, 1, 1), QString("5"));

        Choisit(f, "janvier 2004");
        QCOMPARE(f.windowTitle(), QString("Sillage — janvier 2004"));
        QCOMPARE(Selecteur(f).currentText(), QString("janvier 2004"));
        QVERIFY(Dialogues::Messages().empty());
        // The filter still applied, on January's pages.
        QCOMPARE(Noms(f, "VLPages"), QStringList({"/index.html"}));
        QCOMPARE(Trouve<QLabel>(f, "LLignes1").text(), QString("1 ligne sur 3"));
        QCOMPARE(Tries(Noms(f, "LVIP")), QStringList({"h2", "h3"}));
        QCOMPARE(Noms(f, "LVOrigine"), QStringList({"http://moteur.example/cherche"}));
        QCOMPARE(CelluleResume(f, 1, 1), QString("3"));
        QCOMPARE(CelluleResume(f, 1, 2), QString("2"));
        QCOMPARE(Colonne(TextesDe(f, "LVRetours"), 0), QStringList({"/manque.html"}));
        // The same page in Infos, with January's hosts.
        QCOMPARE(Colonne(*entrees.model(), 0).size(), 3);
        QCOMPARE(entrees.currentIndex().data().toString(), QString("/index.html"));
        QCOMPARE(Colonne(TextesDe(f, "LVAffiche"), 0), QStringList({"h2"}));
        // The charts: January's year and month only.
        QCOMPARE(Trouve<QListWidget>(f, "LBListAnnee").count(), 1);
        QCOMPARE(Trouve<QListWidget>(f, "LBListAnnee").item(0)->text(), QString("2004"));
        QCOMPARE(Trouve<QListWidget>(f, "LBListMois").count(), 1);

        Choisit(f, "2003");
        QCOMPARE(f.windowTitle(), QString("Sillage — 2003"));
        QCOMPARE(Noms(f, "LVIP"), QStringList({"h1"}));
        QCOMPARE(Colonne(TextesDe(f, "LVRetours"), 0), QStringList({"/vieux.html"}));
        QCOMPARE(Colonne(TextesDe(f, "LVAffiche"), 0), QStringList({"h1"}));

        Choisit(f, "Tout l'historique");
        QCOMPARE(f.windowTitle(), QString("Sillage"));
        QCOMPARE(Tries(Noms(f, "LVIP")), QStringList({"h1", "h2", "h3"}));
        QCOMPARE(CelluleResume(f, 1, 1), QString("5"));
        QCOMPARE(Trouve<QListWidget>(f, "LBListAnnee").count(), 2);
        QVERIFY(Dialogues::Messages().empty());
    }

    // Read from the disk when first shown, let go when no longer shown; an import, a save, a
    // save that reads the store again and a reset work whatever is shown.
    void periodsOfTheDiskAndTheCommands() {
        FenetreDeTest t;
        Ecrit(t.repertoire.Fichier("a.log"), Journal(kLignes));
        Importe(t.repertoire.Chemin(), t.repertoire.Fichier("a.log"));
        TFPrincip& f = t.Ouvre();
        QVERIFY(t.base.Chargees().empty());
        QCOMPARE(Choix(f).size(), 6);

        Choisit(f, "janvier 2004");
        QCOMPARE(t.base.Chargees().size(), 1u);
        QCOMPARE(Tries(Noms(f, "LVIP")), QStringList({"h2", "h3"}));
        Choisit(f, "février 2004");
        QCOMPARE(t.base.Chargees().size(), 1u);
        QCOMPARE(t.base.Chargees().count("2004-02"), 1u);
        QCOMPARE(Tries(Noms(f, "LVIP")), QStringList({"h1", "h3"}));

        // An import while February is shown: March appears, February stays shown as it was.
        Ecrit(t.repertoire.Fichier("b.log"),
              Journal({LigneLog("h4", "20/Jan/2004:08:00:00", "/tard.html"),
                       LigneLog("h5", "01/Mar/2004:08:00:00", "/mars.html")}));
        Ouvre(f, t.repertoire.Fichier("b.log"));
        QVERIFY(Dialogues::Messages().empty());
        QCOMPARE(Choix(f), QStringList({"Tout l'historique", "2004", "mars 2004", "février 2004",
                                        "janvier 2004", "2003", "décembre 2003"}));
        QCOMPARE(Selecteur(f).currentText(), QString("février 2004"));
        QCOMPARE(f.windowTitle(), QString("Sillage — février 2004"));
        QCOMPARE(Tries(Noms(f, "LVIP")), QStringList({"h1", "h3"}));
        Choisit(f, "janvier 2004");
        QCOMPARE(Tries(Noms(f, "LVIP")), QStringList({"h2", "h3", "h4"}));
        QCOMPARE(t.base.Chargees().count("2004-02"), 0u); // let go: nothing of it to save

        // Saved while January is shown: every period the import changed is on the disk.
        Declenche(f, "Enregistrer1");
        QCOMPARE(t.base.Modifie, 0);
        QVERIFY(std::filesystem::is_directory(t.repertoire.Fichier("periodes/2004-03")));
        {
            Base disque(t.repertoire.Chemin());
            disque.InitListes();
            QCOMPARE(disque.Periode("2004-01").ListeNom.Count(), 4u);
        }

        // Another program counts a January line meanwhile; the window's save reads the store
        // again, redoes its import over it, and shows January again, with both.
        Ecrit(t.repertoire.Fichier("c.log"),
              Journal({LigneLog("h6", "25/Jan/2004:08:00:00", "/autre.html")}));
        Importe(t.repertoire.Chemin(), t.repertoire.Fichier("c.log"));
        Ecrit(t.repertoire.Fichier("d.log"),
              Journal({LigneLog("h7", "26/Jan/2004:08:00:00", "/d.html")}));
        Ouvre(f, t.repertoire.Fichier("d.log"));
        QCOMPARE(Tries(Noms(f, "LVIP")), QStringList({"h2", "h3", "h4", "h7"}));
        Dialogues::Oublie();
        Declenche(f, "Enregistrer1");
        QCOMPARE(Dialogues::Messages().size(), 1u); // what the other program imported
        QCOMPARE(f.windowTitle(), QString("Sillage — janvier 2004"));
        QCOMPARE(Selecteur(f).currentText(), QString("janvier 2004"));
        QCOMPARE(Tries(Noms(f, "LVIP")), QStringList({"h2", "h3", "h4", "h6", "h7"}));

        // A reset while January is shown: the whole history, empty, and no period left.
        Dialogues::Oublie();
        Dialogues::ReponseSuivante(QMessageBox::Yes);
        Declenche(f, "Reinitialiser1");
        QCOMPARE(f.windowTitle(), QString("Sillage"));
        QCOMPARE(Choix(f), QStringList({"Tout l'historique"}));
        QVERIFY(Noms(f, "LVIP").isEmpty());
        QVERIFY(!std::filesystem::exists(t.repertoire.Fichier("periodes")));
    }

    void anUnavailablePeriodIsToldAndTheHistoryStaysShown() {
        FenetreDeTest t;
        Ecrit(t.repertoire.Fichier("a.log"), Journal(kLignes));
        Importe(t.repertoire.Chemin(), t.repertoire.Fichier("a.log"));
        // A stray file in January's folder; 2003's hosts cut short.
        Ecrit(t.repertoire.Fichier(DossierPeriode("2004-01") + "notes.txt"), "à moi");
        const std::string noms = t.repertoire.Fichier(DossierPeriode("2003") + "nom.lst");
        Ecrit(noms, Contenu(noms).substr(0, 12));
        TFPrincip& f = t.Ouvre();
        QCOMPARE(Tries(Noms(f, "LVIP")), QStringList({"h1", "h2", "h3"}));

        Choisit(f, "janvier 2004");
        QCOMPARE(Dialogues::Messages().size(), 1u);
        const QString message = Dialogues::Messages()[0].texte;
        QVERIFY2(message.contains("notes.txt"), qPrintable(message));
        QCOMPARE(f.windowTitle(), QString("Sillage"));
        QCOMPARE(Selecteur(f).currentText(), QString("Tout l'historique"));
        const int janvier = Selecteur(f).findData(QString("2004-01"));
        QCOMPARE(Selecteur(f).itemText(janvier), QString("janvier 2004 (indisponible)"));
        QCOMPARE(Selecteur(f).itemData(janvier, Qt::ToolTipRole).toString(), message);
        QCOMPARE(Tries(Noms(f, "LVIP")), QStringList({"h1", "h2", "h3"}));

        // Files changed since the save: asked, "Non" by default, and it stays unavailable...
        Dialogues::Oublie();
        Choisit(f, "2003");
        QCOMPARE(Dialogues::Messages().size(), 1u);
        const Dialogues::Message question = Dialogues::Messages()[0];
        QCOMPARE(question.titre, QString("Période"));
        QCOMPARE(question.defaut, QMessageBox::No);
        QVERIFY(question.texte.contains("nom.lst"));
        QVERIFY(question.texte.endsWith("Lire la période 2003 telle qu'elle est ?"));
        QCOMPARE(f.windowTitle(), QString("Sillage"));
        QCOMPARE(Selecteur(f).currentText(), QString("Tout l'historique"));
        QVERIFY(Choix(f).contains("2003 (indisponible)"));
        // ... until read as it is on the user's word, which the manifest then records.
        Dialogues::Oublie();
        Dialogues::ReponseSuivante(QMessageBox::Yes);
        Choisit(f, "2003 (indisponible)");
        QCOMPARE(Dialogues::Messages().size(), 1u);
        QCOMPARE(f.windowTitle(), QString("Sillage — 2003"));
        QVERIFY(Choix(f).contains("2003"));
        {
            Base disque(t.repertoire.Chemin());
            disque.InitListes();
            disque.Periode("2003");
        }

        // The stray file moved away, January reads; while another program holds the store the
        // window waits, then asks, and "Annuler" leaves things as they are.
        std::filesystem::remove(t.repertoire.Fichier(DossierPeriode("2004-01") + "notes.txt"));
        Verrou autre = Verrou::Prend(t.repertoire.Chemin(), std::chrono::milliseconds(0));
        QVERIFY(autre.Tenu());
        f.FixeAttenteVerrou(std::chrono::milliseconds(20));
        Dialogues::Oublie();
        Dialogues::ReponseSuivante(QMessageBox::Cancel);
        Choisit(f, "janvier 2004 (indisponible)");
        QCOMPARE(Dialogues::Messages().size(), 1u);
        QCOMPARE(Dialogues::Messages()[0].boutons, QMessageBox::Retry | QMessageBox::Cancel);
        QCOMPARE(f.windowTitle(), QString("Sillage — 2003"));
        autre.Libere();
        Dialogues::Oublie();
        Choisit(f, "janvier 2004 (indisponible)");
        QVERIFY(Dialogues::Messages().empty());
        QCOMPARE(f.windowTitle(), QString("Sillage — janvier 2004"));
        QCOMPARE(Selecteur(f).itemText(janvier), QString("janvier 2004"));
    }
};

QTEST_MAIN(FenetrePeriodes)
#include "fenetre_periodes_test.moc"
