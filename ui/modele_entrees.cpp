#include "ui/modele_entrees.h"

#include "ui/texte_qt.h"

namespace sillage {

ModeleEntrees::ModeleEntrees(const std::vector<EntreeInfos>& entrees, QObject* parent)
    : QAbstractListModel(parent), entrees_(entrees) {}

int ModeleEntrees::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(entrees_.size());
}

QVariant ModeleEntrees::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    return Affiche(entrees_[static_cast<std::size_t>(index.row())].Nom);
}

} // namespace sillage
