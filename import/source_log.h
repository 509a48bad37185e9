// Where the import takes its lines from: a log file read in pieces, or the lines of a table.
#pragma once

#include "store/table.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
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
    // Called when the import stopped on a line: reads the rest, so that a damaged input is
    // reported as such (its own error is raised) rather than by what its damage produced.
    virtual void VerifieReste() {}
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

template <class Lire> bool DecoupeurLignes::Suivante(std::string_view& ligne, Lire&& lire) {
    // Pieces grow from 64 KiB to 1 MiB: small logs stay cheap, large ones are read in few calls.
    const std::size_t kMorceau = std::clamp<std::size_t>(tampon_.size(), 1 << 16, 1 << 20);
    for (;;) {
        const char* base = tampon_.data();
        const char* lf = static_cast<const char*>(std::memchr(base + debut_, '\n', fin_ - debut_));
        const std::size_t limite = lf ? static_cast<std::size_t>(lf - base) : fin_;
        const char* cr =
            static_cast<const char*>(std::memchr(base + debut_, '\r', limite - debut_));
        std::size_t fin = cr ? static_cast<std::size_t>(cr - base) : limite;
        const bool termine = cr || lf;
        // A CR at the very end of what was read may be the first half of a CR LF.
        if (termine && !(cr && fin + 1 == fin_ && !fini_)) {
            ligne = std::string_view(base + debut_, fin - debut_);
            debut_ = fin + 1;
            if (cr && debut_ < fin_ && base[debut_] == '\n') {
                ++debut_;
            }
            return true;
        }
        if (fini_) {
            if (debut_ == fin_) {
                return false;
            }
            ligne = std::string_view(base + debut_, fin_ - debut_);
            debut_ = fin_;
            return true;
        }
        // Keep the unfinished line at the front of the buffer, then read more behind it.
        if (debut_ > 0) {
            std::memmove(tampon_.data(), tampon_.data() + debut_, fin_ - debut_);
            fin_ -= debut_;
            debut_ = 0;
        }
        if (tampon_.size() < fin_ + kMorceau) {
            tampon_.resize(std::max(tampon_.size() * 2, fin_ + kMorceau));
        }
        const std::size_t lus = lire(tampon_.data() + fin_, tampon_.size() - fin_);
        if (lus == 0) {
            fini_ = true;
            continue;
        }
        if (const void* nul = std::memchr(tampon_.data() + fin_, '\0', lus)) {
            fin_ = static_cast<std::size_t>(static_cast<const char*>(nul) - tampon_.data());
            fini_ = true;
            continue;
        }
        fin_ += lus;
    }
}

// Opens a log file: plain text, or gzip-compressed when it starts with the gzip magic bytes.
// Raises "Impossible d'ouvrir le fichier %s" when the file cannot be opened as a regular file.
std::unique_ptr<SourceLignes> OuvreSourceFichier(const std::string& chemin);

} // namespace sillage
