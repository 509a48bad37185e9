// The selection of a list whose rows are chosen by their first cell only (LVRetours): whatever
// cell a click, a key or the program selects, the first cell of its row is selected instead,
// and the current cell stays in the first column. Several rows can be chosen (Ctrl and Shift
// with a click), each by its first cell.
#pragma once

#include <QItemSelectionModel>

namespace sillage {

class SelectionPremiereCellule : public QItemSelectionModel {
    Q_OBJECT
  public:
    SelectionPremiereCellule(QAbstractItemModel* modele, QObject* parent);

    using QItemSelectionModel::select;
    void select(const QItemSelection& selection,
                QItemSelectionModel::SelectionFlags commande) override;
    void setCurrentIndex(const QModelIndex& index,
                         QItemSelectionModel::SelectionFlags commande) override;
};

} // namespace sillage
