// The about dialog and its picture: the JPEG shipped with the program decodes through libjpeg,
// damaged JPEG data fails without stopping the program, and the link behaves as a link.
#include "ui/jpeg.h"
#include "ui/police.h"
#include "ui/tfapropos.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using sillage::DecodeJpeg;
using sillage::ImageRgb;
using sillage::TFApropos;

class FenetreApropos : public QObject {
    Q_OBJECT

  private:
    static bool Decode(const QByteArray& octets, ImageRgb& image, std::string* erreur = nullptr) {
        return DecodeJpeg(reinterpret_cast<const unsigned char*>(octets.constData()),
                          static_cast<std::size_t>(octets.size()), image, erreur);
    }
    // Offset of the size fields (height, then width) of the first SOF0 or SOF2 segment.
    static qsizetype TailleSof(const QByteArray& o) {
        for (qsizetype i = 2; i + 9 < o.size(); ++i) {
            if (uchar(o[i]) == 0xFF && (uchar(o[i + 1]) == 0xC0 || uchar(o[i + 1]) == 0xC2)) {
                return i + 5;
            }
        }
        return -1;
    }

  private slots:
    void shippedPictureDecodesToItsSize() {
        const QByteArray octets = TFApropos::OctetsImage();
        QVERIFY(octets.size() > 100);
        ImageRgb image;
        std::string erreur;
        QVERIFY2(Decode(octets, image, &erreur), erreur.c_str());
        QCOMPARE(image.Largeur, 194);
        QCOMPARE(image.Hauteur, 114);
        QCOMPARE(image.Pixels.size(), std::size_t{194 * 114 * 3});
        // Water: the bottom left corner is a deep blue.
        const unsigned char* coin = &image.Pixels[(113 * 194) * 3];
        QVERIFY(coin[2] > coin[0] + 40);

        TFApropos d;
        const QPixmap p = d.findChild<QLabel*>("Image1")->pixmap();
        QCOMPARE(p.size(), QSize(97, 57));
    }

    void damagedDataFailsCleanly() {
        const QByteArray bon = TFApropos::OctetsImage();
        ImageRgb image;
        std::string erreur;

        QVERIFY(!Decode(bon.left(bon.size() / 2), image, &erreur)); // truncated
        QVERIFY(image.Pixels.empty() && image.Largeur == 0);
        QVERIFY(!erreur.empty());

        QVERIFY(!Decode(QByteArray("GIF89a not a jpeg at all"), image, &erreur));
        QVERIFY(!Decode(QByteArray(), image, &erreur));
        QVERIFY(!Decode(bon.left(3), image, &erreur));

        QByteArray geant = bon; // a header announcing 65000 x 65000 pixels
        const qsizetype t = TailleSof(geant);
        QVERIFY(t > 0);
        for (int k = 0; k < 4; ++k) {
            geant[t + k] = char(k % 2 == 0 ? 0xFD : 0xE8);
        }
        QVERIFY(!Decode(geant, image, &erreur));
        QVERIFY(image.Pixels.empty());

        QVERIFY(Decode(bon, image)); // the decoder is still usable
    }

    void texts() {
        TFApropos d;
        QCOMPARE(d.windowTitle(), QStringLiteral("A Propos"));
        QCOMPARE(d.size(), QSize(288, 259));
        QCOMPARE(d.minimumSize(), d.maximumSize());
        auto* titre = d.findChild<QLabel*>("Label1");
        QCOMPARE(titre->text(), QStringLiteral("Sillage"));
        QCOMPARE(titre->font().pixelSize(), 24);
        QVERIFY(titre->font().bold());
        QCOMPARE(d.findChild<QLabel*>("Label7")->text(), QStringLiteral("V 1.03"));
        QCOMPARE(d.findChild<QLabel*>("Label2")->text(), QStringLiteral("Créée par :"));
        // The lists' versions, above the button.
        QVERIFY(d.findChild<QLabel*>("LVersionUap")->text().startsWith("uap-core "));
        QVERIFY(d.findChild<QLabel*>("LVersionRobots")->text().startsWith("crawler-user-agents "));
        auto* fermer = d.findChild<QPushButton*>("BCLose");
        QCOMPARE(fermer->text(), QStringLiteral("&Fermer"));
        QCOMPARE(fermer->geometry(), QRect(48, 216, 177, 33));
        QVERIFY(d.findChild<QLabel*>("LVersionRobots")->geometry().bottom() < 216);
        QVERIFY(fermer->isDefault());
        // A small tool window at its place; its plain texts in the main window's 11-pixel font.
        QVERIFY(d.windowFlags().testFlag(Qt::Tool));
        QCOMPARE(d.font(), sillage::PoliceSillage());
        QCOMPARE(d.findChild<QLabel*>("Label2")->font().pixelSize(), 11);
        QCOMPARE(fermer->font().pixelSize(), 11);
        QCOMPARE(d.findChild<QLabel*>("Label3")->font().pixelSize(), 16);

        d.show();
        QCOMPARE(d.pos(), QPoint(343, 155));
        QTest::keyClick(&d, Qt::Key_Escape);
        QVERIFY(!d.isVisible());
        d.show();
        QTest::mouseClick(fermer, Qt::LeftButton);
        QVERIFY(!d.isVisible());
    }

    void linkShowsTheHandAndOpensItsAddress() {
        QList<QUrl> ouvertes;
        TFApropos::FixeOuvreurAdresse([&](const QUrl& u) { ouvertes.append(u); });
        TFApropos d;
        d.show();
        auto* lien = d.findChild<QLabel*>("Label6");
        QVERIFY(lien->font().underline());
        QCOMPARE(lien->palette().color(QPalette::WindowText), QColor(Qt::blue));

        QEnterEvent entree(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QCoreApplication::sendEvent(lien, &entree);
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
        QEvent sortie(QEvent::Leave);
        QCoreApplication::sendEvent(lien, &sortie);
        QVERIFY(!QApplication::overrideCursor());

        QTest::mouseClick(lien, Qt::LeftButton);
        QCOMPARE(ouvertes.size(), 1);
        QCOMPARE(ouvertes[0], QUrl(lien->text()));

        // Closed while the pointer is over the link: the hand does not outlive the dialog.
        QCoreApplication::sendEvent(lien, &entree);
        d.close();
        QVERIFY(!QApplication::overrideCursor());
        TFApropos::FixeOuvreurAdresse([](const QUrl&) {});
    }
};

QTEST_MAIN(FenetreApropos)
#include "fenetre_apropos_test.moc"
