// The models behind the window's lists. Rows are formatted only when a view asks for them, so a
// list of a million rows costs one vector of line numbers.
#pragma once

#include "store/table.h"
#include "vues/vue_listes.h"

#include <QAbstractTableModel>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace sillage {

// Rows of a table: each row remembers the table line it shows and each column shows one field
// of that line. The model keeps a pointer to the table: refill it whenever the table changes.
class ModeleListe : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit ModeleListe(std::vector<ColonneListe> colonnes, QObject* parent = nullptr);

    // Shows the given lines of table, in that order.
    void Remplit(const Table& table, std::vector<std::uint32_t> lignes);
    // Shows no row.
    void Vide();
    // The table line shown on row rangee, or -1 when there is no such row.
    int LigneTable(int rangee) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    std::vector<ColonneListe> colonnes_;
    const Table* table_ = nullptr;
    std::vector<std::uint32_t> lignes_;
};

// Rows of three texts (Windows-1252 bytes), for the result lists that are computed whole.
class ModeleTextes : public QAbstractTableModel {
    Q_OBJECT
  public:
    using Rangee = std::array<std::string, 3>;

    // titres in UTF-8; adroite tells which columns are right-aligned.
    ModeleTextes(std::array<QString, 3> titres, std::array<bool, 3> adroite = {},
                 QObject* parent = nullptr);

    void Remplit(std::vector<Rangee> rangees);
    void Vide();
    const std::vector<Rangee>& Rangees() const { return rangees_; }
    // The text of a cell (Windows-1252 bytes), empty outside the rows.
    std::string Texte(int rangee, int colonne) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    std::array<QString, 3> titres_;
    std::array<bool, 3> adroite_;
    std::vector<Rangee> rangees_;
};

} // namespace sillage
