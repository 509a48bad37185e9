// A table: an ordered list of text lines, held in one byte buffer with the end of each line.
#pragma once

#include "store/tampon.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sillage {

class Table {
  public:
    // Number of lines.
    std::size_t Count() const { return fins_.size(); }
    bool Vide() const { return fins_.empty(); }
    // Line i, unchecked; the view stays valid until the table changes.
    std::string_view operator[](std::size_t i) const {
        const std::uint64_t debut = i == 0 ? 0 : fins_[i - 1];
        return {texte_.data() + debut, static_cast<std::size_t>(fins_[i] - debut)};
    }
    // Line i; an index outside 0..Count-1 raises "Indice de liste hors limites (i)".
    std::string_view Ligne(std::int64_t i) const;
    // The last line; an empty table raises the index error with -1.
    std::string_view Derniere() const;
    // Appends a line at the end.
    void Ajoute(std::string_view ligne);
    // Replaces line i (the last line in constant time, any other by rebuilding the buffer).
    void Remplace(std::size_t i, std::string_view ligne);
    // Removes every line.
    void Efface();
    // Keeps the first n lines.
    void Tronque(std::size_t n);
    // Replaces the whole content by the lines of a file's bytes: CR LF, a lone CR or a lone LF
    // each end a line, a final line break makes no empty last line, and a NUL byte ends the text.
    void ChargeOctets(std::string octets);
    // The same from a file, read straight into the table; raises "Impossible d'ouvrir le
    // fichier %s" when chemin is not a regular file that can be read.
    void ChargeFichier(const std::string& chemin);
    // Reorders the lines: line k of the result is the former line ordre[k] (a permutation).
    void Permute(const std::vector<std::uint32_t>& ordre);
    // Total bytes of text, line ends excluded.
    std::size_t Octets() const { return texte_.size(); }
    void Reserve(std::size_t lignes, std::size_t octets);
    // Gives back the memory reserved beyond the lines held.
    void Compacte();

    bool operator==(const Table& autre) const {
        return fins_ == autre.fins_ && texte_ == autre.texte_;
    }

  private:
    // Splits texte_ (the bytes of a file) into lines in place.
    void Decoupe();

    Tampon texte_;
    std::vector<std::uint64_t> fins_;
};

} // namespace sillage
