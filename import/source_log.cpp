#include "import/source_log.h"

#include "store/erreur.h"
#include "store/fichiers.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace sillage {

bool SourceTable::Suivante(std::string_view& ligne) {
    if (suivante_ >= table_.Count()) {
        return false;
    }
    ligne = table_[suivante_++];
    return true;
}

void DecoupeurLignes::Recommence() {
    debut_ = fin_ = 0;
    fini_ = false;
}

namespace {

// A plain file, read twice: once to count its lines, once to give them.
class SourceFichier : public SourceLignes {
    // Reads more bytes of the file; a read error stops the import at the line being read.
    auto Lecteur() {
        return [this](char* p, std::size_t n) -> std::size_t {
            for (;;) {
                const ssize_t r = ::read(fd_, p, n);
                if (r >= 0) {
                    return static_cast<std::size_t>(r);
                }
                if (errno != EINTR) {
                    LeveErreurLecture(lues_ + 1);
                }
            }
        };
    }

  public:
    SourceFichier(int fd, std::string chemin) : fd_(fd), chemin_(std::move(chemin)) {
        std::string_view ligne;
        std::int64_t n = 0;
        while (decoupeur_.Suivante(ligne, Lecteur())) {
            ++n;
        }
        total_ = n;
        if (::lseek(fd_, 0, SEEK_SET) != 0) {
            LeveErreurLecture(1);
        }
        decoupeur_.Recommence();
    }
    ~SourceFichier() override { ::close(fd_); }

    bool Suivante(std::string_view& ligne) override {
        if (!decoupeur_.Suivante(ligne, Lecteur())) {
            return false;
        }
        ++lues_;
        return true;
    }
    std::int64_t Total() const override { return total_; }

  private:
    int fd_;
    std::string chemin_;
    DecoupeurLignes decoupeur_;
    std::int64_t total_ = 0;
    std::int64_t lues_ = 0;
};

// A gzip-compressed file, inflated as it is read (one pass: its line count is not known ahead,
// so progress follows the compressed bytes read). Concatenated members are read one after the
// other; a damaged or truncated stream stops the import at the line being read.
class SourceGzip : public SourceLignes {
  public:
    SourceGzip(int fd, std::int64_t taille) : fd_(fd), taille_(taille) {
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
    ~SourceGzip() override {
        inflateEnd(&flux_);
        ::close(fd_);
    }

    bool Suivante(std::string_view& ligne) override {
        if (!decoupeur_.Suivante(ligne, [this](char* p, std::size_t n) { return Inflate(p, n); })) {
            return false;
        }
        ++lues_;
        return true;
    }
    std::int64_t Total() const override { return -1; }
    void VerifieReste() override {
        std::string_view ligne;
        while (Suivante(ligne)) {
        }
    }
    double Fraction() const override {
        return taille_ > 0 ? static_cast<double>(consommes_) / static_cast<double>(taille_) : 1.0;
    }

  private:
    std::size_t Inflate(char* sortie, std::size_t n) {
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
                    if (!entreMembres_) {
                        LeveErreurLecture(lues_ + 1);
                    }
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
                    LeveErreurLecture(lues_ + 1);
                }
            } else if (z != Z_OK && z != Z_BUF_ERROR) {
                LeveErreurLecture(lues_ + 1);
            }
        }
        return demande - flux_.avail_out;
    }

    ssize_t Lit() {
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

    int fd_;
    std::int64_t taille_;
    std::int64_t consommes_ = 0;
    z_stream flux_{};
    std::string entree_;
    DecoupeurLignes decoupeur_;
    std::int64_t lues_ = 0;
    bool fini_ = false;
    bool entreMembres_ = true; // no member begun yet, or the last one ended
};

} // namespace

std::unique_ptr<SourceLignes> OuvreSourceFichier(const std::string& chemin) {
    std::int64_t taille = 0;
    const int fd = OuvreFichierRegulier(chemin, taille);
    try {
        unsigned char magique[2] = {0, 0};
        const bool gzip =
            ::pread(fd, magique, 2, 0) == 2 && magique[0] == 0x1f && magique[1] == 0x8b;
        if (gzip) {
            return std::make_unique<SourceGzip>(fd, taille);
        }
        return std::make_unique<SourceFichier>(fd, chemin);
    } catch (...) {
        // The constructor failed after taking the descriptor: SourceFichier's destructor did
        // not run.
        ::close(fd);
        throw;
    }
}

} // namespace sillage
