// Error-status tab: the paths that ended in one HTTP error status (CalculeRetours, vue_retours.h).
#include "ui/tfprincip.h"

#include "store/base.h"
#include "ui/construction.h"
#include "ui/copie.h"
#include "ui/protege.h"
#include "ui/selection_premiere_cellule.h"
#include "vues/vue_retours.h"

#include <QLabel>
#include <QPushButton>
#include <QTableView>

namespace sillage {

void TFPrincip::CreeRetours(QWidget* page) {
    // One row of buttons per hundred (4xx at top 8, 5xx at top 38), 32 pixels apart from left 8.
    std::array<int, 2> colonnes{};
    for (std::size_t k = 0; k < BoutonsRetour.size(); ++k) {
        const std::string_view legende = StatutsRetours()[k].Legende;
        const std::size_t rangee = legende[0] == '4' ? 0 : 1;
        const QString texte = QString::fromLatin1(legende.data(), legende.size());
        QPushButton* b =
            Bouton(page, ("B" + texte.toLatin1()).constData(),
                   QRect(8 + 32 * colonnes[rangee]++, rangee == 0 ? 8 : 38, 25, 25), texte);
        // Three digits must fit in 25 pixels.
        b->setStyleSheet(QStringLiteral("padding: 0px;"));
        connect(b, &QPushButton::clicked, this, &TFPrincip::B400Click);
        BoutonsRetour[k] = b;
    }
    LExpl3 = LibelleVariable(page, "LExpl3", 8, 72, 78);
    QFont gras = LExpl3->font();
    gras.setBold(true);
    LExpl3->setFont(gras);
    LExpl4 = LibelleVariable(page, "LExpl4", 88, 72, 540);
    ModeleRetours = new ModeleTextes(
        {QStringLiteral("Page"), QStringLiteral("Acces"), QStringLiteral("Date")}, {}, this);
    ModeleRetours->setObjectName(QStringLiteral("ModeleLVRetours"));
    LVRetours = ListeRapport(page, "LVRetours", QRect(8, 96, 625, 473), ModeleRetours,
                             {400, 50, 120}, {false, false, true});
    // Rows are chosen by their first cell only, several at a time to be copied whole.
    LVRetours->setSelectionBehavior(QAbstractItemView::SelectItems);
    LVRetours->setSelectionMode(QAbstractItemView::ExtendedSelection);
    QItemSelectionModel* ancienne = LVRetours->selectionModel();
    LVRetours->setSelectionModel(new SelectionPremiereCellule(ModeleRetours, LVRetours));
    delete ancienne; // made by the view as its child, which the view keeps otherwise
    AjouteCopie(LVRetours, [this] { ExporteRetours(); });
    LCount3 = LibelleVariable(page, "LCount3", 8, 584, 400);
}

void TFPrincip::B400Click() {
    if (auto* envoyeur = qobject_cast<QPushButton*>(sender())) {
        MontreRetours(envoyeur);
    }
}

void TFPrincip::MontreRetours(QPushButton* statut) {
    if (statut == nullptr) {
        return;
    }
    StatutChoisi = statut;
    for (QPushButton* b : BoutonsRetour) {
        MetEnGras(b, b == statut);
    }
    const std::optional<QString> erreur = Essaie([&] {
        // The captions are digits only.
        VueRetours vue = CalculeRetours(Affichee(), statut->text().toStdString());
        std::vector<ModeleTextes::Rangee> rangees;
        rangees.reserve(vue.Lignes.size());
        for (LigneRetour& l : vue.Lignes) {
            rangees.push_back({std::move(l.Page), std::move(l.Acces), std::move(l.Date)});
        }
        LExpl3->setText(QString::fromStdString(vue.LExpl3));
        LExpl4->setText(QString::fromStdString(vue.LExpl4));
        ModeleRetours->Remplit(std::move(rangees));
        LCount3->setText(QString::fromStdString(vue.LCount3));
    });
    if (erreur) {
        // A row that does not read: show no half-made list under the status.
        LExpl3->clear();
        LExpl4->clear();
        ModeleRetours->Vide();
        LCount3->clear();
        Dialogues::Erreur(this, *erreur);
    }
}

} // namespace sillage
