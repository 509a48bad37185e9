// Cutting a stream of bytes into lines, piece by piece, each line with its place in the stream and
// the bytes just before it at hand.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace sillage {

// How many bytes before a line the readers keep at hand (Queue): the fingerprint of a log's end
// in the register covers as many.
inline constexpr std::size_t kOctetsQueue = 4096;

// The longest line of a log that is read, in bytes without its line end: 1 MiB, some two
// hundred times the longest line of the real logs we know. A longer line is unreadable (the
// import stops on it, or passes it over on request) and is never held whole.
inline constexpr std::size_t kLongueurMaxLigne = std::size_t{1} << 20;

// Splits a stream of bytes into lines, piece by piece: CR LF, a lone CR or a lone LF ends a
// line; a final line break makes no empty last line. A NUL byte is kept in its line, which is
// told (DerniereAvecNul). Lire(p, n) fills up to n bytes at p and answers how many (0 at the
// end). Offsets count the bytes of the stream from 0.
//
// A line longer than longueurMax is given cut short (DerniereTropLongue): as its first
// kOctetsQueue bytes followed by its last kOctetsQueue bytes, the bytes between them passed over
// as they are read, so that whatever the stream holds (a hole of zeros, an endless line) the
// cutter holds a few megabytes at the most. Offsets, Queue and QueueAvantDerniere stay those of
// the stream.
class DecoupeurLignes {
  public:
    explicit DecoupeurLignes(std::size_t longueurMax = kLongueurMaxLigne) : max_(longueurMax) {}

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
    // The last line given, with its line end (cut short as the line is).
    std::string_view AvecFin() const {
        return {tampon_.data() + debutLigne_, debut_ - debutLigne_};
    }
    // How many bytes of the stream the last line given and its line end take.
    std::int64_t LongueurAvecFin() const {
        return static_cast<std::int64_t>(debut_ - debutLigne_) + saute_;
    }
    bool DerniereAvecNul() const { return nulLigne_; }
    // The last line given is longer than longueurMax, and was given cut short.
    bool DerniereTropLongue() const { return tropLongue_; }
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
    // The line being cut starts at debut_ and holds no line end before jusque: keeps its first
    // and its last kOctetsQueue bytes before jusque (and what follows), passing over the bytes
    // between them.
    void Resserre(std::size_t jusque);
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
    std::size_t max_;
    std::int64_t saute_ = 0;        // bytes of the last line given that were passed over
    std::int64_t sauteEnCours_ = 0; // ... and of the line being cut
    bool tropLongue_ = false;
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
    std::size_t cherche = debut_; // the line being cut has no line end before
    for (;;) {
        const char* base = tampon_.data();
        const std::size_t reste = fin_ - cherche;
        const char* lf = reste == 0
                             ? nullptr
                             : static_cast<const char*>(std::memchr(base + cherche, '\n', reste));
        const std::size_t limite = lf ? static_cast<std::size_t>(lf - base) : fin_;
        const char* cr =
            limite == cherche
                ? nullptr
                : static_cast<const char*>(std::memchr(base + cherche, '\r', limite - cherche));
        const std::size_t fin = cr ? static_cast<std::size_t>(cr - base) : limite;
        const std::size_t longueur = fin - debut_;
        if (sauteEnCours_ + static_cast<std::int64_t>(longueur) > static_cast<std::int64_t>(max_) &&
            longueur > 2 * kOctetsQueue) {
            // Too long already: only its two ends are kept, then the search goes on.
            Resserre(fin);
            cherche = debut_ + 2 * kOctetsQueue;
            continue;
        }
        const bool termine = cr || lf;
        // A CR at the very end of what was read may be the first half of a CR LF.
        const bool complete = termine && !(cr && fin + 1 == fin_ && !fini_);
        if (complete || (fini_ && debut_ < fin_)) {
            debutLigne_ = debut_;
            ligne = std::string_view(base + debut_, longueur);
            debut_ = termine ? fin + 1 : fin_;
            if (cr && debut_ < fin_ && base[debut_] == '\n') {
                ++debut_;
            }
            nulLigne_ = nul_ != std::string::npos && nul_ < fin;
            saute_ = sauteEnCours_;
            sauteEnCours_ = 0;
            tropLongue_ =
                saute_ + static_cast<std::int64_t>(longueur) > static_cast<std::int64_t>(max_);
            AvanceNul();
            return true;
        }
        // Remplit may move the bytes held: the search goes on from the same place in the line.
        const std::size_t vus = fin - debut_;
        if (fini_ || (!Remplit(lire) && debut_ == fin_)) {
            return false;
        }
        cherche = debut_ + vus;
    }
}

template <class Lire> bool DecoupeurLignes::Saute(std::int64_t p, Lire&& lire) {
    while (Position() < p) {
        const auto manque = static_cast<std::size_t>(p - Position());
        const std::size_t disponible = fin_ - debut_;
        if (disponible > 0) {
            debut_ += std::min(manque, disponible);
            debutLigne_ = debut_;
            saute_ = sauteEnCours_ = 0;
            tropLongue_ = false;
            AvanceNul();
            continue;
        }
        if (!Remplit(lire)) {
            return false;
        }
    }
    return true;
}

} // namespace sillage
