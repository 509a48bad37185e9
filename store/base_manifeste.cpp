// The manifest of the store's saves, and what is done when a file differs from it: copies kept
// aside; whether a save could write at all.
#include "store/base.h"

#include "store/catalogue.h"
#include "store/fichiers.h"
#include "store/manifeste.h"
#include "store/periodes.h"
#include "store/transaction.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sillage {

using namespace catalogue;

void Base::LitManifesteDuDisque() {
    manifeste_.clear();
    manifesteIllisible_ = false;
    Table table;
    if (!ChargeSiPresent(kFichierManifeste, table)) {
        return; // a store saved before manifests: it gets one at its next save
    }
    lus_.erase(std::string(kFichierManifeste));
    std::vector<EntreeManifeste> entrees;
    if (!LitManifeste(table, entrees)) {
        manifesteIllisible_ = true;
        return;
    }
    for (EntreeManifeste& e : entrees) {
        const std::string nom = e.Nom;
        manifeste_[nom] = std::move(e);
    }
}

void Base::VerifieManifeste(const Base& base, const std::string& prefixe, bool accepte) {
    if (!prefixe.empty()) {
        // A period read long after the store (the window reads them when they are first shown)
        // is checked against the manifest on the disk now: another program may have saved
        // since, and the window's save then redoes its imports over what that program saved.
        LitManifesteDuDisque();
    }
    std::vector<DifferenceManifeste> differences;
    if (manifesteIllisible_ && prefixe.empty()) {
        DifferenceManifeste d;
        d.Nom = std::string(kFichierManifeste);
        d.Illisible = true;
        differences.push_back(d);
    }
    for (const auto& [nom, e] : manifeste_) {
        // The rows of the files of base: under its prefix, in its own folder.
        if (!nom.starts_with(prefixe) || nom.find('/', prefixe.size()) != std::string::npos) {
            continue;
        }
        const auto lu = base.lus_.find(std::string_view(nom).substr(prefixe.size()));
        if (lu != base.lus_.end() && lu->second.Taille == e.Taille && lu->second.Crc == e.Crc) {
            continue;
        }
        DifferenceManifeste d;
        d.Nom = nom;
        d.TailleAttendue = e.Taille;
        if (lu == base.lus_.end()) {
            d.Absent = true;
        } else {
            d.TailleTrouvee = lu->second.Taille;
            d.MemeTaille = lu->second.Taille == e.Taille;
        }
        differences.push_back(d);
    }
    if (differences.empty()) {
        return;
    }
    if (!accepte) {
        throw ErreurManifeste(MessageDifferences(repertoire_, differences), differences);
    }
    EnregistreManifeste(prefixe.empty() ? EntreesManifeste() : EntreesAvecPeriode(base, prefixe));
}

std::vector<EntreeManifeste> Base::EntreesAvecPeriode(const Base& periode,
                                                      const std::string& prefixe) const {
    std::vector<EntreeManifeste> entrees;
    for (const auto& [nom, e] : manifeste_) {
        if (!nom.starts_with(prefixe)) {
            entrees.push_back(e);
        }
    }
    for (const auto& [nom, e] : periode.lus_) {
        entrees.push_back({prefixe + nom, e.Taille, e.Crc});
    }
    return entrees;
}

void Base::EnregistreManifeste(const std::vector<EntreeManifeste>& entrees) {
    Transaction transaction(repertoire_, *disque_, proprietaire_);
    transaction.Remplace(kFichierManifeste, EcritManifeste(entrees));
    transaction.Valide();
    manifeste_.clear();
    manifesteIllisible_ = false;
    for (const EntreeManifeste& e : entrees) {
        manifeste_[e.Nom] = e;
    }
}

