// A table: an ordered list of text lines. Its bytes are those of its file: every line followed by
// CR LF, held in one buffer, with the end of each line.
#pragma once

#include "store/fins.h"
#include "store/tampon.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace sillage {

class Table {
  public:
    // Number of lines.
    std::size_t Count() const { return fins_.size(); }
    bool Vide() const { return fins_.empty(); }
    // Line i, unchecked; the view stays valid until the table changes.
    std::string_view operator[](std::size_t i) const {
        const std::uint64_t debut = Debut(i);
        return {Texte() + debut, static_cast<std::size_t>(fins_[i] - debut)};
    }
    // Line i; an index outside 0..Count-1 raises "Indice de liste hors limites (i)".
    std::string_view Ligne(std::int64_t i) const;
    // The last line; an empty table raises the index error with -1.
    std::string_view Derniere() const;
    // Appends a line at the end.
    void Ajoute(std::string_view ligne);
    // Appends lines [debut, fin) of source, in one copy of their bytes.
    void AjouteLignes(const Table& source, std::size_t debut, std::size_t fin);
    // Replaces line i (the last line in constant time, any other by rebuilding the buffer).
    void Remplace(std::size_t i, std::string_view ligne);
    // Removes every line.
    void Efface();
    // Keeps the first n lines.
    void Tronque(std::size_t n);
    // Replaces the whole content by the lines of a file's bytes: CR LF, a lone CR or a lone LF
    // each end a line, a final line break makes no empty last line, and a NUL byte ends the text.
    void ChargeOctets(std::string_view octets);
    // The same from a file, read straight into the table; raises "Impossible d'ouvrir le fichier
    // %s" when chemin is not a regular file that can be read.
    void ChargeFichier(const std::string& chemin);
    // The same from fd, the regular file chemin opened for reading, which st describes; fd is
    // closed. Answers the CRC-32 of the bytes read. Raises a message naming the file when it
    // changed while it was read (another program writing it): the table then holds no mix of
    // two versions.
    std::uint32_t ChargeDescripteur(int fd, const std::string& chemin, const struct stat& st);
    // Reorders the lines: line k of the result is the former line ordre[k] (a permutation).
    void Permute(const std::vector<std::uint32_t>& ordre);
    // Rows rewritten where they stand and rows added at the end, made without building the
    // table anew: a large table of which an import changes few rows costs what those rows cost,
    // not a copy of the table. A retouche is a row and its new text (outside this table); a list
    // of them is in increasing row order, each row once.
    struct Retouche {
        std::size_t ligne;
        std::string_view texte;
    };
    // True when the retouches can be made in place: no rewritten row leaves the rows after it
    // nearer the start than they are (a row that grows or keeps its length never does). Then
    // makes room for them and for the rows of ajouts, so that AppliqueRetouches cannot fail; the
    // lines and the version stay, but the bytes may move (views into the table no longer hold).
    bool PrepareRetouches(const std::vector<Retouche>& retouches, const Table& ajouts);
    // Rewrites the rows, then appends the rows of ajouts; only after PrepareRetouches answered
    // true for the same arguments, the table unchanged since.
    void AppliqueRetouches(const std::vector<Retouche>& retouches, const Table& ajouts) noexcept;
    // A table rebuilt in its own memory from runs of its rows, kept in their order, and rows of
    // other text placed anywhere among them: a ranked table of which an import moves a few rows
    // costs moving its bytes, not a second table. A morceau is rows [debut, fin) of this table
    // when fin > debut, else one row of texte (outside this table); the runs of a list of them
    // are in increasing row order and do not overlap.
    struct Morceau {
        std::size_t debut;
        std::size_t fin;
        std::string_view texte;
    };
    // True when no run would land nearer the start than it stands, in bytes or in rows (rows
    // that grow or keep their length, rows added, never do). Then makes room for the result, so
    // that AppliqueRecomposition cannot fail; the lines and the version stay, but the bytes may
    // move (views into the table no longer hold).
    bool PrepareRecomposition(const std::vector<Morceau>& morceaux);
    // Makes the table the rows of morceaux; only after PrepareRecomposition answered true for
    // the same list, the table unchanged since.
    void AppliqueRecomposition(const std::vector<Morceau>& morceaux) noexcept;
    // Total bytes of text, line ends excluded.
    std::size_t Octets() const { return Fin() - 2 * fins_.size(); }
    void Reserve(std::size_t lignes, std::size_t octets);
    // Gives back the memory reserved beyond the lines held.
    void Compacte();

    // The table's file as it is written: every line followed by CR LF.
    std::string_view Fichier() const { return {Texte(), static_cast<std::size_t>(Fin())}; }
    // A number that changes with every change of the lines: two equal versions are one content
    // (a copy or a move keeps it).
    std::uint64_t Version() const { return version_; }
    // True when the table holds the file at chemin unchanged: the file it was read from is still
    // there (same file, same size and times) and the table has not changed since.
    bool CopieDe(const std::string& chemin) const;

    bool operator==(const Table& autre) const {
        return fins_ == autre.fins_ && Fichier() == autre.Fichier();
    }

  private:
    const char* Texte() const { return texte_.data(); }
    std::uint64_t Debut(std::size_t i) const { return i == 0 ? 0 : fins_[i - 1] + 2; }
    // End of the bytes held: after the last line's CR LF.
    std::uint64_t Fin() const { return fins_.empty() ? 0 : fins_.back() + 2; }
    // Cuts the bytes of a file (any line ends, a NUL ending the text) into texte_ and fins_.
    void Decoupe(const char* octets, std::size_t taille);
    // fins_ for bytes whose every line ends with CR LF, holding no NUL; false when they are not
    // such bytes.
    bool DecoupeCanonique(const char* octets, std::size_t taille);

    Tampon texte_;
    // Called by every change: the table no longer holds its file, and takes a new version.
    void Change();

    std::optional<struct stat> origine_; // the file the table holds unchanged, when it does
    std::uint64_t version_ = 0;
    Fins fins_; // end of each line's text (before its CR LF)
};

} // namespace sillage
