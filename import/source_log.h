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

// How many bytes before a line the readers keep at hand (Queue): the fingerprint of a log's end
// in the register covers as many.
inline constexpr std::size_t kOctetsQueue = 4096;

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

    // The last line given, with its line end ("" for a last line that has none).
    virtual std::string_view AvecFin() const = 0;
    // The last line given ended with a line end.
    bool DerniereTerminee() const { return AvecFin().size() > derniere_.size(); }
    // The last line given holds a NUL byte.
    virtual bool DerniereAvecNul() const { return false; }

  protected:
    std::string_view derniere_;
};

// The lines of a table.
class SourceTable : public SourceLignes {
  public:
    explicit SourceTable(const Table& table) : table_(table) {}
    bool Suivante(std::string_view& ligne) override;
    std::int64_t Total() const override { return static_cast<std::int64_t>(table_.Count()); }
    std::string_view AvecFin() const override { return derniere_; }

  private:
    const Table& table_;
    std::size_t suivante_ = 0;
};

// Splits a stream of bytes into lines, piece by piece: CR LF, a lone CR or a lone LF ends a
// line; a final line break makes no empty last line. A NUL byte is kept in its line, which is
// told (DerniereAvecNul). Lire(p, n) fills up to n bytes at p and answers how many (0 at the
// end). Offsets count the bytes of the stream from 0.
class DecoupeurLignes {
  public:
    // The next line, or false at the end.
    template <class Lire> bool Suivante(std::string_view& ligne, Lire&& lire);
    // Passes over the bytes up to offset p (when nothing was read yet, p bytes), keeping the
    // last kOctetsQueue of them at hand; false when the stream ends before p.
    template <class Lire> bool Saute(std::int64_t p, Lire&& lire);
    // Forgets everything read; the next bytes read are those at offset origine of the stream.
    void Recommence(std::int64_t origine = 0);

    // The offset just after the last line given (after its line end), or after what Saute
    // passed over.
    std::int64_t Position() const { return origine_ + static_cast<std::int64_t>(debut_); }
    // The last line given, with its line end.
    std::string_view AvecFin() const {
        return {tampon_.data() + debutLigne_, debut_ - debutLigne_};
    }
    bool DerniereAvecNul() const { return nulLigne_; }
    // The bytes read and not given out yet.
    std::string_view Reste() const { return {tampon_.data() + debut_, fin_ - debut_}; }
    // Up to kOctetsQueue bytes just before Position().
    std::string_view Queue() const { return QueueAvant(debut_); }
    // Up to kOctetsQueue bytes just before the last line given.
    std::string_view QueueAvantDerniere() const { return QueueAvant(debutLigne_); }

  private:
    std::string_view QueueAvant(std::size_t i) const {
        const std::size_t depuis = i - std::min(i, kOctetsQueue);
        return {tampon_.data() + depuis, i - depuis};
    }
    // Reads more bytes behind those held; false at the end of the stream.
    template <class Lire> bool Remplit(Lire&& lire);
    // After debut_ moved: finds the next NUL byte from there, if the one known was passed.
    void AvanceNul() {
        if (nul_ != std::string::npos && nul_ < debut_) {
            const void* suivant =
                debut_ < fin_ ? std::memchr(tampon_.data() + debut_, '\0', fin_ - debut_) : nullptr;
            nul_ =
                suivant
                    ? static_cast<std::size_t>(static_cast<const char*>(suivant) - tampon_.data())
                    : std::string::npos;
        }
    }

    std::string tampon_;
    std::int64_t origine_ = 0;            // offset of tampon_[0] in the stream
    std::size_t debut_ = 0;               // first byte not yet given out
    std::size_t fin_ = 0;                 // end of the bytes read
    std::size_t debutLigne_ = 0;          // the last line given starts here
    std::size_t nul_ = std::string::npos; // first NUL at or after debut_, if any was read
    bool nulLigne_ = false;
    bool fini_ = false; // no more bytes to read
};

