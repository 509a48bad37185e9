// Infos tab: one page, host, download or referrer cross-referenced against the others. The
// decisions are EtatInfos's (vue_infos.h); each handler runs one of its events and shows the
// state it leaves.
#include "ui/tfprincip.h"

#include "store/base.h"
#include "ui/choix_liste.h"
#include "ui/construction.h"
#include "ui/copie.h"
#include "ui/dialogues.h"
#include "ui/modele_entrees.h"
#include "ui/onglets.h"
#include "ui/protege.h"
#include "ui/texte_qt.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTableView>

namespace sillage {

namespace {

constexpr int kOngletInfos = 5; // TabSheet6

} // namespace

void TFPrincip::CreeInfos(QWidget* page) {
    BPage = Bouton(page, "BPage", QRect(16, 8, 65, 25), QStringLiteral("Pages"));
    BNomD = Bouton(page, "BNomD", QRect(88, 8, 65, 25), QStringLiteral("IP"));
    BDownload = Bouton(page, "BDownload", QRect(160, 8, 65, 25), QStringLiteral("Download"));
    BReferent = Bouton(page, "BReferent", QRect(232, 8, 65, 25), QStringLiteral("Référent"));
    EFiltre2 = Edit(page, "EFiltre2", QRect(384, 8, 169, 21));
    QPushButton* BFiltre2 =
        Bouton(page, "BFiltre2", QRect(560, 8, 59, 25), QStringLiteral("Appliquer"));
    LExplI0 = LibelleVariable(page, "LExplI0", 16, 40, 600);

    ModeleSearch = std::make_unique<ModeleEntrees>(Infos.Entrees);
    ModeleSearch->setObjectName(QStringLiteral("ModeleLBSearch"));
    LBSearch = Nomme(new QListView(page), "LBSearch");
    LBSearch->setGeometry(16, 56, 601, 193);
    LBSearch->setModel(ModeleSearch.get());
    LBSearch->setSelectionMode(QAbstractItemView::SingleSelection);
    LBSearch->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LBSearch->setUniformItemSizes(true);

    LAffiche = LibelleVariable(page, "LAffiche", 16, 256, 600);
    ModeleAffiche = new ModeleTextes(
        {QStringLiteral("Nom"), QStringLiteral("Acces"), QStringLiteral("Date")}, {}, this);
    ModeleAffiche->setObjectName(QStringLiteral("ModeleLVAffiche"));
    LVAffiche = ListeRapport(page, "LVAffiche", QRect(16, 272, 601, 289), ModeleAffiche,
                             {400, 50, 100}, {false, false, true});
    // Results can be chosen several at a time, to be copied; a double-click leads from one.
    LVAffiche->setSelectionMode(QAbstractItemView::ExtendedSelection);
    AjouteCopie(LBSearch);
    AjouteCopie(LVAffiche, [this] { ExporteResultats(); });

    connect(BPage, &QPushButton::clicked, this, &TFPrincip::BPageClick);
    connect(BNomD, &QPushButton::clicked, this, &TFPrincip::BNomDClick);
    connect(BDownload, &QPushButton::clicked, this, &TFPrincip::BDownloadClick);
    connect(BReferent, &QPushButton::clicked, this, &TFPrincip::BReferentClick);
    connect(BFiltre2, &QPushButton::clicked, this, &TFPrincip::BFiltre2Click);
    new ToucheRelachee(EFiltre2, [this](int key) { EFiltre2KeyUp(key); });
    ChoixSearch = new ChoixListe(LBSearch, [this] { LBSearchClick(); });
    connect(LVAffiche, &QAbstractItemView::doubleClicked, this, &TFPrincip::LVAfficheDblClick);
}

std::string TFPrincip::TexteFiltre2() const {
    // UTF-8, matched against what the entries show.
    return EFiltre2->text().toStdString();
}

bool TFPrincip::EvenementInfos(int effets, const std::function<void()>& evenement) {
    if (effets & kEntrees) {
        ModeleSearch->DebutChangement();
    }
    const std::optional<QString> erreur = Essaie(evenement);
    if (effets & kEntrees) {
        ModeleSearch->FinChangement();
    }

    LExplI0->setText(QString::fromStdString(Infos.LExplI0));
    MetEnGras(BPage, Infos.ModeRecherche == ModeInfos::Pages);
    MetEnGras(BNomD, Infos.ModeRecherche == ModeInfos::IP);
    MetEnGras(BDownload, Infos.ModeRecherche == ModeInfos::Download);
    MetEnGras(BReferent, Infos.ModeRecherche == ModeInfos::Referent);
    {
        ChoixListe::Silence silence(*ChoixSearch);
        if (Infos.Selection >= 0) {
            const QModelIndex index = ModeleSearch->index(Infos.Selection, 0);
            LBSearch->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
            LBSearch->scrollTo(index);
        } else {
            LBSearch->selectionModel()->clear();
            if (effets & kEntrees) {
                LBSearch->scrollToTop(); // a new list starts at its first entry
            }
        }
    }
    if (effets & kResultats) {
        std::vector<ModeleTextes::Rangee> rangees;
        rangees.reserve(Infos.Resultats.size());
        for (const LigneResultat& l : Infos.Resultats) {
            rangees.push_back({l.Nom, l.Acces, l.Date});
        }
        ModeleAffiche->Remplit(std::move(rangees));
        LAffiche->setText(QString::fromStdString(Infos.LAffiche));
    }

    if (erreur) {
        Dialogues::Erreur(this, *erreur);
        return false;
    }
    return true;
}

void TFPrincip::ChoisitModeInfos(ModeInfos mode) {
    EvenementInfos(kEntrees, [&] { Infos.ChoisitMode(Affichee(), mode, TexteFiltre2()); });
}

void TFPrincip::BPageClick() {
    ChoisitModeInfos(ModeInfos::Pages);
}
void TFPrincip::BNomDClick() {
    ChoisitModeInfos(ModeInfos::IP);
}
void TFPrincip::BDownloadClick() {
    ChoisitModeInfos(ModeInfos::Download);
}
void TFPrincip::BReferentClick() {
    ChoisitModeInfos(ModeInfos::Referent);
}

void TFPrincip::LBSearchClick() {
    const int rangee = ChoixListe::RangeeChoisie(LBSearch);
    EvenementInfos(kResultats, [&] { Infos.SelectionneEntree(Affichee(), rangee); });
}

void TFPrincip::BFiltre2Click() {
    EvenementInfos(kEntrees, [&] { Infos.AppliqueFiltre(Affichee(), TexteFiltre2()); });
}

void TFPrincip::EFiltre2KeyUp(int key) {
    const bool entree = key == kToucheEntree;
    EvenementInfos(entree ? kEntrees : 0,
                   [&] { Infos.RelacheTouche(Affichee(), entree, TexteFiltre2()); });
}

void TFPrincip::LVAfficheDblClick() {
    const int rangee = ChoixListe::RangeeChoisie(LVAffiche);
    // Keywords lead nowhere; leave both lists exactly as they are.
    if (rangee < 0 || Infos.ModeRecherche == ModeInfos::Referent) {
        return;
    }
    EvenementInfos(kEntrees | kResultats,
                   [&] { Infos.NavigueDepuisResultat(Affichee(), rangee, TexteFiltre2()); });
}

void TFPrincip::NavigueVersInfos(ModeInfos mode, int ligne) {
    if (EvenementInfos(kEntrees | kResultats, [&] {
            Infos.NavigueDepuisListe(Affichee(), mode, ligne, TexteFiltre2());
        })) {
        PageControl1->setCurrentIndex(kOngletInfos);
    }
}

} // namespace sillage
