#include "store/table.h"

#include "store/erreur.h"
#include "store/fichiers.h"
#include "store/manifeste.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace sillage {

namespace {

// Versions are drawn from one counter, so that no two states of any tables share one.
std::atomic<std::uint64_t> derniereVersion{0};

// True when st describes the same file as o, unchanged since o was read.
bool MemeFichier(const struct stat& st, const struct stat& o) {
    return st.st_dev == o.st_dev && st.st_ino == o.st_ino && st.st_size == o.st_size &&
           st.st_mtim.tv_sec == o.st_mtim.tv_sec && st.st_mtim.tv_nsec == o.st_mtim.tv_nsec &&
           st.st_ctim.tv_sec == o.st_ctim.tv_sec && st.st_ctim.tv_nsec == o.st_ctim.tv_nsec;
}

} // namespace

void Table::Change() {
    origine_.reset();
    version_ = derniereVersion.fetch_add(1, std::memory_order_relaxed) + 1;
}

std::string_view Table::Ligne(std::int64_t i) const {
    if (i < 0 || static_cast<std::uint64_t>(i) >= fins_.size()) {
        LeveErreurIndice(i);
    }
    return (*this)[static_cast<std::size_t>(i)];
}

std::string_view Table::Derniere() const {
    if (fins_.empty()) {
        LeveErreurIndice(-1);
    }
    return (*this)[fins_.size() - 1];
}

void Table::Ajoute(std::string_view ligne) {
    // A view into our own bytes would dangle when the buffer grows.
    if (!ligne.empty() && ligne.data() >= Texte() && ligne.data() < Texte() + Fin()) {
        const std::string copie(ligne);
        Ajoute(copie);
        return;
    }
    Change();
    texte_.append(ligne);
    fins_.push_back(texte_.size());
    texte_.append("\r\n");
}

void Table::AjouteLignes(const Table& source, std::size_t debut, std::size_t fin) {
    if (debut >= fin) {
        return;
    }
    if (&source == this) {
        const Table copie = source;
        AjouteLignes(copie, debut, fin);
        return;
    }
    const std::uint64_t de = source.Debut(debut);
    const std::uint64_t a = source.fins_[fin - 1] + 2;
    Change();
    const std::uint64_t decalage = Fin() - de;
    texte_.append(std::string_view(source.Texte() + de, a - de));
    fins_.reserve(fins_.size() + (fin - debut));
    for (std::size_t k = debut; k < fin; ++k) {
        fins_.push_back(source.fins_[k] + decalage);
    }
}

void Table::Remplace(std::size_t i, std::string_view ligne) {
    if (i >= fins_.size()) {
        LeveErreurIndice(static_cast<std::int64_t>(i));
    }
    const std::string copie(ligne);
    if (i + 1 == fins_.size()) {
        texte_.resize(Debut(i));
        fins_.pop_back();
        Ajoute(copie);
        return;
    }
    Table nouvelle;
    nouvelle.Reserve(fins_.size(), Fin() + copie.size());
    nouvelle.AjouteLignes(*this, 0, i);
    nouvelle.Ajoute(copie);
    nouvelle.AjouteLignes(*this, i + 1, fins_.size());
    *this = std::move(nouvelle);
}

bool Table::PrepareRetouches(const std::vector<Retouche>& retouches, const Table& ajouts) {
    std::int64_t decalage = 0;
    for (std::size_t k = 0; k < retouches.size(); ++k) {
        const std::size_t i = retouches[k].ligne;
        if (i >= fins_.size() || (k > 0 && i <= retouches[k - 1].ligne)) {
            return false;
        }
        decalage += static_cast<std::int64_t>(retouches[k].texte.size()) -
                    static_cast<std::int64_t>(fins_[i] - Debut(i));
        if (decalage < 0) {
            return false;
        }
    }
    texte_.reserve(Fin() + static_cast<std::size_t>(decalage) + ajouts.Fin());
    fins_.reserve(fins_.size() + ajouts.fins_.size());
    fins_.Prevoit(Fin() + static_cast<std::size_t>(decalage) + ajouts.Fin());
    return true;
}

