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

ModeleCellules::ModeleCellules(std::vector<TitreColonne> colonnes, QObject* parent)
    : QAbstractTableModel(parent), colonnes_(std::move(colonnes)) {}

int ModeleCellules::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : NombreRangees();
}

int ModeleCellules::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(colonnes_.size());
}

QVariant ModeleCellules::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        const QString texte = Affiche(Cellule(index.row(), index.column()));
        return role == Qt::ToolTipRole ? Infobulle(texte) : texte;
    }
    if (role == Qt::TextAlignmentRole) {
        return Alignement(colonnes_[static_cast<std::size_t>(index.column())].adroite);
    }
    return {};
}

QVariant ModeleCellules::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return {};
    }
    const TitreColonne& colonne = colonnes_[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) {
        return colonne.titre;
    }
    if (role == Qt::TextAlignmentRole) {
        return Alignement(colonne.adroite);
    }
    return {};
}

namespace {

std::vector<TitreColonne> Titres(const std::vector<ColonneListe>& colonnes) {
    std::vector<TitreColonne> titres;
    for (const ColonneListe& c : colonnes) {
        titres.push_back(
            {QString::fromUtf8(c.titre.data(), static_cast<qsizetype>(c.titre.size())), c.adroite});
    }
    return titres;
}

std::vector<TitreColonne> Titres(ListeVisiteurs liste) {
    return Titres(ColonnesVisiteurs(liste));
}

std::vector<TitreColonne> Titres(const std::array<QString, 3>& titres,
                                 const std::array<bool, 3>& adroite) {
    std::vector<TitreColonne> t;
    for (std::size_t i = 0; i < titres.size(); ++i) {
        t.push_back({titres[i], adroite[i]});
    }
    return t;
}

} // namespace

ModeleListe::ModeleListe(std::vector<ColonneListe> colonnes, QObject* parent)
    : ModeleCellules(Titres(colonnes), parent), colonnes_(std::move(colonnes)) {}

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

int ModeleListe::NombreRangees() const {
    return static_cast<int>(lignes_.size());
}

std::string_view ModeleListe::Cellule(int rangee, int colonne) const {
    // Rows are shown only after a fill, which gives the table.
    return TexteCellule(*table_, lignes_[static_cast<std::size_t>(rangee)],
                        colonnes_[static_cast<std::size_t>(colonne)]);
}

ModeleTextes::ModeleTextes(std::array<QString, 3> titres, std::array<bool, 3> adroite,
                           QObject* parent)
    : ModeleCellules(Titres(titres, adroite), parent) {}

void ModeleTextes::Remplit(std::vector<Rangee> rangees) {
    beginResetModel();
    rangees_ = std::move(rangees);
    endResetModel();
}

void ModeleTextes::Vide() {
    Remplit({});
}

std::string ModeleTextes::Texte(int rangee, int colonne) const {
    if (rangee < 0 || rangee >= NombreRangees() || colonne < 0 || colonne >= 3) {
        return {};
    }
    return std::string(Cellule(rangee, colonne));
}

int ModeleTextes::NombreRangees() const {
    return static_cast<int>(rangees_.size());
}

std::string_view ModeleTextes::Cellule(int rangee, int colonne) const {
    return rangees_[static_cast<std::size_t>(rangee)][static_cast<std::size_t>(colonne)];
}

ModeleVisiteurs::ModeleVisiteurs(ListeVisiteurs liste, QObject* parent)
    : ModeleCellules(Titres(liste), parent) {}

void ModeleVisiteurs::Remplit(const std::vector<LigneVisiteurs>& lignes,
                              std::vector<std::uint32_t> rangs) {
    beginResetModel();
    lignes_ = &lignes;
    rangs_ = std::move(rangs);
    endResetModel();
}

void ModeleVisiteurs::Vide() {
    beginResetModel();
    lignes_ = nullptr;
    rangs_.clear();
    endResetModel();
}

std::string ModeleVisiteurs::Texte(int rangee, int colonne) const {
    if (rangee < 0 || rangee >= NombreRangees() || colonne < 0 || colonne >= columnCount()) {
        return {};
    }
    return std::string(Cellule(rangee, colonne));
}

int ModeleVisiteurs::NombreRangees() const {
    return static_cast<int>(rangs_.size());
}

std::string_view ModeleVisiteurs::Cellule(int rangee, int colonne) const {
    // (Every text of the views is valid UTF-8, which Affiche shows as such.)
    const std::vector<std::string>& cellules =
        (*lignes_)[rangs_[static_cast<std::size_t>(rangee)]].Cellules;
    const auto c = static_cast<std::size_t>(colonne);
    return c < cellules.size() ? std::string_view(cellules[c]) : std::string_view();
}

} // namespace sillage
