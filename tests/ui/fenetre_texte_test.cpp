// Text that comes from a log is shown as it is, never read as markup: a client of the site chose
// the paths, referrers, keywords and host names, and a conversion message quotes them.
#include "fenetre_commun.h"

#include "ui/onglets.h"
#include "ui/police.h"
#include "ui/texte_qt.h"
#include "ui/tfapropos.h"
#include "ui/tfoptions.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <QTextDocumentFragment>
#include <QToolTip>

using namespace sillage;
using namespace sillage::test;

namespace {

const std::string kBalises = "/<h1>ENORME</h1><img/src=x>";
const QString kBalisesQ = QString::fromStdString(kBalises);

// What a tooltip shows of its text: markup is rendered, anything else shown as it is.
QString TexteInfobulle(const QString& infobulle) {
    return Qt::mightBeRichText(infobulle) ? QTextDocumentFragment::fromHtml(infobulle).toPlainText()
                                          : infobulle;
}

// Every label of a window that shows a text (not a picture) shows it as plain text. The open
// dialog is a window of its own, with Qt's labels.
void LabelsEnTexteBrut(const QWidget& fenetre) {
    const QList<QLabel*> labels = fenetre.findChildren<QLabel*>();
    QVERIFY(!labels.isEmpty());
    for (const QLabel* l : labels) {
        if (l->window() == &fenetre && l->pixmap().isNull()) {
            QVERIFY2(l->textFormat() == Qt::PlainText, qPrintable(l->objectName()));
        }
    }
}

} // namespace

class FenetreTexte : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { Dialogues::Automatique(true); }
    void init() { Dialogues::Oublie(); }

    void markupFromTheTablesIsShownAsText();
    void textIsShownAsUsersWriteItAndFoundSo();
    void messageBoxesShowTheirTextAsTextInTheWindowsFont();
    void tooltipsInTheWindowsFont();
};

void FenetreTexte::markupFromTheTablesIsShownAsText() {
    FenetreDeTest t;
    t.EcritTable("page.lst", {Rangee(0, kBalises, 5, "<b>date</b>"), Compteur(1)});
    t.EcritTable("nom.lst", {Rangee(0, "<i>hote</i>", 5), Compteur(1)});
    t.EcritTable("image.lst", {Rangee(0, "<u>image</u>.gif", 1), Compteur(1)});
    t.EcritTable("origine.lst", {Rangee(0, "<a href=x>ref</a>", 2), Compteur(1)});
    t.EcritTable("download.lst", {Rangee(0, "<s>f</s>.zip", 1), Compteur(1)});
    t.EcritTable("keyword.lst", {"\\1;0\\2;0\\3;<b>mot</b>\\4;", "\\1;1\\2;"});
    t.EcritTable("lanp.lst", {RangeeLanp(0, 0, 5, "d", 1)});
    t.EcritTable("erreur.lst", {RangeeErreur(0, kBalises, 1, "<b>d</b>", "404", 0), Compteur(1)});
    TFPrincip& f = t.Ouvre();
    LabelsEnTexteBrut(f);

    // Every cell's tooltip shows the cell's text, markup and all.
    for (const char* vue : {"VLPages", "LVIP", "LVImages", "LVOrigine", "LVDownload"}) {
        const QAbstractItemModel& modele = ListeDe(f, vue);
        QCOMPARE(modele.rowCount(), 1);
        for (int c = 0; c < modele.columnCount(); ++c) {
            const QModelIndex cellule = modele.index(0, c);
            QCOMPARE(TexteInfobulle(cellule.data(Qt::ToolTipRole).toString()),
                     cellule.data().toString());
        }
    }
    QCOMPARE(ListeDe(f, "VLPages").index(0, 0).data().toString(), kBalisesQ);

    // The Infos labels and results.
    Trouve<ControleOnglets>(f, "PageControl1").setCurrentIndex(5);
    QTest::mouseClick(&Trouve<QPushButton>(f, "BPage"), Qt::LeftButton);
    QListView& entrees = Trouve<QListView>(f, "LBSearch");
    entrees.setCurrentIndex(entrees.model()->index(0, 0));
    QCOMPARE(Trouve<QLabel>(f, "LAffiche").text(), "1 résultats pour " + kBalisesQ);
    QCOMPARE(Rangees(TextesDe(f, "LVAffiche")),
             QStringList({"<i>hote</i>|5|14/Feb/2004:10:11:12"}));
    const QModelIndex hote = TextesDe(f, "LVAffiche").index(0, 0);
    QCOMPARE(TexteInfobulle(hote.data(Qt::ToolTipRole).toString()), QString("<i>hote</i>"));
    QTest::mouseClick(&Trouve<QPushButton>(f, "BReferent"), Qt::LeftButton);
    entrees.setCurrentIndex(entrees.model()->index(0, 0));
    QCOMPARE(Trouve<QLabel>(f, "LAffiche").text(), QString("1 résultats pour <a href=x>ref</a>"));
    QCOMPARE(TextesDe(f, "LVAffiche").index(0, 0).data().toString(), QString("<b>mot</b>"));

    // The error-status rows.
    QTest::mouseClick(&Trouve<QPushButton>(f, "B404"), Qt::LeftButton);
    const QModelIndex page = TextesDe(f, "LVRetours").index(0, 0);
    QCOMPARE(page.data().toString(), kBalisesQ);
    QCOMPARE(TexteInfobulle(page.data(Qt::ToolTipRole).toString()), kBalisesQ);
    QVERIFY(Dialogues::Messages().empty());

    // The dialogs' labels too.
    TFOptions options(t.base);
    LabelsEnTexteBrut(options);
    TFApropos apropos;
    LabelsEnTexteBrut(apropos);
}