template <class Lire> bool DecoupeurLignes::Remplit(Lire&& lire) {
    if (fini_) {
        return false;
    }
    // Pieces grow from 64 KiB to 1 MiB: small logs stay cheap, large ones are read in few calls.
    const std::size_t kMorceau = std::clamp<std::size_t>(tampon_.size(), 1 << 16, 1 << 20);
    // What is kept at the front: the bytes of the line being cut, and the queue before the
    // last line given.
    const std::size_t garde = debutLigne_ - std::min(debutLigne_, kOctetsQueue);
    if (garde > 0) {
        if (fin_ > garde) {
            std::memmove(tampon_.data(), tampon_.data() + garde, fin_ - garde);
        }
        origine_ += static_cast<std::int64_t>(garde);
        fin_ -= garde;
        debut_ -= garde;
        debutLigne_ -= garde;
        if (nul_ != std::string::npos) {
            nul_ -= garde;
        }
    }
    if (tampon_.size() < fin_ + kMorceau) {
        tampon_.resize(std::max(tampon_.size() * 2, fin_ + kMorceau));
    }
    const std::size_t lus = lire(tampon_.data() + fin_, tampon_.size() - fin_);
    if (lus == 0) {
        fini_ = true;
        return false;
    }
    if (nul_ == std::string::npos) {
        if (const void* nul = std::memchr(tampon_.data() + fin_, '\0', lus)) {
            nul_ = static_cast<std::size_t>(static_cast<const char*>(nul) - tampon_.data());
        }
    }
    fin_ += lus;
    return true;
}

template <class Lire> bool DecoupeurLignes::Suivante(std::string_view& ligne, Lire&& lire) {
    for (;;) {
        const char* base = tampon_.data();
        const std::size_t reste = fin_ - debut_;
        const char* lf = reste == 0
                             ? nullptr
                             : static_cast<const char*>(std::memchr(base + debut_, '\n', reste));
        const std::size_t limite = lf ? static_cast<std::size_t>(lf - base) : fin_;
        const char* cr =
            limite == debut_
                ? nullptr
                : static_cast<const char*>(std::memchr(base + debut_, '\r', limite - debut_));
        const std::size_t fin = cr ? static_cast<std::size_t>(cr - base) : limite;
        const bool termine = cr || lf;
        // A CR at the very end of what was read may be the first half of a CR LF.
        const bool complete = termine && !(cr && fin + 1 == fin_ && !fini_);
        if (complete || (fini_ && debut_ < fin_)) {
            debutLigne_ = debut_;
            ligne = std::string_view(base + debut_, fin - debut_);
            debut_ = termine ? fin + 1 : fin_;
            if (cr && debut_ < fin_ && base[debut_] == '\n') {
                ++debut_;
            }
            nulLigne_ = nul_ != std::string::npos && nul_ < fin;
            AvanceNul();
            return true;
        }
        if (fini_ || (!Remplit(lire) && debut_ == fin_)) {
            return false;
        }
    }
}

template <class Lire> bool DecoupeurLignes::Saute(std::int64_t p, Lire&& lire) {
    while (Position() < p) {
        const auto manque = static_cast<std::size_t>(p - Position());
        const std::size_t disponible = fin_ - debut_;
        if (disponible > 0) {
            debut_ += std::min(manque, disponible);
            debutLigne_ = debut_;
            AvanceNul();
            continue;
        }
        if (!Remplit(lire)) {
            return false;
        }
    }
    return true;
}

// A log file, plain or gzip-compressed, as lines with their place in the text (a compressed
// log taken decompressed).
class SourceJournal : public SourceLignes {
  public:
    // Before the first line is asked for: goes to offset p of the text, the lines given then
    // starting there; false when the text is shorter than p. Total then counts what follows p.
    virtual bool PositionneA(std::int64_t p) = 0;
    // The offset just after the last line given.
    virtual std::int64_t Position() const = 0;
    // Up to kOctetsQueue bytes of the text just before Position(), and just before the last line
    // given.
    virtual std::string_view Queue() const = 0;
    virtual std::string_view QueueAvantDerniere() const = 0;
};

// Opens a log file: plain text, or gzip-compressed when it starts with the gzip magic bytes.
// Raises "Impossible d'ouvrir le fichier %s" when the file cannot be opened as a regular file.
std::unique_ptr<SourceJournal> OuvreSourceFichier(const std::string& chemin);

} // namespace sillage