void Table::AppliqueRetouches(const std::vector<Retouche>& retouches,
                              const Table& ajouts) noexcept {
    std::int64_t total = 0;
    for (const Retouche& r : retouches) {
        total += static_cast<std::int64_t>(r.texte.size()) -
                 static_cast<std::int64_t>(fins_[r.ligne] - Debut(r.ligne));
    }
    const std::uint64_t ancienneFin = Fin();
    texte_.resize(ancienneFin + static_cast<std::uint64_t>(total));
    char* const t = texte_.data();
    // From the last row rewritten to the first: the rows after each move on by what the rows up
    // to it grew, which never takes them over bytes not yet moved.
    std::int64_t decalage = total;
    std::uint64_t limite = ancienneFin;
    for (std::size_t k = retouches.size(); k-- > 0;) {
        const std::size_t i = retouches[k].ligne;
        const std::uint64_t debut = Debut(i);
        const std::uint64_t suite = fins_[i] + 2;
        if (limite > suite) {
            std::memmove(t + suite + decalage, t + suite, limite - suite);
        }
        const std::string_view texte = retouches[k].texte;
        decalage -=
            static_cast<std::int64_t>(texte.size()) - static_cast<std::int64_t>(fins_[i] - debut);
        char* const ligne = t + debut + decalage;
        std::memcpy(ligne, texte.data(), texte.size());
        ligne[texte.size()] = '\r';
        ligne[texte.size() + 1] = '\n';
        limite = debut;
    }
    // The ends, from the first row rewritten on.
    std::size_t k = 0;
    decalage = 0;
    for (std::size_t i = retouches.empty() ? fins_.size() : retouches[0].ligne; i < fins_.size();
         ++i) {
        if (k < retouches.size() && retouches[k].ligne == i) {
            const std::uint64_t debut = i == 0 ? 0 : fins_[i - 1] + 2;
            decalage += static_cast<std::int64_t>(retouches[k].texte.size()) -
                        static_cast<std::int64_t>(fins_[i] - (debut - decalage));
            fins_.Fixe(i, debut + retouches[k].texte.size());
            ++k;
        } else {
            fins_.Fixe(i, fins_[i] + static_cast<std::uint64_t>(decalage));
        }
    }
    const std::uint64_t depart = Fin();
    if (!ajouts.Vide()) {
        texte_.append(ajouts.Fichier());
    }
    for (std::size_t i = 0; i < ajouts.fins_.size(); ++i) {
        fins_.push_back(depart + ajouts.fins_[i]);
    }
    Change();
}

bool Table::PrepareRecomposition(const std::vector<Morceau>& morceaux) {
    std::uint64_t octets = 0;
    std::size_t lignes = 0;
    std::size_t finPrecedente = 0;
    for (const Morceau& m : morceaux) {
        if (m.fin <= m.debut) {
            octets += m.texte.size() + 2;
            ++lignes;
            continue;
        }
        if (m.debut < finPrecedente || m.fin > fins_.size()) {
            return false;
        }
        finPrecedente = m.fin;
        const std::uint64_t debut = Debut(m.debut);
        if (octets < debut || lignes < m.debut) {
            return false;
        }
        octets += fins_[m.fin - 1] + 2 - debut;
        lignes += m.fin - m.debut;
    }
    texte_.reserve(std::max<std::uint64_t>(octets, Fin()));
    fins_.reserve(std::max(lignes, fins_.size()));
    fins_.Prevoit(std::max<std::uint64_t>(octets, Fin()));
    return true;
}

