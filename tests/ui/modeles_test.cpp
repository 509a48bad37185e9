// The models behind the window's lists, each under Qt's model tester.
#include "fenetre_commun.h"

#include <QtTest>

using namespace sillage;
using namespace sillage::test;

class Modeles : public QObject {
    Q_OBJECT
  private slots:
    void tableRowsShowTheirFieldsAsStored() {
        const Table images = TableDe(
            {Rangee(0, "/caf\xE9.gif", 30, "d0"), Rangee(1, "/b.png", 2, "d1"), Compteur(2)});
        ModeleListe modele(ColonnesListe(Liste::Images));
        VerifieModele(modele);
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
        const Table courte = TableDe({Compteur(0)});
        modele.Remplit(courte, {0, 5});
        QCOMPARE(modele.index(1, 0).data().toString(), QString());
        modele.Vide();
        QCOMPARE(modele.rowCount(), 0);
    }

    void onlyThePagesCountIsRightAligned() {
        const Table pages = TableDe({Rangee(0, "/", 9, "d"), Compteur(1)});
        ModeleListe modele(ColonnesListe(Liste::Pages));
        VerifieModele(modele);
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
        VerifieModele(modele);
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
        VerifieModele(modele);
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
