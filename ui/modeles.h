// The models behind the window's lists. Rows are formatted only when a view asks for them, so a
// list of a million rows costs one vector of line numbers.
#pragma once

#include "store/table.h"
#include "vues/vue_listes.h"
#include "vues/vue_visiteurs.h"

#include <QAbstractTableModel>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sillage {

// A column of a list: its title and whether its cells are right-aligned.
struct TitreColonne {
    QString titre;
    bool adroite = false;
};

// Rows of cells under titled columns: what the lists of the window have in common. Each cell
// shows its text (a log's bytes shown as Affiche says, read only when a view asks for it), and
// its tooltip repeats it, since a name wider than its column is cut short.
class ModeleCellules : public QAbstractTableModel {
    Q_OBJECT
  public:
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  protected:
    ModeleCellules(std::vector<TitreColonne> colonnes, QObject* parent);

  private:
    // How many rows there are, and the text of a cell of them (the column is one of the
    // columns); the text stays valid until the rows change.
    virtual int NombreRangees() const = 0;
    virtual std::string_view Cellule(int rangee, int colonne) const = 0;

    std::vector<TitreColonne> colonnes_;
};

// Rows of a table: each row remembers the table line it shows and each column shows one field
// of that line. The model keeps a pointer to the table: refill it whenever the table changes.
class ModeleListe : public ModeleCellules {
    Q_OBJECT
  public:
    explicit ModeleListe(std::vector<ColonneListe> colonnes, QObject* parent = nullptr);

    // Shows the given lines of table, in that order.
    void Remplit(const Table& table, std::vector<std::uint32_t> lignes);
    // Shows no row.
    void Vide();
    // The table line shown on row rangee, or -1 when there is no such row.
    int LigneTable(int rangee) const;
    // The table shown (none before the first fill, and after Vide) and the lines shown, in order.
    const Table* TableMontree() const { return table_; }
    const std::vector<std::uint32_t>& Lignes() const { return lignes_; }

  private:
    int NombreRangees() const override;
    // Empty for a line the table no longer has, until the next fill.
    std::string_view Cellule(int rangee, int colonne) const override;

    std::vector<ColonneListe> colonnes_;
    const Table* table_ = nullptr;
    std::vector<std::uint32_t> lignes_;
};

// Rows of three texts (bytes shown as Affiche says), for the result lists computed whole.
class ModeleTextes : public ModeleCellules {
    Q_OBJECT
  public:
    using Rangee = std::array<std::string, 3>;

    // titres in UTF-8; adroite tells which columns are right-aligned.
    ModeleTextes(std::array<QString, 3> titres, std::array<bool, 3> adroite = {},
                 QObject* parent = nullptr);

    void Remplit(std::vector<Rangee> rangees);
    void Vide();
    const std::vector<Rangee>& Rangees() const { return rangees_; }
    // The text of a cell (bytes shown as Affiche says), empty outside the rows.
    std::string Texte(int rangee, int colonne) const;

  private:
    int NombreRangees() const override;
    std::string_view Cellule(int rangee, int colonne) const override;

    std::vector<Rangee> rangees_;
};

// The rows of a list of the "Visiteurs" tab (vue_visiteurs.h), their cells UTF-8 already. The
// model keeps a pointer to the rows: refill it whenever they change.
class ModeleVisiteurs : public ModeleCellules {
    Q_OBJECT
  public:
    explicit ModeleVisiteurs(ListeVisiteurs liste, QObject* parent = nullptr);

    // Shows rows rangs of lignes, in that order.
    void Remplit(const std::vector<LigneVisiteurs>& lignes, std::vector<std::uint32_t> rangs);
    // Shows no row.
    void Vide();
    // The text of a cell, empty outside the rows.
    std::string Texte(int rangee, int colonne) const;
    // The rows shown, as Remplit was given them.
    const std::vector<std::uint32_t>& Rangs() const { return rangs_; }

  private:
    int NombreRangees() const override;
    std::string_view Cellule(int rangee, int colonne) const override;

    const std::vector<LigneVisiteurs>* lignes_ = nullptr;
    std::vector<std::uint32_t> rangs_;
};

} // namespace sillage