void Table::AppliqueRecomposition(const std::vector<Morceau>& morceaux) noexcept {
    std::uint64_t octets = 0;
    std::size_t lignes = 0;
    for (const Morceau& m : morceaux) {
        octets += m.fin > m.debut ? fins_[m.fin - 1] + 2 - Debut(m.debut) : m.texte.size() + 2;
        lignes += m.fin > m.debut ? m.fin - m.debut : 1;
    }
    const std::uint64_t total = octets;
    const std::size_t n = lignes;
    texte_.resize(std::max(total, Fin()));
    fins_.resize(std::max(n, fins_.size()));
    char* const t = texte_.data();
    // From the last morceau to the first: each lands at or after where it stands, and every
    // morceau before it stands before where it lands, so no byte or end is written over before
    // it is moved.
    for (std::size_t k = morceaux.size(); k-- > 0;) {
        const Morceau& m = morceaux[k];
        if (m.fin <= m.debut) {
            octets -= m.texte.size() + 2;
            --lignes;
            std::memcpy(t + octets, m.texte.data(), m.texte.size());
            t[octets + m.texte.size()] = '\r';
            t[octets + m.texte.size() + 1] = '\n';
            fins_.Fixe(lignes, octets + m.texte.size());
            continue;
        }
        const std::uint64_t debut = Debut(m.debut);
        const std::uint64_t taille = fins_[m.fin - 1] + 2 - debut;
        octets -= taille;
        lignes -= m.fin - m.debut;
        if (octets != debut) {
            std::memmove(t + octets, t + debut, taille);
        }
        if (octets != debut || lignes != m.debut) {
            const std::uint64_t decalage = octets - debut;
            for (std::size_t i = m.fin - m.debut; i-- > 0;) {
                fins_.Fixe(lignes + i, fins_[m.debut + i] + decalage);
            }
        }
    }
    fins_.resize(n);
    texte_.resize(total);
    Change();
}

void Table::Efface() {
    Change();
    texte_.clear();
    texte_.shrink_to_fit();
    fins_.clear();
    fins_.shrink_to_fit();
}

void Table::Tronque(std::size_t n) {
    if (n >= fins_.size()) {
        return;
    }
    fins_.resize(n);
    texte_.resize(Fin());
    Change();
}

void Table::Reserve(std::size_t lignes, std::size_t octets) {
    fins_.reserve(lignes);
    texte_.reserve(octets + 2 * lignes);
}

void Table::Compacte() {
    texte_.shrink_to_fit();
    fins_.shrink_to_fit();
}

bool Table::CopieDe(const std::string& chemin) const {
    struct stat st;
    return origine_ && ::lstat(chemin.c_str(), &st) == 0 && MemeFichier(st, *origine_);
}

bool Table::DecoupeCanonique(const char* octets, std::size_t taille) {
    fins_.clear();
    if (taille == 0) {
        return true;
    }
    if (taille < 2 || octets[taille - 2] != '\r' || octets[taille - 1] != '\n') {
        return false;
    }
    // Every LF follows a CR and every CR precedes an LF: the masks of the two agree once the CR
    // one is moved a byte on. First the check and the count, then the ends.
    std::size_t lignes = 0;
    std::size_t i = 0;
#ifdef __SSE2__
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    // Lanes that met a NUL byte, checked once at the end.
    __m128i nuls = _mm_setzero_si128();
    unsigned retenue = 0;
    // The line ends are counted in byte lanes (each lane at most 255 before it is summed).
    __m128i parOctet = _mm_setzero_si128();
    unsigned blocs = 0;
    const auto somme = [&] {
        const __m128i s = _mm_sad_epu8(parOctet, _mm_setzero_si128());
        lignes += static_cast<std::size_t>(_mm_cvtsi128_si32(s)) +
                  static_cast<std::size_t>(_mm_extract_epi16(s, 4));
        parOctet = _mm_setzero_si128();
        blocs = 0;
    };
    for (; i + 16 <= taille; i += 16) {
        const __m128i bloc = _mm_loadu_si128(reinterpret_cast<const __m128i*>(octets + i));
        const __m128i estLf = _mm_cmpeq_epi8(bloc, lf);
        const unsigned l = static_cast<unsigned>(_mm_movemask_epi8(estLf));
        const unsigned c = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bloc, cr)));
        if ((((c << 1) | retenue) & 0xFFFFu) != l) {
            return false;
        }
        retenue = c >> 15;
        nuls = _mm_or_si128(nuls, _mm_cmpeq_epi8(bloc, _mm_setzero_si128()));
        parOctet = _mm_sub_epi8(parOctet, estLf);
        if (++blocs == 255) {
            somme();
        }
    }
    somme();
    if (_mm_movemask_epi8(nuls) != 0 || (retenue != 0 && (i >= taille || octets[i] != '\n'))) {
        return false;
    }
