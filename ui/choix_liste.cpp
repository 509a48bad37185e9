#include "ui/choix_liste.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QItemSelectionModel>

#include <utility>

namespace sillage {

ChoixListe::ChoixListe(QAbstractItemView* vue, std::function<void()> action)
    : QObject(vue), vue_(vue), action_(std::move(action)) {
    // The viewport sees a press before the view does, so the flag is down before the press
    // selects anything.
    vue->viewport()->installEventFilter(this);
    connect(vue->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (muet_) {
            return;
        }
        changeeDepuisPression_ = true;
        // A choice that leaves nothing selected (Ctrl+click on the selected item) is no choice.
        if (RangeeChoisie(vue_) >= 0) {
            action_();
        }
    });
    connect(vue, &QAbstractItemView::clicked, this, [this] {
        if (muet_) {
            return;
        }
        if (changeeDepuisPression_) {
            changeeDepuisPression_ = false;
            return;
        }
        if (RangeeChoisie(vue_) >= 0) {
            action_();
        }
    });
}

int ChoixListe::RangeeChoisie(const QAbstractItemView* vue) {
    const QItemSelectionModel* selection = vue->selectionModel();
    if (selection == nullptr) {
        return -1;
    }
    const QModelIndex courant = selection->currentIndex();
    if (courant.isValid() && selection->isSelected(courant)) {
        return courant.row();
    }
    const QModelIndexList choisis = selection->selectedIndexes();
    return choisis.isEmpty() ? -1 : choisis.constFirst().row();
}

bool ChoixListe::eventFilter(QObject* objet, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        changeeDepuisPression_ = false;
    }
    return QObject::eventFilter(objet, event);
}

} // namespace sillage
