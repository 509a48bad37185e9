// Where the import takes its lines from: a log file read in pieces, or the lines of a table.
#pragma once

#include "import/lecture/decoupeur_lignes.h"
#include "store/table.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace sillage {

struct LignePreparee;

class SourceLignes {
  public:
    virtual ~SourceLignes() = default;
    // The next line without its line end (CR LF, CR or LF); false after the last one. The view
    // stays valid until the next call.
    virtual bool Suivante(std::string_view& ligne) = 0;
    // The number of lines still to come when the first is asked for, or -1 when it is not known
    // in advance.
    virtual std::int64_t Total() const = 0;
    // The part of the input read so far, from 0 to 1, for progress when Total is not known.
    virtual double Fraction() const { return 0.0; }
    // Called when the import stopped on a line: reads the rest, so that a damaged input is
    // reported as such (its own error is raised) rather than by what its damage produced.
    virtual void VerifieReste() {}
    // True when VerifieReste reads the rest (a compressed input, whose damage shows late).
    virtual bool LitPourVerifier() const { return false; }

    // The last line given, without its line end.
    std::string_view Derniere() const { return derniere_; }
    // The last line given, with its line end (as Derniere for a last line that has none).
    virtual std::string_view AvecFin() const = 0;
    // The last line given ended with a line end.
    bool DerniereTerminee() const { return AvecFin().size() > derniere_.size(); }
    // The last line given holds a NUL byte.
    virtual bool DerniereAvecNul() const { return false; }
    // The offset just after the last line given (after its line end) in the text the lines come
    // from.
    virtual std::int64_t Position() const = 0;
    // The last line given, cut into its fields ahead (LignePreparee), or nullptr when the reader
    // is to cut it.
    virtual const LignePreparee* Preparee() const { return nullptr; }

  protected:
    std::string_view derniere_;
};

// The lines of a table (the log held in ListeLog), in the text of the table's file: every line
// ended by CR LF.
class SourceTable : public SourceLignes {
  public:
    explicit SourceTable(const Table& table) : table_(table) {}
    bool Suivante(std::string_view& ligne) override;
    std::int64_t Total() const override { return static_cast<std::int64_t>(table_.Count()); }
    std::string_view AvecFin() const override;
    std::int64_t Position() const override;

  private:
    const Table& table_;
    std::size_t suivante_ = 0;
};

// A log file, plain or gzip-compressed, as lines with their place in the text (a compressed
// log taken decompressed).
class SourceJournal : public SourceLignes {
  public:
    // Goes to offset p of the text: the source is then as if opened there, the next line given
    // starting at p (Total counting what follows p, read errors numbering lines from there);
    // false when the text is shorter than p. A plain file moves there at once; a compressed one
    // goes forward by inflating the stream, and back only by inflating it again from its
    // beginning (a deflate stream cannot be read backwards), so going back costs a second read.
    virtual bool PositionneA(std::int64_t p) = 0;
    // Up to kOctetsQueue bytes of the text just before Position(), and just before the last line
    // given.
    virtual std::string_view Queue() const = 0;
    virtual std::string_view QueueAvantDerniere() const = 0;
};

// Opens a log file: plain text, or gzip-compressed when it starts with the gzip magic bytes.
// Raises "Impossible d'ouvrir le fichier %s" when the file cannot be opened as a regular file.
std::unique_ptr<SourceJournal> OuvreSourceFichier(const std::string& chemin);

} // namespace sillage
