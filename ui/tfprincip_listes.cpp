// The ranked lists of the Pages, Images, IP, Référents and Downloads tabs and their filters.
#include "ui/tfprincip.h"

#include "store/base.h"
#include "ui/choix_liste.h"
#include "ui/texte_qt.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>

namespace sillage {

ModeleListe& TFPrincip::ModeleDe(Liste liste) {
    switch (liste) {
    case Liste::Pages:
        return *ModelePages;
    case Liste::Images:
        return *ModeleImages;
    case Liste::IP:
        return *ModeleIP;
    case Liste::Origines:
        return *ModeleOrigines;
    case Liste::Downloads:
        break;
    }
    return *ModeleDownloads;
}

int TFPrincip::LigneTableCourante(const QAbstractItemView* liste) {
    const auto* modele = qobject_cast<const ModeleListe*>(liste->model());
    if (modele == nullptr || !liste->currentIndex().isValid()) {
        return -1;
    }
    return modele->LigneTable(liste->currentIndex().row());
}

void TFPrincip::RelieListes() {
    connect(BFiltre1, &QPushButton::clicked, this, &TFPrincip::BFiltre1Click);
    connect(BFiltre3, &QPushButton::clicked, this, &TFPrincip::BFiltre3Click);
    connect(BFiltre4, &QPushButton::clicked, this, &TFPrincip::BFiltre4Click);
    connect(BFiltre5, &QPushButton::clicked, this, &TFPrincip::BFiltre5Click);
    // Double-clicks are seen on the viewports, so that one on no row still reaches its handler
    // (with -1). LVImages has no double-click action.
    for (QTableView* vue : {VLPages, LVIP, LVOrigine, LVDownload}) {
        vue->viewport()->installEventFilter(this);
    }

    // Infos tab.
    connect(BPage, &QPushButton::clicked, this, &TFPrincip::BPageClick);
    connect(BNomD, &QPushButton::clicked, this, &TFPrincip::BNomDClick);
    connect(BDownload, &QPushButton::clicked, this, &TFPrincip::BDownloadClick);
    connect(BReferent, &QPushButton::clicked, this, &TFPrincip::BReferentClick);
    connect(BFiltre2, &QPushButton::clicked, this, &TFPrincip::BFiltre2Click);
    ChoixSearch = new ChoixListe(LBSearch, [this] { LBSearchClick(); });
    connect(LVAffiche, &QAbstractItemView::doubleClicked, this, &TFPrincip::LVAfficheDblClick);

    // Charts tab.
    ChoixAnnee = new ChoixListe(LBListAnnee, [this] { LBListAnneeClick(); });
    ChoixMois = new ChoixListe(LBListMois, [this] { LBListMoisClick(); });
}

bool TFPrincip::eventFilter(QObject* objet, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        const auto* touche = static_cast<QKeyEvent*>(event);
        if (!touche->isAutoRepeat()) {
            const int code = touche->key() == Qt::Key_Return || touche->key() == Qt::Key_Enter
                                 ? kToucheEntree
                                 : touche->key();
            if (objet == EFiltre1) {
                EFiltre1KeyUp(code);
            } else if (objet == EFiltre3) {
                EFiltre3KeyUp(code);
            } else if (objet == EFiltre4) {
                EFiltre4KeyUp(code);
            } else if (objet == EFiltre5) {
                EFiltre5KeyUp(code);
            } else if (objet == EFiltre2) {
                EFiltre2KeyUp(code);
            }
        }
    } else if (event->type() == QEvent::MouseButtonDblClick) {
        const auto* souris = static_cast<QMouseEvent*>(event);
        const auto ligne = [&](QTableView* vue, ModeleListe* modele) {
            const QModelIndex index = vue->indexAt(souris->position().toPoint());
            return index.isValid() ? modele->LigneTable(index.row()) : -1;
        };
        if (souris->button() == Qt::LeftButton) {
            if (objet == VLPages->viewport()) {
                VLPagesDblClick(ligne(VLPages, ModelePages));
            } else if (objet == LVIP->viewport()) {
                LVIPDblClick(ligne(LVIP, ModeleIP));
            } else if (objet == LVOrigine->viewport()) {
                LVOrigineDblClick(ligne(LVOrigine, ModeleOrigines));
            } else if (objet == LVDownload->viewport()) {
                LVDownloadDblClick(ligne(LVDownload, ModeleDownloads));
            }
        }
    }
    return QMainWindow::eventFilter(objet, event);
}

void TFPrincip::Filtre(Liste liste) {
    QLineEdit* edit = liste == Liste::Pages    ? EFiltre1
                      : liste == Liste::Images ? EFiltre3
                      : liste == Liste::IP     ? EFiltre4
                                               : EFiltre5;
    const Table& table = TableListe(base_, liste);
    // A text with a character that Windows-1252 lacks occurs in no stored name.
    const std::optional<std::string> filtre = VersWindows1252(edit->text());
    ModeleDe(liste).Remplit(table,
                            filtre ? LignesListe(table, *filtre) : std::vector<std::uint32_t>{});
}

void TFPrincip::FiltrePages() {
    Filtre(Liste::Pages);
}
void TFPrincip::FiltreImages() {
    Filtre(Liste::Images);
}
void TFPrincip::FiltreIP() {
    Filtre(Liste::IP);
}
void TFPrincip::FiltreOrigines() {
    Filtre(Liste::Origines);
}

void TFPrincip::BFiltre1Click() {
    FiltrePages();
}
void TFPrincip::BFiltre3Click() {
    FiltreImages();
}
void TFPrincip::BFiltre4Click() {
    FiltreIP();
}
void TFPrincip::BFiltre5Click() {
    FiltreOrigines();
}

void TFPrincip::EFiltre1KeyUp(int key) {
    if (key == kToucheEntree) {
        FiltrePages();
    }
}

void TFPrincip::EFiltre3KeyUp(int key) {
    if (key == kToucheEntree) {
        FiltreImages();
    }
}

void TFPrincip::EFiltre4KeyUp(int key) {
    if (key == kToucheEntree) {
        FiltreIP();
    }
}

void TFPrincip::EFiltre5KeyUp(int key) {
    if (key == kToucheEntree) {
        FiltreOrigines();
    }
}

} // namespace sillage
