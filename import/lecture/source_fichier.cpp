#include "import/lecture/source_fichier.h"

#include "store/erreur.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace sillage {

SourceFichier::~SourceFichier() {
    ::close(fd_);
}

std::size_t SourceFichier::Lit(char* p, std::size_t n) {
    for (;;) {
        const ssize_t r = ::read(fd_, p, n);
        if (r >= 0) {
            return static_cast<std::size_t>(r);
        }
        if (errno != EINTR) {
            LeveErreurLecture(lues_ + 1);
        }
    }
}

bool SourceFichier::PositionneA(std::int64_t p) {
    lues_ = 0;
    premiere_ = false;
    total_ = -1;
    // The reading starts kOctetsQueue bytes early, so that Queue holds the bytes before p.
    const std::int64_t depart = p - std::min<std::int64_t>(p, kOctetsQueue);
    if (::lseek(fd_, depart, SEEK_SET) != depart) {
        LeveErreurLecture(1);
    }
    decoupeur_.Recommence(depart);
    return decoupeur_.Saute(p, [this](char* o, std::size_t n) { return Lit(o, n); });
}

bool SourceFichier::Suivante(std::string_view& ligne) {
    if (!premiere_) {
        premiere_ = true;
        debutPremiere_ = decoupeur_.Position();
    }
    if (!decoupeur_.Suivante(ligne, [this](char* o, std::size_t n) { return Lit(o, n); })) {
        return false;
    }
    derniere_ = ligne;
    ++lues_;
    return true;
}

std::int64_t SourceFichier::Total() const {
    const_cast<SourceFichier*>(this)->Compte();
    return total_;
}

void SourceFichier::Compte() {
    if (total_ >= 0) {
        return;
    }
    std::int64_t depuis = premiere_ ? debutPremiere_ : decoupeur_.Position();
    DecoupeurLignes compteur;
    compteur.Recommence(depuis);
    std::string_view ligne;
    std::int64_t n = 0;
    while (compteur.Suivante(ligne, [&](char* p, std::size_t max) -> std::size_t {
        for (;;) {
            const ssize_t r = ::pread(fd_, p, max, depuis);
            if (r >= 0) {
                depuis += r;
                return static_cast<std::size_t>(r);
            }
            if (errno != EINTR) {
                LeveErreurLecture(lues_ + 1);
            }
        }
    })) {
        ++n;
    }
    total_ = n;
}

SourceGzip::SourceGzip(int fd, std::int64_t taille, std::string chemin,
                       const OptionsSource& options)
    : fd_(fd), taille_(taille), chemin_(std::move(chemin)), tolere_(options.CoupureToleree),
      decoupeur_(options.LongueurMaxLigne) {
    flux_.zalloc = Z_NULL;
    flux_.zfree = Z_NULL;
    flux_.opaque = Z_NULL;
    flux_.next_in = Z_NULL;
    flux_.avail_in = 0;
    if (inflateInit2(&flux_, 16 + MAX_WBITS) != Z_OK) {
        LeveErreurLecture(1);
    }
    entree_.resize(1 << 18);
}

SourceGzip::~SourceGzip() {
    inflateEnd(&flux_);
    ::close(fd_);
}

void SourceGzip::Rembobine() {
    if (::lseek(fd_, 0, SEEK_SET) != 0 || inflateReset(&flux_) != Z_OK) {
        LeveErreurLecture(1);
    }
    flux_.next_in = Z_NULL;
    flux_.avail_in = 0;
    consommes_ = 0;
    fini_ = false;
    coupe_ = false;
    entreMembres_ = true;
    decoupeur_.Recommence();
}

bool SourceGzip::PositionneA(std::int64_t p) {
    lues_ = 0;
    if (p < decoupeur_.Position()) {
        Rembobine();
    }
    return decoupeur_.Saute(p, [this](char* o, std::size_t n) { return Inflate(o, n); });
}

bool SourceGzip::Suivante(std::string_view& ligne) {
    if (!decoupeur_.Suivante(ligne, [this](char* p, std::size_t n) { return Inflate(p, n); })) {
        return false;
    }
    derniere_ = ligne;
    ++lues_;
    return true;
}

void SourceGzip::VerifieReste() {
    std::string_view ligne;
    while (Suivante(ligne)) {
    }
}

double SourceGzip::Fraction() const {
    return taille_ > 0 ? static_cast<double>(consommes_) / static_cast<double>(taille_) : 1.0;
}

std::size_t SourceGzip::Inflate(char* sortie, std::size_t n) {
    if (fini_) {
        return 0;
    }
    flux_.next_out = reinterpret_cast<Bytef*>(sortie);
    flux_.avail_out = static_cast<uInt>(std::min<std::size_t>(n, 1u << 30));
    const uInt demande = flux_.avail_out;
    while (flux_.avail_out == demande) {
        if (flux_.avail_in == 0) {
            const ssize_t r = Lit();
            if (r == 0) {
                // The input ended: fine between members, a truncation inside one.
                if (!entreMembres_ && !tolere_) {
                    Echoue(true);
                }
                coupe_ = !entreMembres_;
                fini_ = true;
                break;
            }
        }
        entreMembres_ = false;
        const int z = inflate(&flux_, Z_NO_FLUSH);
        if (z == Z_STREAM_END) {
            // Another member may follow: start it afresh.
            entreMembres_ = true;
            if (inflateReset(&flux_) != Z_OK) {
                Echoue(false);
            }
        } else if (z != Z_OK && z != Z_BUF_ERROR) {
            Echoue(false);
        }
    }
    return demande - flux_.avail_out;
}

void SourceGzip::Echoue(bool coupe) const {
    // The line being read is the one after those given, or the last one given when the stream
    // fails while its end is looked for.
    const std::string ligne = "(ligne " + std::to_string(lues_ + 1) + ")";
    if (coupe) {
        throw ErreurCompression("Le fichier compressé " + chemin_ + " est coupé avant sa fin " +
                                ligne +
                                " : il est peut-être encore en cours d'écriture, ou n'a été "
                                "copié qu'en partie.");
    }
    throw ErreurCompression("Le fichier compressé " + chemin_ + " est abîmé " + ligne +
                            " : ses données ne se décompressent pas.");
}

ssize_t SourceGzip::Lit() {
    for (;;) {
        const ssize_t r = ::read(fd_, entree_.data(), entree_.size());
        if (r >= 0) {
            consommes_ += r;
            flux_.next_in = reinterpret_cast<Bytef*>(entree_.data());
            flux_.avail_in = static_cast<uInt>(r);
            return r;
        }
        if (errno != EINTR) {
            LeveErreurLecture(lues_ + 1);
        }
    }
}

} // namespace sillage
