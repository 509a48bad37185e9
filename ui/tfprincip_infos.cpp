// Infos tab: one page, host, download or referrer cross-referenced against the others. The
// decisions are EtatInfos's (vue_infos.h); each handler runs one of its events and shows the
// state it leaves.
#include "ui/tfprincip.h"

#include "store/base.h"
#include "ui/choix_liste.h"
#include "ui/dialogues.h"
#include "ui/modele_entrees.h"
#include "ui/onglets.h"
#include "ui/texte_qt.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTableView>

#include <exception>

namespace sillage {

namespace {

constexpr int kOngletInfos = 5; // TabSheet6

void MetEnGras(QPushButton* bouton, bool gras) {
    QFont police = bouton->font();
    if (police.bold() != gras) {
        police.setBold(gras);
        bouton->setFont(police);
    }
}

} // namespace

std::string TFPrincip::TexteFiltre2() const {
    // A character that Windows-1252 lacks occurs in no stored name; neither does a line feed,
    // which no table line can hold, so the filter then keeps no entry.
    return VersWindows1252(EFiltre2->text()).value_or("\n");
}

bool TFPrincip::EvenementInfos(int effets, const std::function<void()>& evenement) {
    QString erreur;
    if (effets & kEntrees) {
        ModeleSearch->DebutChangement();
    }
    try {
        evenement();
    } catch (const std::exception& e) {
        erreur = QString::fromUtf8(e.what());
    }
    if (effets & kEntrees) {
        ModeleSearch->FinChangement();
    }

    LExplI0->setText(QString::fromStdString(Infos.LExplI0));
    const std::array<QPushButton*, 4> boutons = {BPage, BNomD, BDownload, BReferent};
    for (int m = 1; m <= 4; ++m) {
        MetEnGras(boutons[static_cast<std::size_t>(m - 1)], Infos.ModeRecherche == m);
    }
    {
        ChoixListe::Silence silence(*ChoixSearch);
        if (Infos.Selection >= 0) {
            const QModelIndex index = ModeleSearch->index(Infos.Selection, 0);
            LBSearch->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
            LBSearch->scrollTo(index);
        } else {
            LBSearch->selectionModel()->clear();
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

    if (!erreur.isEmpty()) {
        Dialogues::Erreur(this, erreur);
        return false;
    }
    return true;
}

void TFPrincip::ChoisitModeInfos(int mode) {
    EvenementInfos(kEntrees, [&] { Infos.ChoisitMode(base_, mode, TexteFiltre2()); });
}

void TFPrincip::BPageClick() {
    ChoisitModeInfos(1);
}
void TFPrincip::BNomDClick() {
    ChoisitModeInfos(2);
}
void TFPrincip::BDownloadClick() {
    ChoisitModeInfos(3);
}
void TFPrincip::BReferentClick() {
    ChoisitModeInfos(4);
}

void TFPrincip::LBSearchClick() {
    const int rangee = ChoixListe::RangeeChoisie(LBSearch);
    EvenementInfos(kResultats, [&] { Infos.SelectionneEntree(base_, rangee); });
}

void TFPrincip::BFiltre2Click() {
    EvenementInfos(kEntrees, [&] { Infos.AppliqueFiltre(base_, TexteFiltre2()); });
}

void TFPrincip::EFiltre2KeyUp(int key) {
    const bool entree = key == kToucheEntree;
    EvenementInfos(entree ? kEntrees : 0,
                   [&] { Infos.RelacheTouche(base_, entree, TexteFiltre2()); });
}

void TFPrincip::LVAfficheDblClick() {
    const int rangee = ChoixListe::RangeeChoisie(LVAffiche);
    // Keywords (mode 4) lead nowhere; leave both lists exactly as they are.
    if (rangee < 0 || Infos.ModeRecherche == 4) {
        return;
    }
    EvenementInfos(kEntrees | kResultats,
                   [&] { Infos.NavigueDepuisResultat(base_, rangee, TexteFiltre2()); });
}

void TFPrincip::NavigueVersInfos(int mode, int ligne) {
    if (EvenementInfos(kEntrees | kResultats,
                       [&] { Infos.NavigueDepuisListe(base_, mode, ligne, TexteFiltre2()); })) {
        PageControl1->setCurrentIndex(kOngletInfos);
    }
}

void TFPrincip::VLPagesDblClick(int ligne) {
    NavigueVersInfos(1, ligne);
}
void TFPrincip::LVIPDblClick(int ligne) {
    NavigueVersInfos(2, ligne);
}
void TFPrincip::LVDownloadDblClick(int ligne) {
    NavigueVersInfos(3, ligne);
}
void TFPrincip::LVOrigineDblClick(int ligne) {
    NavigueVersInfos(4, ligne);
}

} // namespace sillage