void FenetreTexte::textIsShownAsUsersWriteItAndFoundSo() {
    FenetreDeTest t;
    // The same path sent by a current browser (UTF-8) and by an old one (Windows-1252), and a
    // path longer than any screen.
    const std::string longue = "/archives/" + std::string(150, 'x') + "/" + std::string(150, 'y');
    t.EcritTable("page.lst", {Rangee(0, "/\xC3\xA9t\xC3\xA9-v\xC3\xA9lo.html", 5),
                              Rangee(1, "/\xE9t\xE9.html", 3), Rangee(2, "/ete.html", 2),
                              Rangee(3, longue, 1), Compteur(4)});
    t.EcritTable("origine.lst", {Rangee(0, "http://moteur/cherche", 2), Compteur(1)});
    t.EcritTable("keyword.lst", {"\\1;0\\2;0\\3;\"q=v%C3%A9lo %C3%A9lectrique\"\\4;", "\\1;1\\2;"});
    TFPrincip& f = t.Ouvre();
    ModeleListe& pages = ListeDe(f, "VLPages");
    QCOMPARE(Colonne(pages, 0).mid(0, 3),
             QStringList({"/été-vélo.html", "/été.html", "/ete.html"}));

    // A filter typed with accents finds the rows that show them, in either encoding.
    auto& filtre = Trouve<QLineEdit>(f, "EFiltre1");
    filtre.insert(QStringLiteral("été")); // typed through the input method: no key code

    QTest::keyClick(&filtre, Qt::Key_Return);
    QCOMPARE(Colonne(pages, 0), QStringList({"/été-vélo.html", "/été.html"}));

    // The long path's tooltip wraps, and says the whole path.
    filtre.clear();
    QTest::keyClick(&filtre, Qt::Key_Return);
    const QString infobulle = pages.index(3, 0).data(Qt::ToolTipRole).toString();
    const QStringList lignes =
        TexteInfobulle(infobulle).split(QRegularExpression(QStringLiteral("[\\n\\x{2028}]")));
    QVERIFY2(lignes.size() >= 3, qPrintable(infobulle));
    for (const QString& ligne : lignes) {
        QVERIFY(ligne.size() <= kColonnesInfobulle);
    }
    QCOMPARE(lignes.join(QString()), QString::fromStdString(longue));

    // Search words with their escapes decoded.
    Trouve<ControleOnglets>(f, "PageControl1").setCurrentIndex(5);
    QTest::mouseClick(&Trouve<QPushButton>(f, "BReferent"), Qt::LeftButton);
    QListView& entrees = Trouve<QListView>(f, "LBSearch");
    entrees.setCurrentIndex(entrees.model()->index(0, 0));
    QCOMPARE(TextesDe(f, "LVAffiche").index(0, 0).data().toString(),
             QStringLiteral("\"q=vélo électrique\""));
}

void FenetreTexte::messageBoxesShowTheirTextAsTextInTheWindowsFont() {
    FenetreDeTest t;
    // A year that does not read: its message quotes it.
    t.EcritTable("graphmois.lst", {"\\1;<b>20x4</b>\\2;\\3;5\\4;"});
    TFPrincip& f = t.Ouvre();
    QListWidget& annees = Trouve<QListWidget>(f, "LBListAnnee");
    QCOMPARE(annees.item(0)->text(), QString("<b>20x4</b>"));
    annees.setCurrentRow(0);
    QCOMPARE(Dialogues::Messages().size(), 1u);
    const Dialogues::Message& message = Dialogues::Messages()[0];
    QCOMPARE(message.texte, QString("'<b>20x4</b>' n'est pas une valeur entière correcte"));

    const std::unique_ptr<QMessageBox> boite = Dialogues::CreeBoite(&f, message);
    QCOMPARE(boite->textFormat(), Qt::PlainText);
    QCOMPARE(boite->text(), message.texte);
    QCOMPARE(boite->windowTitle(), QString("Erreur"));
    // A window of its own, yet in the main window's 11-pixel font.
    QCOMPARE(boite->font().pixelSize(), 11);
    QCOMPARE(boite->font().families(), f.font().families());
    QCOMPARE(f.font(), PoliceSillage());
}

void FenetreTexte::tooltipsInTheWindowsFont() {
    FenetreDeTest t;
    t.EcritTable("page.lst", {Rangee(0, "/a.html", 5), Compteur(1)});
    TFPrincip& f = t.Ouvre();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    // The mouse rests on a cell: the view shows its tooltip.
    auto& vue = Trouve<QTableView>(f, "VLPages");
    const QPoint centre = vue.visualRect(vue.model()->index(0, 0)).center();
    QHelpEvent survol(QEvent::ToolTip, centre, vue.viewport()->mapToGlobal(centre));
    QApplication::sendEvent(vue.viewport(), &survol);
    const auto infobulle = []() -> QWidget* {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->inherits("QTipLabel") && w->isVisible()) {
                return w;
            }
        }
        return nullptr;
    };
    QTRY_VERIFY(infobulle() != nullptr);
    QCOMPARE(infobulle()->font().pixelSize(), 11);
    QCOMPARE(infobulle()->font().families(), PoliceSillage().families());
    QToolTip::hideText();
}

QTEST_MAIN(FenetreTexte)
#include "fenetre_texte_test.moc"
