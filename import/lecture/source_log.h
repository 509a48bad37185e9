// Where the import takes its lines from: a log file read in pieces, or the lines of a table.
#pragma once

#include "import/lecture/decoupeur_lignes.h"
#include "store/erreur.h"
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
    // The last line given is longer than the limit of the reading (kLongueurMaxLigne): it was
    // given cut short, its first and last bytes only (DecoupeurLignes), and cannot be counted.
    virtual bool DerniereTropLongue() const { return false; }
    // The offset just after the last line given (after its line end) in the text the lines come
    // from.
    virtual std::int64_t Position() const = 0;
    // The offset where the last line given begins (Position less the bytes the line and its line
    // end take, which AvecFin holds all of unless the line was cut short).
    virtual std::int64_t DebutDerniere() const {
        return Position() - static_cast<std::int64_t>(AvecFin().size());
    }
    // The last line given, cut into its fields ahead (LignePreparee), or nullptr when the reader
    // is to cut it.
    virtual const LignePreparee* Preparee() const { return nullptr; }

  protected:
    std::string_view derniere_;
};

// The lines of a table (the log held in ListeLog), in the text of the table's file: every line
// ended by CR LF. They are held already: none is cut short, whatever its length.
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
    // True once the text ended where a compressed file is cut short (OptionsSource::
    // CoupureToleree). Asked after the last line was given.
    virtual bool Coupe() { return false; }
};

// The error of a compressed log whose stream is cut short ("Le fichier compressé %s est coupé
// avant sa fin (ligne N)...") or damaged ("Le fichier compressé %s est abîmé (ligne N)..."), N
// the line being read where it shows.
class ErreurCompression : public ErreurSillage {
  public:
    using ErreurSillage::ErreurSillage;
};

// How a log file is read.
struct OptionsSource {
    // Lines longer than this, without their line end, are given cut short (DerniereTropLongue).
    std::size_t LongueurMaxLigne = kLongueurMaxLigne;
    // A compressed log cut short (its file ends inside the compressed stream, as a copy or a
    // compression still being written leaves it) ends where it is cut, its last line without a
    // line end, and says so (Coupe), rather than raising ErreurCompression.
    bool CoupureToleree = false;
};

// Opens a log file: plain text, or gzip-compressed when it starts with the gzip magic bytes.
// Raises "Impossible d'ouvrir le fichier %s" with the reason when the file cannot be opened as a
// regular file.
std::unique_ptr<SourceJournal> OuvreSourceFichier(const std::string& chemin,
                                                  const OptionsSource& options = {});

} // namespace sillage
