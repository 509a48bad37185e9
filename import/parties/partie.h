// What the parts of an import share: the counter row a keyed table starts from, the table a part
// prepares beside the stored one, the records of the stored rows it touched, and the copy of a
// table with those rows written anew.
#pragma once

#include "store/enregistrements.h"
#include "store/table.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sillage {

// The counter row of a keyed table when the import began: the first new row is made from its
// text, and it numbers the rows added.
class CompteurInitial {
  public:
    explicit CompteurInitial(const Table& table);

    bool Present() const { return present_; }
    std::string_view Texte() const { return texte_; }
    // The identifier of a new row after `ajoutees` others: the counter row's number plus
    // ajoutees. Raises the index error (-1) when the table had no row at all, the conversion
    // error of the counter row's number, or that of a number beyond the range (the counter row
    // would not read back).
    std::int32_t Ident(std::size_t ajoutees) const;
    // Appends the counter row that ends the table: the one found when no row was added, else
    // the one after the last row added, whose identifier was `dernier`.
    void AjouteFin(Table& table, std::size_t ajoutees, std::int64_t dernier) const;
    // The text of that counter row in ligne; false when there is none (no row at all).
    bool LigneFin(std::size_t ajoutees, std::int64_t dernier, std::string& ligne) const;

  private:
    std::string texte_;
    bool present_;
};

// A table built beside the stored one while the import is validated, then moved in its place.
struct TablePreparee {
    Table table;
    bool prete = false; // table holds the whole result
    void MetEnPlace(Table& cible) noexcept {
        if (prete) {
            cible = std::move(table);
        }
    }
};

// Positions of stored rows that an import touched -> their records: an open-addressing map of
// 8 bytes a slot, no memory of its own per entry.
class Touchees {
  public:
    // The record of the row at position, or -1.
    std::int64_t Cherche(std::uint32_t position) const {
        if (cases_.empty()) {
            return -1;
        }
        for (std::size_t i = Place(position);; i = (i + 1) & masque_) {
            const std::uint64_t c = cases_[i];
            if (c == 0) {
                return -1;
            }
            if ((c >> 32) == std::uint64_t{position} + 1) {
                return static_cast<std::uint32_t>(c);
            }
        }
    }
    // Records the row at position, which is not yet in the map, as record rang.
    void Insere(std::uint32_t position, std::uint32_t rang);
    std::size_t size() const { return taille_; }
    bool empty() const { return taille_ == 0; }
    // The rows in position order: (position, record).
    std::vector<std::pair<std::uint32_t, std::uint32_t>> ParPosition() const;
    // Calls f(position, record) for each row, in no particular order.
    template <class F> void PourChaque(F&& f) const {
        for (const std::uint64_t c : cases_) {
            if (c != 0) {
                f(static_cast<std::uint32_t>((c >> 32) - 1), static_cast<std::uint32_t>(c));
            }
        }
    }

  private:
    std::size_t Place(std::uint32_t position) const {
        return static_cast<std::size_t>((position * 0x9E3779B97F4A7C15ull) >> decalage_);
    }
    void Agrandit();

    std::vector<std::uint64_t> cases_; // (position + 1) << 32 | record; 0 is an empty slot
    std::size_t masque_ = 0;
    unsigned decalage_ = 64;
    std::size_t taille_ = 0;
};

// The records of an import's rows by the records of another import that counts the same lines
// (the store's, for a period's import): its look-ups of names the other import met before.
class ParRacine {
  public:
    // The record noted for racine, or -1 (none noted, or racine -1).
    std::int64_t Cherche(std::int32_t racine) const {
        const auto i = static_cast<std::size_t>(racine);
        return racine < 0 || i >= rangs_.size() ? -1 : static_cast<std::int64_t>(rangs_[i]) - 1;
    }
    // Notes rang as the record of racine (nothing for racine -1).
    void Note(std::int32_t racine, std::uint32_t rang) {
        if (racine < 0) {
            return;
        }
        const auto i = static_cast<std::size_t>(racine);
        if (i >= rangs_.size()) {
            rangs_.resize(i + 1);
        }
        rangs_[i] = rang + 1;
    }

  private:
    std::vector<std::uint32_t> rangs_; // 1 + record, 0 when not noted
};

// The record of stored row `position` of table: the one made before, or the one that
// lit(LecteurChamps&) reads from the row now, added to recs. Answers its index in recs.
template <class Rec, class Lit>
std::uint32_t RangStocke(const Table& table, std::uint32_t position, Touchees& touchees,
                         std::vector<Rec>& recs, Lit lit) {
    if (const std::int64_t connu = touchees.Cherche(position); connu >= 0) {
        return static_cast<std::uint32_t>(connu);
    }
    LecteurChamps l(table[position]);
    const auto rang = static_cast<std::uint32_t>(recs.size());
    recs.push_back(lit(l));
    touchees.Insere(position, rang);
    return rang;
}

// The touched rows in position order: (position, record).
inline std::vector<std::pair<std::uint32_t, std::uint32_t>> ParPosition(const Touchees& touchees) {
    return touchees.ParPosition();
}

// Appends rows of a stored table to another, one by one as the caller names them, but copies
// each run of rows that follow one another in the stored table at once: a table rebuilt with a
// few rows changed costs a few copies of large blocks, not one per row.
class CopieParSuites {
  public:
    CopieParSuites(const Table& source, Table& cible) : source_(source), cible_(cible) {}
    ~CopieParSuites() { Vide(); }
    CopieParSuites(const CopieParSuites&) = delete;
    CopieParSuites& operator=(const CopieParSuites&) = delete;

    // Appends stored row i (after the rows named before it).
    void Stockee(std::size_t i) {
        if (fin_ > debut_ && fin_ == i) {
            ++fin_;
            return;
        }
        Vide();
        debut_ = i;
        fin_ = i + 1;
    }
    // Appends stored rows [debut, fin).
    void Stockees(std::size_t debut, std::size_t fin) {
        if (fin_ > debut_ && fin_ == debut) {
            fin_ = fin;
            return;
        }
        Vide();
        debut_ = debut;
        fin_ = fin;
    }
    // Appends a row of other text.
    void Autre(std::string_view ligne) {
        Vide();
        cible_.Ajoute(ligne);
    }
    // Appends the rows named and not yet copied.
    void Vide() {
        if (fin_ > debut_) {
            cible_.AjouteLignes(source_, debut_, fin_);
        }
        debut_ = fin_ = 0;
    }

  private:
    const Table& source_;
    Table& cible_;
    std::size_t debut_ = 0;
    std::size_t fin_ = 0;
};

// Appends the first n0 rows of table to nouvelle, each touched one written anew by ecrit(record),
// which leaves the row's text in tampon.
template <class Ecrit>
void CopieStockees(const Table& table, std::size_t n0, const Touchees& touchees,
                   const std::string& tampon, Table& nouvelle, Ecrit ecrit) {
    CopieParSuites copie(table, nouvelle);
    std::size_t copiees = 0; // stored rows appended so far
    for (const auto& [position, rang] : ParPosition(touchees)) {
        if (position >= n0) {
            break;
        }
        copie.Stockees(copiees, position);
        ecrit(rang);
        copie.Autre(tampon);
        copiees = position + 1;
    }
    copie.Stockees(copiees, n0);
}

// Counts never wrap: a count at the top of the range stays there.
inline void Incremente(std::int32_t& v) {
    if (v < INT32_MAX) {
        ++v;
    }
}

} // namespace sillage
