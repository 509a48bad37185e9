// The ranked lists of the Pages, Images, IP, Référents and Downloads tabs and their filters
// (LignesListe, vue_listes.h). A double-click on a row of four of them leads to the Infos tab.
#include "ui/tfprincip.h"

#include "store/base.h"
#include "ui/construction.h"
#include "ui/copie.h"
#include "ui/texte_qt.h"
#include "ui/texte_utf8.h"
#include "vues/vue_messages.h"
#include "vues/vue_texte.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace sillage {

const std::array<TFPrincip::DescriptionListe, 5> TFPrincip::kListes = {{
    {Liste::Pages, 1, "Label1", "EFiltre1", "BFiltre1", "LLignes1", "VLPages",
     QRect(8, 64, 625, 529), ModeInfos::Pages},
    {Liste::Images, 2, "Label2", "EFiltre3", "BFiltre3", "LLignes3", "LVImages",
     QRect(8, 64, 625, 529), ModeInfos::Aucun},
    {Liste::IP, 3, "Label27", "EFiltre4", "BFiltre4", "LLignes4", "LVIP", QRect(8, 64, 625, 529),
     ModeInfos::IP},
    {Liste::Origines, 4, "Label28", "EFiltre5", "BFiltre5", "LLignes5", "LVOrigine",
     QRect(8, 64, 625, 529), ModeInfos::Referent},
    {Liste::Downloads, 7, nullptr, nullptr, nullptr, nullptr, "LVDownload", QRect(8, 16, 625, 545),
     ModeInfos::Download},
}};

void TFPrincip::CreeListe(QWidget* page, ListeFenetre& liste) {
    const DescriptionListe& d = *liste.description;
    const std::vector<ColonneListe>& colonnes = ColonnesListe(d.liste);
    std::vector<int> largeurs;
    std::vector<bool> dates;
    for (const ColonneListe& c : colonnes) {
        largeurs.push_back(c.largeur);
        dates.push_back(c.date);
    }
    liste.modele = new ModeleListe(colonnes, this);
    liste.modele->setObjectName(QStringLiteral("Modele%1").arg(QString::fromLatin1(d.vue)));
    liste.vue = ListeRapport(page, d.vue, d.place, liste.modele, largeurs, dates);
    // Rows are chosen one, a range (Shift) or several (Ctrl) at a time, or all (Ctrl+A), to be
    // copied; a double-click leads from the row it falls on.
    liste.vue->setSelectionMode(QAbstractItemView::ExtendedSelection);
    AjouteCopie(liste.vue, [this, &liste] { ExporteListe(liste); });
    if (d.infos != ModeInfos::Aucun) {
        new DoubleClicRangee(liste.vue, [this, &liste](int rangee) {
            ListeDblClick(liste, liste.modele->LigneTable(rangee));
        });
    }
    if (d.edit == nullptr) {
        return;
    }
    Libelle(page, d.etiquette, 8, 8, QStringLiteral("Filtre :"));
    liste.lignes = LibelleVariable(page, d.lignes, 233, 8, 400);
    liste.lignes->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    liste.edit = Edit(page, d.edit, QRect(8, 32, 473, 21));
    QPushButton* bouton =
        Bouton(page, d.bouton, QRect(488, 32, 145, 21), QStringLiteral("Appliquer"));
    connect(bouton, &QPushButton::clicked, this, [this, &liste] { BFiltreClick(liste); });
    new ToucheRelachee(liste.edit, [this, &liste](int key) { EFiltreKeyUp(liste, key); });
}

void TFPrincip::Remplit(ListeFenetre& liste, bool filtre) {
    const Table& table = TableListe(Affichee(), liste.description->liste);
    if (!filtre || liste.edit == nullptr || liste.edit->text().isEmpty()) {
        liste.modele->Remplit(table, LignesListe(table));
        if (liste.lignes != nullptr) {
            liste.lignes->clear();
        }
        return;
    }
    // Rows are found by what they show, whatever the encoding of their bytes.
    liste.modele->Remplit(table, LignesListe(table, liste.edit->text().toStdString()));
    liste.lignes->setText(
        Utf8(TexteLignesFiltrees(liste.modele->rowCount(), NombreEnregistrements(table.Count()))));
}

void TFPrincip::BFiltreClick(ListeFenetre& liste) {
    Remplit(liste, true);
}

void TFPrincip::EFiltreKeyUp(ListeFenetre& liste, int key) {
    if (key == kToucheEntree) {
        Remplit(liste, true);
    }
}

void TFPrincip::ListeDblClick(const ListeFenetre& liste, int ligne) {
    NavigueVersInfos(liste.description->infos, ligne);
}

} // namespace sillage
