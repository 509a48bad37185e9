// Error-status tab: the paths that ended in one HTTP error status (CalculeRetours, vue_retours.h).
#include "ui/tfprincip.h"

#include "store/base.h"
#include "ui/dialogues.h"
#include "ui/texte_qt.h"
#include "vues/vue_retours.h"

#include <QLabel>
#include <QPushButton>

#include <exception>

namespace sillage {

void TFPrincip::B400Click() {
    auto* envoyeur = qobject_cast<QPushButton*>(sender());
    if (envoyeur == nullptr) {
        return;
    }
    for (QPushButton* b : BoutonsRetour) {
        QFont police = b->font();
        police.setBold(b == envoyeur);
        b->setFont(police);
    }
    try {
        // The captions are digits only.
        VueRetours vue = CalculeRetours(base_, envoyeur->text().toStdString());
        std::vector<ModeleTextes::Rangee> rangees;
        rangees.reserve(vue.Lignes.size());
        for (LigneRetour& l : vue.Lignes) {
            rangees.push_back({std::move(l.Page), std::move(l.Acces), std::move(l.Date)});
        }
        LExpl3->setText(QString::fromStdString(vue.LExpl3));
        LExpl4->setText(QString::fromStdString(vue.LExpl4));
        ModeleRetours->Remplit(std::move(rangees));
        LCount3->setText(QString::fromStdString(vue.LCount3));
    } catch (const std::exception& e) {
        // A row that does not read: show no half-made list under the status.
        LExpl3->clear();
        LExpl4->clear();
        ModeleRetours->Vide();
        LCount3->clear();
        Dialogues::Erreur(this, QString::fromUtf8(e.what()));
    }
}

} // namespace sillage