#endif
    for (std::size_t j = i; j < taille; ++j) {
        if (octets[j] == '\0') {
            return false;
        }
        if (octets[j] == '\n') {
            if (j == 0 || octets[j - 1] != '\r') {
                return false;
            }
            ++lignes;
        } else if (octets[j] == '\r' && (j + 1 == taille || octets[j + 1] != '\n')) {
            return false;
        }
    }
    fins_.reserve(lignes);
    i = 0;
#ifdef __SSE2__
    for (; i + 16 <= taille; i += 16) {
        const __m128i bloc = _mm_loadu_si128(reinterpret_cast<const __m128i*>(octets + i));
        unsigned l = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bloc, lf)));
        while (l != 0) {
            fins_.push_back(i + static_cast<std::size_t>(__builtin_ctz(l)) - 1);
            l &= l - 1;
        }
    }
#endif
    for (; i < taille; ++i) {
        if (octets[i] == '\n') {
            fins_.push_back(i - 1);
        }
    }
    return true;
}

void Table::Decoupe(const char* base, std::size_t taille) {
    if (const void* nul = taille ? std::memchr(base, '\0', taille) : nullptr) {
        taille = static_cast<std::size_t>(static_cast<const char*>(nul) - base);
    }
    Tampon texte;
    texte.reserve(taille + 2 * (taille / 16 + 1));
    fins_.clear();
    std::size_t lu = 0; // next byte to read
    while (lu < taille) {
        // The line ends at the first CR or LF; look for LF first, then for a CR before it.
        const char* lf = static_cast<const char*>(std::memchr(base + lu, '\n', taille - lu));
        std::size_t fin = lf ? static_cast<std::size_t>(lf - base) : taille;
        if (const void* c = std::memchr(base + lu, '\r', fin - lu)) {
            fin = static_cast<std::size_t>(static_cast<const char*>(c) - base);
        }
        texte.append(std::string_view(base + lu, fin - lu));
        fins_.push_back(texte.size());
        texte.append("\r\n");
        if (fin == taille) {
            break;
        }
        lu = fin + 1;
        if (base[fin] == '\r' && lu < taille && base[lu] == '\n') {
            ++lu;
        }
    }
    texte_ = std::move(texte);
    Change();
}

void Table::ChargeOctets(std::string_view octets) {
    Change();
    if (DecoupeCanonique(octets.data(), octets.size())) {
        texte_.resize(0);
        texte_.append(octets);
        texte_.shrink_to_fit();
        return;
    }
    Decoupe(octets.data(), octets.size());
}

void Table::ChargeFichier(const std::string& chemin) {
    std::int64_t taille = 0;
    const int fd = OuvreFichierRegulier(chemin, taille);
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        const int erreur = errno;
        ::close(fd);
        LeveErreurOuverture(chemin, RaisonSysteme(erreur));
    }
    ChargeDescripteur(fd, chemin, st);
}

std::uint32_t Table::ChargeDescripteur(int fd, const std::string& chemin, const struct stat& st) {
    Tampon octets;
    LitJusquAuBout(fd, chemin, static_cast<std::int64_t>(st.st_size), octets);
    // Another program that writes the file while it is read (a copy over it, say) must not give
    // a table made of two versions of it.
    struct stat apres;
    if (::lstat(chemin.c_str(), &apres) != 0 || !MemeFichier(apres, st) ||
        octets.size() != static_cast<std::size_t>(st.st_size)) {
        throw ErreurSillage("Le fichier " + chemin +
                            " a changé pendant sa lecture (un autre programme l'écrit) : "
                            "recommencez quand il aura fini.");
    }
    const std::uint32_t crc = Crc32({octets.data() ? octets.data() : "", octets.size()});
    Efface();
    if (DecoupeCanonique(octets.data(), octets.size())) {
        texte_ = std::move(octets);
        origine_ = st;
    } else {
        Decoupe(octets.data(), octets.size());
    }
    return crc;
}

void Table::Permute(const std::vector<std::uint32_t>& ordre) {
    Table nouvelle;
    nouvelle.Reserve(fins_.size(), Fin());
    for (std::uint32_t k : ordre) {
        nouvelle.Ajoute((*this)[k]);
    }
    *this = std::move(nouvelle);
}

} // namespace sillage
