// Where the import takes its lines from: a log file read in pieces, or the lines of a table.
#pragma once

#include "store/table.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace sillage {

class SourceLignes {
  public:
    virtual ~SourceLignes() = default;
    // The next line, split as table files are (CR LF, CR or LF; a NUL byte ends the text);
    // false after the last one. The view stays valid until the next call.
    virtual bool Suivante(std::string_view& ligne) = 0;
    // The number of lines, or -1 when it is not known in advance.
    virtual std::int64_t Total() const = 0;
    // The part of the input read so far, from 0 to 1, for progress when Total is not known.
    virtual double Fraction() const { return 0.0; }
};

// The lines of a table.
class SourceTable : public SourceLignes {
  public:
    explicit SourceTable(const Table& table) : table_(table) {}
    bool Suivante(std::string_view& ligne) override;
    std::int64_t Total() const override { return static_cast<std::int64_t>(table_.Count()); }

  private:
    const Table& table_;
    std::size_t suivante_ = 0;
};

// Splits a stream of bytes into lines, piece by piece, with the rules of the table files.
// Lire fills a buffer and answers the number of bytes read (0 at the end).
class DecoupeurLignes {
  public:
    // The next line, or false at the end; lire is called for more bytes when needed.
    template <class Lire> bool Suivante(std::string_view& ligne, Lire&& lire);
    void Recommence();

  private:
    std::string tampon_;
    std::size_t debut_ = 0; // first byte not yet given out
    std::size_t fin_ = 0;   // end of the bytes read
    bool fini_ = false;     // no more bytes to read (end of input or a NUL seen)
};

// Opens a log file: plain text, or gzip-compressed when it starts with the gzip magic bytes.
// Raises "Impossible d'ouvrir le fichier %s" when the file cannot be opened as a regular file.
std::unique_ptr<SourceLignes> OuvreSourceFichier(const std::string& chemin);

} // namespace sillage
