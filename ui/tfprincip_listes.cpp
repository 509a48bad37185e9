// The ranked lists of the Pages, Images, IP, Référents and Downloads tabs and their filters
// (LignesListe, vue_listes.h). A double-click on a row of four of them leads to the Infos tab.
#include "ui/tfprincip.h"

#include "store/base.h"
#include "ui/construction.h"
#include "ui/copie.h"
#include "ui/texte_qt.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace sillage {

namespace {

std::vector<int> Largeurs(const std::vector<ColonneListe>& colonnes) {
    std::vector<int> l;
    for (const ColonneListe& c : colonnes) {
        l.push_back(c.largeur);
    }
    return l;
}

std::vector<bool> Dates(const std::vector<ColonneListe>& colonnes) {
    std::vector<bool> d;
    for (const ColonneListe& c : colonnes) {
        d.push_back(c.date);
    }
    return d;
}

} // namespace

void TFPrincip::CreeListe(QWidget* page, Liste liste) {
    struct Noms {
        const char* etiquette;
        const char* edit;
        const char* bouton;
        const char* vue;
    };
    Noms noms{};
    ModeleListe*& modele = [&]() -> ModeleListe*& {
        switch (liste) {
        case Liste::Pages:
            noms = {"Label1", "EFiltre1", "BFiltre1", "VLPages"};
            return ModelePages;
        case Liste::Images:
            noms = {"Label2", "EFiltre3", "BFiltre3", "LVImages"};
            return ModeleImages;
        case Liste::IP:
            noms = {"Label27", "EFiltre4", "BFiltre4", "LVIP"};
            return ModeleIP;
        case Liste::Origines:
            noms = {"Label28", "EFiltre5", "BFiltre5", "LVOrigine"};
            return ModeleOrigines;
        case Liste::Downloads:
            break;
        }
        noms = {nullptr, nullptr, nullptr, "LVDownload"};
        return ModeleDownloads;
    }();
    modele = new ModeleListe(ColonnesListe(liste), this);
    modele->setObjectName(QStringLiteral("Modele%1").arg(QString::fromLatin1(noms.vue)));
    const std::vector<int> largeurs = Largeurs(ColonnesListe(liste));
    const std::vector<bool> dates = Dates(ColonnesListe(liste));

    // Double-clicks lead to the Infos tab with the table line of the row, -1 below the last row.
    // LVImages has no double-click action.
    const auto doubleClic = [this, modele](QTableView* vue, void (TFPrincip::*handler)(int)) {
        new DoubleClicRangee(vue, [this, modele, handler](int rangee) {
            (this->*handler)(modele->LigneTable(rangee));
        });
    };
    if (liste == Liste::Downloads) {
        LVDownload = ListeRapport(page, noms.vue, QRect(8, 16, 625, 545), modele, largeurs, dates);
        AjouteCopie(LVDownload);
        doubleClic(LVDownload, &TFPrincip::LVDownloadDblClick);
        return;
    }
    Libelle(page, noms.etiquette, 8, 8, QStringLiteral("Filtre :"));
    QLineEdit* edit = Edit(page, noms.edit, QRect(8, 32, 473, 21));
    QPushButton* bouton =
        Bouton(page, noms.bouton, QRect(488, 32, 145, 21), QStringLiteral("Appliquer"));
    QTableView* vue = ListeRapport(page, noms.vue, QRect(8, 64, 625, 529), modele, largeurs, dates);
    AjouteCopie(vue);
    switch (liste) {
    case Liste::Pages:
        EFiltre1 = edit, VLPages = vue;
        connect(bouton, &QPushButton::clicked, this, &TFPrincip::BFiltre1Click);
        new ToucheRelachee(edit, [this](int key) { EFiltre1KeyUp(key); });
        doubleClic(vue, &TFPrincip::VLPagesDblClick);
        break;
    case Liste::Images:
        EFiltre3 = edit, LVImages = vue;
        connect(bouton, &QPushButton::clicked, this, &TFPrincip::BFiltre3Click);
        new ToucheRelachee(edit, [this](int key) { EFiltre3KeyUp(key); });
        break;
    case Liste::IP:
        EFiltre4 = edit, LVIP = vue;
        connect(bouton, &QPushButton::clicked, this, &TFPrincip::BFiltre4Click);
        new ToucheRelachee(edit, [this](int key) { EFiltre4KeyUp(key); });
        doubleClic(vue, &TFPrincip::LVIPDblClick);
        break;
    case Liste::Origines:
        EFiltre5 = edit, LVOrigine = vue;
        connect(bouton, &QPushButton::clicked, this, &TFPrincip::BFiltre5Click);
        new ToucheRelachee(edit, [this](int key) { EFiltre5KeyUp(key); });
        doubleClic(vue, &TFPrincip::LVOrigineDblClick);
        break;
    case Liste::Downloads:
        break;
    }
}

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
