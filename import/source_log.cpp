#include "import/source_log.h"

#include "store/erreur.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

template <class Lire> bool DecoupeurLignes::Suivante(std::string_view& ligne, Lire&& lire) {
    constexpr std::size_t kMorceau = 1 << 20;
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

} // namespace

std::unique_ptr<SourceLignes> OuvreSourceFichier(const std::string& chemin) {
    const int fd = ::open(chemin.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        LeveErreurOuverture(chemin);
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        LeveErreurOuverture(chemin);
    }
    try {
        return std::make_unique<SourceFichier>(fd, chemin);
    } catch (...) {
        // The constructor failed after taking the descriptor: SourceFichier's destructor did
        // not run.
        ::close(fd);
        throw;
    }
}

} // namespace sillage
