#include "ui/modeles.h"

#include "ui/texte_qt.h"

namespace sillage {

namespace {

QVariant Alignement(bool adroite) {
    // An int, which every view and header of Qt 6 reads.
    return static_cast<int>(adroite ? Qt::AlignRight | Qt::AlignVCenter
                                    : Qt::AlignLeft | Qt::AlignVCenter);
}

} // namespace

ModeleListe::ModeleListe(std::vector<ColonneListe> colonnes, QObject* parent)
    : QAbstractTableModel(parent), colonnes_(std::move(colonnes)) {}

void ModeleListe::Remplit(const Table& table, std::vector<std::uint32_t> lignes) {
    beginResetModel();
    table_ = &table;
    lignes_ = std::move(lignes);
    endResetModel();
}

void ModeleListe::Vide() {
    beginResetModel();
    table_ = nullptr;
    lignes_.clear();
    endResetModel();
}

int ModeleListe::LigneTable(int rangee) const {
    if (rangee < 0 || static_cast<std::size_t>(rangee) >= lignes_.size()) {
        return -1;
    }
    return static_cast<int>(lignes_[static_cast<std::size_t>(rangee)]);
}

int ModeleListe::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lignes_.size());
}

int ModeleListe::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(colonnes_.size());
}

QVariant ModeleListe::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || table_ == nullptr || index.column() >= columnCount() ||
        index.row() >= rowCount()) {
        return {};
    }
    const ColonneListe& colonne = colonnes_[static_cast<std::size_t>(index.column())];
    // The tooltip repeats the cell: a name wider than its column is cut short.
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        // TexteCellule answers an empty text for a line the table no longer has.
        const QString texte = DepuisWindows1252(
            TexteCellule(*table_, lignes_[static_cast<std::size_t>(index.row())], colonne));
        return role == Qt::ToolTipRole ? Infobulle(texte) : texte;
    }
    if (role == Qt::TextAlignmentRole) {
        return Alignement(colonne.adroite);
    }
    return {};
}

QVariant ModeleListe::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return {};
    }
    const ColonneListe& colonne = colonnes_[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) {
        return QString::fromUtf8(colonne.titre.data(),
                                 static_cast<qsizetype>(colonne.titre.size()));
    }
    if (role == Qt::TextAlignmentRole) {
        return Alignement(colonne.adroite);
    }
    return {};
}

ModeleTextes::ModeleTextes(std::array<QString, 3> titres, std::array<bool, 3> adroite,
                           QObject* parent)
    : QAbstractTableModel(parent), titres_(std::move(titres)), adroite_(adroite) {}

void ModeleTextes::Remplit(std::vector<Rangee> rangees) {
    beginResetModel();
    rangees_ = std::move(rangees);
    endResetModel();
}

void ModeleTextes::Vide() {
    Remplit({});
}

std::string ModeleTextes::Texte(int rangee, int colonne) const {
    if (rangee < 0 || rangee >= rowCount() || colonne < 0 || colonne >= 3) {
        return {};
    }
    return rangees_[static_cast<std::size_t>(rangee)][static_cast<std::size_t>(colonne)];
}

int ModeleTextes::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rangees_.size());
}

int ModeleTextes::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3;
}

QVariant ModeleTextes::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= 3) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        const QString texte = DepuisWindows1252(Texte(index.row(), index.column()));
        return role == Qt::ToolTipRole ? Infobulle(texte) : texte;
    }
    if (role == Qt::TextAlignmentRole) {
        return Alignement(adroite_[static_cast<std::size_t>(index.column())]);
    }
    return {};
}

QVariant ModeleTextes::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= 3) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return titres_[static_cast<std::size_t>(section)];
    }
    if (role == Qt::TextAlignmentRole) {
        return Alignement(adroite_[static_cast<std::size_t>(section)]);
    }
    return {};
}

} // namespace sillage
