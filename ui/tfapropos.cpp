#include "ui/tfapropos.h"

#include "sillage_version.h"
#include "ui/construction.h"
#include "ui/jpeg.h"
#include "visiteurs/classificateur.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>

#include <tuple>

// The picture lives in the resources of the static library sillage_ui; registering them from
// here makes the linker keep them in every program that shows this dialog.
static void ChargeRessourcesSillage() {
    static const bool chargees = [] {
        Q_INIT_RESOURCE(sillage);
        return true;
    }();
    (void)chargees;
}

namespace sillage {

namespace {

TFApropos::OuvreurAdresse& Ouvreur() {
    static TFApropos::OuvreurAdresse ouvreur = [](const QUrl& adresse) {
        QDesktopServices::openUrl(adresse);
    };
    return ouvreur;
}

QFont Serif(int pixels) {
    QFont f(QStringLiteral("serif"));
    f.setStyleHint(QFont::Serif);
    f.setPixelSize(pixels);
    f.setBold(true);
    return f;
}

} // namespace

void TFApropos::FixeOuvreurAdresse(OuvreurAdresse ouvreur) {
    Ouvreur() = std::move(ouvreur);
}

QByteArray TFApropos::OctetsImage() {
    ChargeRessourcesSillage();
    QFile f(QStringLiteral(":/apropos.jpg"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TFApropos::TFApropos(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("A Propos"));
    // 32 pixels taller than first laid out, for the two lines of the lists' versions.
    MetEnFenetreOutil(this, QPoint(343, 155), QSize(288, 259));

    QLabel* Label1 = Libelle(this, "Label1", 128, 8, QStringLiteral("Sillage"));
    Label1->setFont(Serif(24));
    Label1->adjustSize();
    Libelle(this, "Label7", 168, 40, QStringLiteral("V " SILLAGE_VERSION));
    Libelle(this, "Label2", 128, 64, QStringLiteral("Créée par :"));
    QLabel* Label3 = Libelle(this, "Label3", 128, 80, QStringLiteral("Remous"));
    Label3->setFont(Serif(16));
    Label3->adjustSize();
    Libelle(this, "Label5", 128, 104, QStringLiteral("Alias"));
    QLabel* Label4 = Libelle(this, "Label4", 128, 120, QStringLiteral("Équipe Sillage"));
    Label4->setFont(Serif(16));
    Label4->adjustSize();

    Label6 = Libelle(this, "Label6", 64, 152, QStringLiteral("http://www.example.com/sillage/"));
    QFont souligne = Label6->font();
    souligne.setUnderline(true);
    Label6->setFont(souligne);
    QPalette bleu = Label6->palette();
    bleu.setColor(QPalette::WindowText, Qt::blue);
    Label6->setPalette(bleu);
    Label6->adjustSize();
    Label6->installEventFilter(this);

    auto* Image1 = Nomme(new QLabel(this), "Image1");
    Image1->setGeometry(16, 48, 97, 57);
    const QByteArray octets = OctetsImage();
    ImageRgb rgb;
    if (DecodeJpeg(reinterpret_cast<const unsigned char*>(octets.constData()),
                   static_cast<std::size_t>(octets.size()), rgb)) {
        const QImage image(rgb.Pixels.data(), rgb.Largeur, rgb.Hauteur, rgb.Largeur * 3,
                           QImage::Format_RGB888);
        Image1->setPixmap(QPixmap::fromImage(
            image.scaled(Image1->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    }

    const VersionsListes versions = LitVersionsListes(FichiersDonnees::ParDefaut());
    for (const auto& [nom, y, texte] : {std::tuple{"LVersionUap", 176, &versions.uap},
                                        std::tuple{"LVersionRobots", 192, &versions.robots}}) {
        QLabel* l = LibelleVariable(this, nom, 16, y, 256);
        l->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        l->setText(QString::fromStdString(*texte));
    }

    QPushButton* BCLose =
        Bouton(this, "BCLose", QRect(48, 216, 177, 33), QStringLiteral("&Fermer"));
    BCLose->setAutoDefault(true);
    BCLose->setDefault(true); // Enter; Escape rejects the dialog, which closes it too
    connect(BCLose, &QPushButton::clicked, this, &QDialog::accept);
}

bool TFApropos::eventFilter(QObject* objet, QEvent* evenement) {
    if (objet == Label6) {
        switch (evenement->type()) {
        case QEvent::Enter:
            Label6MouseEnter();
            break;
        case QEvent::Leave:
            Label6MouseLeave();
            break;
        case QEvent::MouseButtonRelease: {
            const auto* souris = static_cast<QMouseEvent*>(evenement);
            if (souris->button() == Qt::LeftButton &&
                Label6->rect().contains(souris->position().toPoint())) {
                Label6Click();
            }
            break;
        }
        default:
            break;
        }
    }
    return QDialog::eventFilter(objet, evenement);
}

void TFApropos::hideEvent(QHideEvent* event) {
    // The dialog may close while the pointer is still over the link: no Leave follows then.
    Label6MouseLeave();
    QDialog::hideEvent(event);
}

void TFApropos::Label6Click() {
    Ouvreur()(QUrl(Label6->text()));
}

void TFApropos::Label6MouseEnter() {
    if (!curseurMain_) {
        QApplication::setOverrideCursor(Qt::PointingHandCursor);
        curseurMain_ = true;
    }
}

void TFApropos::Label6MouseLeave() {
    if (curseurMain_) {
        QApplication::restoreOverrideCursor();
        curseurMain_ = false;
    }
}

} // namespace sillage
