// The models behind the window's lists, each under Qt's model tester.
#include "ui/modele_entrees.h"
#include "ui/modeles.h"

#include <QAbstractItemModelTester>
#include <QtTest>

using namespace sillage;

namespace {

void Verifie(QAbstractItemModel* modele) {
    new QAbstractItemModelTester(modele, QAbstractItemModelTester::FailureReportingMode::QtTest,
                                 modele);
}

} // namespace

class Modeles : public QObject {
    Q_OBJECT
  private slots:
    void tableRowsShowTheirFieldsAsStored() {
        Table images;
        images.Ajoute("\\1;0\\2;/caf\xE9.gif\\3;30\\4;d0\\5;");
        images.Ajoute("\\1;1\\2;/b.png\\3;2\\4;d1\\5;");
        images.Ajoute("\\1;2\\2;");
        ModeleListe modele(ColonnesListe(Liste::Images));
        Verifie(&modele);
        QCOMPARE(modele.rowCount(), 0);
        QCOMPARE(modele.columnCount(), 3);
        QCOMPARE(modele.headerData(2, Qt::Horizontal).toString(), QString("Dernier"));

        modele.Remplit(images, {1, 0});
        QCOMPARE(modele.rowCount(), 2);
        QCOMPARE(modele.index(1, 0).data().toString(), QString("/café.gif"));
        QCOMPARE(modele.index(0, 1).data().toString(), QString("2"));
        QCOMPARE(modele.index(0, 2).data().toString(), QString("d1"));
        QCOMPARE(modele.LigneTable(1), 0);
        QCOMPARE(modele.LigneTable(2), -1);
        QCOMPARE(modele.LigneTable(-1), -1);

        // A line the table no longer has shows an empty text until the next fill.
        Table courte;
        courte.Ajoute("\\1;0\\2;");
        modele.Remplit(courte, {0, 5});
        QCOMPARE(modele.index(1, 0).data().toString(), QString());
        modele.Vide();
        QCOMPARE(modele.rowCount(), 0);
    }

    void onlyThePagesCountIsRightAligned() {
        Table pages;
        pages.Ajoute("\\1;0\\2;/\\3;9\\4;d\\5;");
        pages.Ajoute("\\1;1\\2;");
        ModeleListe modele(ColonnesListe(Liste::Pages));
        Verifie(&modele);
        modele.Remplit(pages, {0});
        const auto alignement = [&](int colonne) {
            return Qt::Alignment(modele.index(0, colonne).data(Qt::TextAlignmentRole).toInt()) &
                   Qt::AlignHorizontal_Mask;
        };
        QCOMPARE(alignement(0), Qt::Alignment(Qt::AlignLeft));
        QCOMPARE(alignement(1), Qt::Alignment(Qt::AlignRight));
    }

    void computedRowsOfThreeTexts() {
        ModeleTextes modele(
            {QStringLiteral("Page"), QStringLiteral("Acces"), QStringLiteral("Date")});
        Verifie(&modele);
        modele.Remplit({{"/caf\xE9", "3", "d"}, {"/b", "1", ""}});
        QCOMPARE(modele.rowCount(), 2);
        QCOMPARE(modele.index(0, 0).data().toString(), QString("/café"));
        QCOMPARE(modele.Texte(0, 0), std::string("/caf\xE9"));
        QCOMPARE(modele.Texte(2, 0), std::string());
        QCOMPARE(modele.Texte(0, 3), std::string());
        QCOMPARE(modele.headerData(0, Qt::Horizontal).toString(), QString("Page"));
        modele.Vide();
        QCOMPARE(modele.rowCount(), 0);
    }

    void entriesFollowTheirListBetweenTheTwoCalls() {
        std::vector<EntreeInfos> entrees;
        ModeleEntrees modele(entrees);
        Verifie(&modele);
        QCOMPARE(modele.rowCount(), 0);
        modele.DebutChangement();
        entrees = {{"/caf\xE9", 0, "0"}, {"/b", 1, "1"}};
        modele.FinChangement();
        QCOMPARE(modele.rowCount(), 2);
        QCOMPARE(modele.index(0, 0).data().toString(), QString("/café"));
        modele.DebutChangement();
        entrees.clear();
        modele.FinChangement();
        QCOMPARE(modele.rowCount(), 0);
    }
};

QTEST_GUILESS_MAIN(Modeles)
#include "modeles_test.moc"
