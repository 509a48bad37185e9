// The main window's frame: its font, the menu bar of seven commands and the tab control whose ten
// pages each room fills.
#include "ui/tfprincip.h"

#include "ui/construction.h"
#include "ui/identite.h"
#include "ui/modele_entrees.h"
#include "ui/onglets.h"
#include "ui/police.h"

#include <QFileDialog>
#include <QMenuBar>
#include <QSettings>
#include <QToolTip>

namespace sillage {

TFPrincip::TFPrincip(Base& base, QWidget* parent) : QMainWindow(parent), base_(base) {
    setWindowTitle(QStringLiteral("Sillage"));
    setWindowIcon(IconeSillage());
    setFont(PoliceSillage());
    // A tooltip is a window of its own, which takes no window's font: every tooltip of the
    // program is drawn in this one.
    QToolTip::setFont(font());

    CreeMenu();
    CreePeriodes();

    auto* centre = new QWidget(this);
    centre->setFixedSize(kLargeur, kHauteur);
    setCentralWidget(centre);
    PageControl1 = Nomme(new ControleOnglets(centre), "PageControl1");
    PageControl1->setGeometry(0, 0, kLargeur, kHauteur);

    static const char* const kTitres[10] = {"Général",
                                            "Statistiques des Pages",
                                            "Statistiques des Images",
                                            "Statistiques des IP",
                                            "Statistiques des Référents",
                                            "Infos",
                                            "Graphiques annuels",
                                            "Statistiques des Downloads",
                                            "Statistiques des Retours",
                                            "Visiteurs"};
    std::array<QWidget*, 10> pages{};
    for (int i = 0; i < 10; ++i) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("TabSheet%1").arg(i + 1));
        pages[static_cast<std::size_t>(i)] = page;
        PageControl1->addTab(page, QString::fromUtf8(kTitres[i]));
    }
    CreeGeneral(pages[0]);
    for (std::size_t i = 0; i < kListes.size(); ++i) {
        listes_[i].description = &kListes[i];
        CreeListe(pages[static_cast<std::size_t>(kListes[i].onglet)], listes_[i]);
    }
    CreeInfos(pages[5]);
    CreeGraphiques(pages[6]);
    CreeRetours(pages[8]);
    CreeVisiteurs(pages[9]);

    // Qt's file dialog reads its history and folders from Qt's settings file in the user's
    // configuration folder, and writes them there when it goes. The program writes nothing but
    // its tables: Qt's settings get a folder that cannot exist, so none is read or written.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
    OpenDialog1 = Nomme(new QFileDialog(this), "OpenDialog1");
    OpenDialog1->setFont(PoliceSillage()); // a window of its own: it does not take this one's
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);

    setFixedSize(sizeHint());
    move(280, 146);
}

TFPrincip::~TFPrincip() = default;

void TFPrincip::FixeDialogues(TFApropos* apropos, TFOptions* options) {
    apropos_ = apropos;
    options_ = options;
}

void TFPrincip::CreeMenu() {
    QMenuBar* barre = menuBar();
    barre->setObjectName(QStringLiteral("MainMenu1"));
    const auto commande = [&](const char* nom, const QString& texte, void (TFPrincip::*action)(),
                              QKeySequence raccourci = {}) {
        QAction* a = barre->addAction(texte);
        a->setObjectName(QString::fromLatin1(nom));
        a->setShortcut(raccourci);
        connect(a, &QAction::triggered, this, action);
        return a;
    };
    Ouvrir1 = commande("Ouvrir1", QStringLiteral("&Ouvrir"), &TFPrincip::Ouvrir1Click,
                       QKeySequence::Open);
    Enregistrer1 = commande("Enregistrer1", QStringLiteral("&Enregistrer"),
                            &TFPrincip::Enregistrer1Click, QKeySequence::Save);
    Exporter1 = commande("Exporter1", QStringLiteral("E&xporter…"), &TFPrincip::Exporter1Click);
    Reinitialiser1 = commande("Reinitialiser1", QStringLiteral("&Reinitialiser"),
                              &TFPrincip::Reinitialiser1Click);
    Options1 = commande("Options1", QStringLiteral("&Options"), &TFPrincip::Options1Click);
    APropos1 = commande("APropos1", QStringLiteral("&A Propos"), &TFPrincip::APropos1Click);
    Quitter1 = commande("Quitter1", QStringLiteral("&Quitter"), &TFPrincip::Quitter1Click);
}

} // namespace sillage
