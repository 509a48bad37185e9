#include "import/lecture/cibles.h"

#include "import/lecture/ligne_log.h"
#include "import/lecture/source_log.h"
#include "store/casse.h"
#include "store/date.h"
#include "store/date_compacte.h"
#include "store/periodes.h"

#include <algorithm>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace sillage {

void EnsembleHachages::Termine() {
    // About 64 bits per hash: one name in some fifty that were not given passes.
    std::size_t n = 1024;
    while (n < hachages_.size() * 64) {
        n *= 2;
    }
    bits_.assign(n / 64, 0);
    masque_ = n - 1;
    for (const std::uint64_t h : hachages_) {
        const std::uint64_t i = (h ^ (h >> 29)) & masque_;
        bits_[i >> 6] |= std::uint64_t{1} << (i & 63);
    }
}

bool LitCibles(SourceLignes& source, int nombreChamps, CiblesImport& c) {
    RHitsVues hit;
    std::string keywords, echappement;
    std::string_view ligne;
    std::int64_t n = 0;
    std::int32_t annee = -1;
    std::int32_t mois = -1;
    while (source.Suivante(ligne)) {
        if (++n > kLignesCibles) {
            return false;
        }
        DecoupeLigneLogVues(ligne, nombreChamps, hit, keywords, echappement);
        c.hotes.Ajoute(HachageSansCasse(hit.Hote));
        c.ressources.Ajoute(HachageSansCasse(hit.Page));
        c.origines.Ajoute(HachageSansCasse(hit.Origine));
        DateCompacte date;
        if (CompacteDate(hit.DateLog, date)) {
            const RDate d = DecompacteDate(date);
            if (d.Annee != annee || d.Mois != mois) {
                annee = d.Annee;
                mois = d.Mois;
                for (std::string nom : {NomPeriodeAnnee(annee), NomPeriodeMois(annee, mois)}) {
                    if (std::find(c.periodes.begin(), c.periodes.end(), nom) == c.periodes.end()) {
                        c.periodes.push_back(std::move(nom));
                    }
                }
            }
        }
    }
    c.hotes.Termine();
    c.ressources.Termine();
    c.origines.Termine();
    return true;
}

namespace {

constexpr std::size_t kFinLue = 256 * 1024;

// The last kFinLue bytes of the regular file at chemin (all of it when shorter), and whether
// they start at its first byte; false when it cannot be read or is compressed.
bool LitFin(const std::string& chemin, std::string& octets, bool& depuisDebut) {
    const int fd = ::open(chemin.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat st;
    bool lu = false;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
        char magie[2] = {};
        const auto taille = static_cast<std::size_t>(st.st_size);
        const std::size_t debut = taille > kFinLue ? taille - kFinLue : 0;
        octets.resize(taille - debut);
        const ssize_t n = ::pread(fd, octets.data(), octets.size(), static_cast<off_t>(debut));
        lu = ::pread(fd, magie, 2, 0) == 2 && !(magie[0] == '\x1f' && magie[1] == '\x8b') && n > 0;
        octets.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        depuisDebut = debut == 0;
    }
    ::close(fd);
    return lu;
}

} // namespace

std::vector<std::string> PeriodesProbables(const std::string& chemin) {
    std::vector<std::string> periodes;
    std::string octets;
    bool depuisDebut = false;
    if (!LitFin(chemin, octets, depuisDebut)) {
        return periodes;
    }
    RHitsVues hit;
    std::string keywords, echappement;
    std::int32_t annee = -1;
    std::int32_t mois = -1;
    // From the last line back; the first, cut by the start of the bytes read, left out.
    std::size_t fin = octets.size();
    while (fin > 0 && periodes.size() < kPeriodesProbables) {
        const std::size_t saut = octets.rfind('\n', fin - 1);
        const std::size_t debut = saut == std::string::npos ? 0 : saut + 1;
        if (debut == 0 && !depuisDebut) {
            break;
        }
        const std::string_view ligne = std::string_view(octets).substr(debut, fin - debut);
        fin = debut == 0 ? 0 : debut - 1;
        if (ligne.empty()) {
            continue;
        }
        DecoupeLigneLogVues(ligne, CompteNombreChamps(ligne), hit, keywords, echappement);
        DateCompacte date;
        if (!CompacteDate(hit.DateLog, date)) {
            continue;
        }
        const RDate d = DecompacteDate(date);
        if (d.Annee == annee && d.Mois == mois) {
            continue;
        }
        annee = d.Annee;
        mois = d.Mois;
        for (std::string nom : {NomPeriodeAnnee(annee), NomPeriodeMois(annee, mois)}) {
            if (periodes.size() < kPeriodesProbables &&
                std::find(periodes.begin(), periodes.end(), nom) == periodes.end()) {
                periodes.push_back(std::move(nom));
            }
        }
    }
    return periodes;
}

} // namespace sillage
