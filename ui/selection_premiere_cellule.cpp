#include "ui/selection_premiere_cellule.h"

namespace sillage {

SelectionPremiereCellule::SelectionPremiereCellule(QAbstractItemModel* modele, QObject* parent)
    : QItemSelectionModel(modele, parent) {}

void SelectionPremiereCellule::select(const QItemSelection& selection,
                                      QItemSelectionModel::SelectionFlags commande) {
    QItemSelection premieres;
    for (const QItemSelectionRange& plage : selection) {
        const QModelIndex haut = plage.topLeft();
        const QModelIndex bas = plage.bottomRight();
        premieres.select(haut.siblingAtColumn(0), bas.siblingAtColumn(0));
    }
    // Whole rows or columns would bring the other cells back.
    commande &= ~(QItemSelectionModel::Rows | QItemSelectionModel::Columns);
    QItemSelectionModel::select(premieres, commande);
}

void SelectionPremiereCellule::setCurrentIndex(const QModelIndex& index,
                                               QItemSelectionModel::SelectionFlags commande) {
    QItemSelectionModel::setCurrentIndex(index.isValid() ? index.siblingAtColumn(0) : index,
                                         commande);
}

} // namespace sillage
