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
    derniere_ = ligne;
    return true;
}

void DecoupeurLignes::Recommence(std::int64_t origine) {
    origine_ = origine;
    debut_ = fin_ = debutLigne_ = 0;
    nul_ = std::string::npos;
    nulLigne_ = false;
    fini_ = false;
}

namespace {

// A plain file. Its lines are counted (for the progress) only when Total is asked for.
class SourceFichier : public SourceJournal {
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
    explicit SourceFichier(int fd) : fd_(fd) {}
    ~SourceFichier() override { ::close(fd_); }

    bool PositionneA(std::int64_t p) override {
        if (p <= 0) {
            return true;
        }
        const std::int64_t depart = p - std::min<std::int64_t>(p, kOctetsQueue);
        if (::lseek(fd_, depart, SEEK_SET) != depart) {
            LeveErreurLecture(1);
        }
        decoupeur_.Recommence(depart);
        return decoupeur_.Saute(p, Lecteur());
    }

    bool Suivante(std::string_view& ligne) override {
        if (!premiere_) {
            premiere_ = true;
            debutPremiere_ = decoupeur_.Position();
        }
        if (!decoupeur_.Suivante(ligne, Lecteur())) {
            return false;
        }
        derniere_ = ligne;
        ++lues_;
        return true;
    }
    std::int64_t Total() const override {
        const_cast<SourceFichier*>(this)->Compte();
        return total_;
    }
    std::string_view AvecFin() const override { return decoupeur_.AvecFin(); }
    bool DerniereAvecNul() const override { return decoupeur_.DerniereAvecNul(); }
    std::int64_t Position() const override { return decoupeur_.Position(); }
    std::string_view Queue() const override { return decoupeur_.Queue(); }
    std::string_view QueueAvantDerniere() const override { return decoupeur_.QueueAvantDerniere(); }

  private:
    // Counts the lines from where the first line began (or from where the reading stands, when
    // none was asked for yet), once, on a pass of its own: only a reader that shows its progress
    // asks for it.
    void Compte() {
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

    int fd_;
    DecoupeurLignes decoupeur_;
    std::int64_t total_ = -1;
    std::int64_t lues_ = 0;
    bool premiere_ = false;          // a line was asked for
    std::int64_t debutPremiere_ = 0; // where the first line asked for began
};

// A gzip-compressed file, inflated as it is read (one pass: its line count is not known ahead,
// so progress follows the compressed bytes read). Concatenated members are read one after the
// other; a damaged or truncated stream stops the import at the line being read.
class SourceGzip : public SourceJournal {
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

    bool PositionneA(std::int64_t p) override {
        return decoupeur_.Saute(p, [this](char* o, std::size_t n) { return Inflate(o, n); });
    }
    bool Suivante(std::string_view& ligne) override {
        if (!decoupeur_.Suivante(ligne, [this](char* p, std::size_t n) { return Inflate(p, n); })) {
            return false;
        }
        derniere_ = ligne;
        ++lues_;
        return true;
    }
    std::string_view AvecFin() const override { return decoupeur_.AvecFin(); }
    bool DerniereAvecNul() const override { return decoupeur_.DerniereAvecNul(); }
    std::int64_t Position() const override { return decoupeur_.Position(); }
    std::string_view Queue() const override { return decoupeur_.Queue(); }
    std::string_view QueueAvantDerniere() const override { return decoupeur_.QueueAvantDerniere(); }
    std::int64_t Total() const override { return -1; }
    void VerifieReste() override {
        std::string_view ligne;
        while (Suivante(ligne)) {
        }
    }
    bool LitPourVerifier() const override { return true; }
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

std::unique_ptr<SourceJournal> OuvreSourceFichier(const std::string& chemin) {
    std::int64_t taille = 0;
    const int fd = OuvreFichierRegulier(chemin, taille);
    try {
        unsigned char magique[2] = {0, 0};
        const bool gzip =
            ::pread(fd, magique, 2, 0) == 2 && magique[0] == 0x1f && magique[1] == 0x8b;
        if (gzip) {
            return std::make_unique<SourceGzip>(fd, taille);
        }
        return std::make_unique<SourceFichier>(fd);
    } catch (...) {
        // The constructor failed after taking the descriptor: SourceFichier's destructor did
        // not run.
        ::close(fd);
        throw;
    }
}

} // namespace sillage
