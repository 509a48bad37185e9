#include "rapports/sortie.h"

#include "store/erreur.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace sillage {

namespace {

constexpr std::size_t kTailleTampon = 1 << 20;    // 1 MiB held before a write
constexpr std::int64_t kLotSynchronise = 8 << 20; // 8 MiB written before the disk is asked

// Writes every byte of octets to fd; the errno of a failure, 0 when all went.
int EcritTout(int fd, std::string_view octets) {
    while (!octets.empty()) {
        const ssize_t n = ::write(fd, octets.data(), octets.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        octets.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

std::string DossierDe(const std::string& chemin) {
    const std::size_t barre = chemin.rfind('/');
    if (barre == std::string::npos) {
        return ".";
    }
    return barre == 0 ? "/" : chemin.substr(0, barre);
}

std::string NomDe(const std::string& chemin) {
    const std::size_t barre = chemin.rfind('/');
    return barre == std::string::npos ? chemin : chemin.substr(barre + 1);
}

mode_t ModeFichier() {
    const mode_t masque = ::umask(0);
    ::umask(masque);
    return 0666 & ~masque;
}

} // namespace

std::string RaisonEcriture(int erreur) {
    switch (erreur) {
    case ENOENT:
        return "répertoire introuvable";
    case EACCES:
    case EPERM:
        return "permission refusée";
    case ENOSPC:
        return "plus de place sur le disque";
    case EDQUOT:
        return "quota de disque dépassé";
    case EROFS:
        return "système de fichiers en lecture seule";
    case ENOTDIR:
        return "une partie du chemin n'est pas un répertoire";
    case EISDIR:
        return "c'est un répertoire";
    case EEXIST:
        return "le nom est déjà pris";
    case ENOTEMPTY:
        return "le répertoire n'est pas vide";
    case ENAMETOOLONG:
        return "nom trop long";
    case ELOOP:
        return "trop de liens symboliques";
    case EIO:
        return "erreur d'entrée-sortie";
    case EFBIG:
        return "fichier trop grand";
    case EPIPE:
        return "la sortie a été fermée";
    default:
        return std::string("erreur système ") + std::to_string(erreur);
    }
}

SortieDescripteur::~SortieDescripteur() {
    // Whatever is left goes out; a failure here has no one left to tell.
    EcritTout(fd_, tampon_);
}

void SortieDescripteur::Ecrit(std::string_view octets) {
    tampon_.append(octets);
    if (tampon_.size() >= kTailleTampon) {
        Vide();
    }
}

void SortieDescripteur::Vide() {
    const int erreur = EcritTout(fd_, tampon_);
    tampon_.clear();
    if (erreur != 0) {
        throw ErreurSillage("Impossible d'écrire sur " + nom_ + " : " + RaisonEcriture(erreur));
    }
}

// The deflate stream of a compressed file: each member is a gzip text of its own.
struct FichierAtomique::Gzip {
    z_stream flux{};
    bool pret = false;
    bool membreOuvert = false; // bytes were given since the member began

    Gzip() {
        // The fastest level: the hits of an import are written while it counts.
        pret =
            deflateInit2(&flux, Z_BEST_SPEED, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    }
    ~Gzip() {
        if (pret) {
            deflateEnd(&flux);
        }
    }
};

FichierAtomique::FichierAtomique(std::string chemin, Compression compression)
    : chemin_(std::move(chemin)) {
    temporaire_ = DossierDe(chemin_) + "/." + NomDe(chemin_) + ".XXXXXX";
    fd_ = ::mkostemp(temporaire_.data(), O_CLOEXEC);
    if (fd_ < 0) {
        const int erreur = errno;
        temporaire_.clear();
        Echec(erreur);
    }
    if (::fchmod(fd_, ModeFichier()) != 0) {
        Echec(errno);
    }
    if (compression == Compression::Gzip) {
        gzip_ = std::make_unique<Gzip>();
        if (!gzip_->pret) {
            Echec(ENOMEM);
        }
    }
    tampon_.reserve(kTailleTampon);
}

FichierAtomique::~FichierAtomique() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!termine_ && !temporaire_.empty()) {
        ::unlink(temporaire_.c_str());
    }
}

void FichierAtomique::Echec(int erreur) const {
    throw ErreurSillage("Impossible de créer le fichier " + chemin_ + " : " +
                        RaisonEcriture(erreur));
}

void FichierAtomique::EcritBrut(std::string_view octets) {
    ecrits_ += static_cast<std::int64_t>(octets.size());
    if (octets.size() >= kTailleTampon) {
        // A large piece goes out as it is, not copied into the buffer first.
        VideTampon();
        EcritSurDisque(octets);
        return;
    }
    tampon_.append(octets);
    if (tampon_.size() >= kTailleTampon) {
        VideTampon();
    }
}

void FichierAtomique::VideTampon() {
    EcritSurDisque(tampon_);
    tampon_.clear();
}

void FichierAtomique::EcritSurDisque(std::string_view octets) {
    const int erreur = EcritTout(fd_, octets);
    if (erreur != 0) {
        Echec(erreur);
    }
    // The disk starts writing what is there while more comes, so that the fsync of Prepare has
    // little left to wait for (a large file is written as it is made, not all at the end).
    if (ecrits_ - synchronises_ >= kLotSynchronise) {
        ::sync_file_range(fd_, synchronises_, ecrits_ - synchronises_, SYNC_FILE_RANGE_WRITE);
        synchronises_ = ecrits_;
    }
}

void FichierAtomique::Ecrit(std::string_view octets) {
    if (!gzip_) {
        EcritBrut(octets);
        return;
    }
    if (octets.empty()) {
        return;
    }
    z_stream& f = gzip_->flux;
    gzip_->membreOuvert = true;
    f.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(octets.data()));
    f.avail_in = static_cast<uInt>(octets.size());
    char sortie[64 * 1024];
    do {
        f.next_out = reinterpret_cast<Bytef*>(sortie);
        f.avail_out = sizeof sortie;
        deflate(&f, Z_NO_FLUSH);
        EcritBrut({sortie, sizeof sortie - f.avail_out});
    } while (f.avail_in > 0 || f.avail_out == 0);
}

std::int64_t FichierAtomique::Marque() {
    if (gzip_ && gzip_->membreOuvert) {
        z_stream& f = gzip_->flux;
        f.next_in = nullptr;
        f.avail_in = 0;
        char sortie[64 * 1024];
        int r;
        do {
            f.next_out = reinterpret_cast<Bytef*>(sortie);
            f.avail_out = sizeof sortie;
            r = deflate(&f, Z_FINISH);
            EcritBrut({sortie, sizeof sortie - f.avail_out});
        } while (r == Z_OK);
        deflateReset(&f);
        gzip_->membreOuvert = false;
    }
    return ecrits_;
}

void FichierAtomique::RevientA(std::int64_t marque) {
    VideTampon();
    if (::ftruncate(fd_, marque) != 0 || ::lseek(fd_, marque, SEEK_SET) < 0) {
        Echec(errno);
    }
    ecrits_ = marque;
    synchronises_ = std::min(synchronises_, marque);
    if (gzip_) {
        deflateReset(&gzip_->flux);
        gzip_->membreOuvert = false;
    }
}

void FichierAtomique::Prepare() {
    if (prepare_) {
        return;
    }
    Marque();
    VideTampon();
    if (::fsync(fd_) != 0) {
        Echec(errno);
    }
    prepare_ = true;
}

void FichierAtomique::Termine() {
    Prepare();
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        Echec(errno);
    }
    if (::rename(temporaire_.c_str(), chemin_.c_str()) != 0) {
        Echec(errno);
    }
    termine_ = true;
    // The rename itself made durable: a crash now leaves the new file, not the old one.
    const int dossier = ::open(DossierDe(chemin_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dossier >= 0) {
        ::fsync(dossier);
        ::close(dossier);
    }
}

} // namespace sillage
