// The model of the Infos tab's entry list (LBSearch): each entry is shown by the name it had when
// the list was made, which is also the item its search resolves to (by identifier), even after
// an import has re-sorted the table under it.
#pragma once

#include "vues/vue_infos.h"

#include <QAbstractListModel>

#include <vector>

namespace sillage {

class ModeleEntrees : public QAbstractListModel {
    Q_OBJECT
  public:
    // entrees is the list the model shows; it must outlive the model. Whoever changes it does so
    // between DebutChangement and FinChangement.
    explicit ModeleEntrees(const std::vector<EntreeInfos>& entrees, QObject* parent = nullptr);

    void DebutChangement() { beginResetModel(); }
    void FinChangement() { endResetModel(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  private:
    const std::vector<EntreeInfos>& entrees_;
};

} // namespace sillage