std::vector<EntreeManifeste> Base::EntreesManifeste() const {
    std::vector<EntreeManifeste> entrees;
    for (const auto& [nom, e] : lus_) {
        entrees.push_back(e);
    }
    for (const auto& [periode, base] : periodes_) {
        const std::string prefixe = DossierPeriode(periode);
        for (const auto& [nom, e] : base->lus_) {
            entrees.push_back({prefixe + nom, e.Taille, e.Crc});
        }
    }
    // The periods not read since the load keep the rows of the last save.
    const std::string dossiers = std::string(kDossierPeriodes) + "/";
    for (const auto& [nom, e] : manifeste_) {
        if (!nom.starts_with(dossiers)) {
            continue;
        }
        const std::size_t barre = nom.find('/', dossiers.size());
        const std::string periode = nom.substr(dossiers.size(), barre - dossiers.size());
        if (barre != std::string::npos && periodes_.count(periode) == 0) {
            entrees.push_back(e);
        }
    }
    return entrees;
}

namespace {

// Writes octets to the new file chemin (it must not exist), for the owner p alone, durable;
// false with errno set when it cannot, EEXIST when the name is taken.
bool EcritCopie(const std::string& chemin, std::string_view octets, const Proprietaire& p) {
    const int fd =
        ::open(chemin.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    bool ok =
        ::geteuid() != 0 || p.uid == static_cast<uid_t>(-1) || ::fchown(fd, p.uid, p.gid) == 0;
    for (std::size_t fait = 0; ok && fait < octets.size();) {
        const ssize_t n = ::write(fd, octets.data() + fait, octets.size() - fait);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        ok = n > 0;
        fait += ok ? static_cast<std::size_t>(n) : 0;
    }
    ok = ok && ::fsync(fd) == 0;
    const int erreur = errno;
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        ::unlink(chemin.c_str());
        errno = erreur;
    }
    return ok;
}

} // namespace

std::vector<std::string> Base::GardeCopies(const std::vector<DifferenceManifeste>& differences,
                                           std::time_t quand) const {
    std::tm local{};
    localtime_r(&quand, &local);
    char horodatage[32];
    std::strftime(horodatage, sizeof horodatage, "%Y%m%d-%H%M%S", &local);
    std::vector<std::string> copies;
    for (const DifferenceManifeste& d : differences) {
        const std::string chemin = CheminFichier(d.Nom);
        struct stat st;
        const int fd = d.Absent ? -1 : OuvreFichierBase(chemin, proprietaire_, st);
        if (fd < 0) {
            continue; // nothing there to keep
        }
        Tampon octets;
        LitJusquAuBout(fd, chemin, static_cast<std::int64_t>(st.st_size), octets);
        const std::string_view texte(octets.data() ? octets.data() : "", octets.size());
        std::string copie = chemin + std::string(kSuffixeCopie) + horodatage;
        for (int n = 2; !EcritCopie(copie, texte, proprietaire_); ++n) {
            if (errno != EEXIST) {
                LeveErreurCreation(copie, RaisonSysteme(errno));
            }
            copie = chemin + std::string(kSuffixeCopie) + horodatage + "-" + std::to_string(n);
        }
        copies.push_back(copie);
    }
    if (!copies.empty() && !disque_->SynchroniseDossier(repertoire_)) {
        LeveErreurCreation(copies.front(), RaisonSysteme(errno));
    }
    return copies;
}

void Base::VerifieEcrivable() const {
    int fd = ::open(repertoire_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        // No file without a name here (a network file system): a named one, removed at once.
        std::string modele = repertoire_ + ".sillage-essai.XXXXXX";
        fd = ::mkostemp(modele.data(), O_CLOEXEC);
        if (fd >= 0) {
            ::unlink(modele.c_str());
        }
    }
    if (fd < 0) {
        std::string dossier = repertoire_;
        if (dossier.size() > 1) {
            dossier.pop_back();
        }
        throw ErreurSillage("Impossible d'écrire dans le répertoire des tables " + dossier + " : " +
                            RaisonSysteme(errno));
    }
    ::close(fd);
}

} // namespace sillage
