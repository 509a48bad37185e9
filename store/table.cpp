#include "store/table.h"

#include "store/erreur.h"
#include "store/fichiers.h"

#include <cstring>

namespace sillage {

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
    // A view into our own buffer would dangle when the buffer grows.
    if (!ligne.empty() && ligne.data() >= texte_.data() &&
        ligne.data() < texte_.data() + texte_.size()) {
        const std::string copie(ligne);
        Ajoute(copie);
        return;
    }
    texte_.append(ligne);
    fins_.push_back(texte_.size());
}

void Table::Remplace(std::size_t i, std::string_view ligne) {
    if (i >= fins_.size()) {
        LeveErreurIndice(static_cast<std::int64_t>(i));
    }
    const std::string copie(ligne);
    if (i + 1 == fins_.size()) {
        texte_.resize(i == 0 ? 0 : fins_[i - 1]);
        fins_.pop_back();
        Ajoute(copie);
        return;
    }
    Table nouvelle;
    nouvelle.Reserve(fins_.size(), texte_.size() + copie.size());
    for (std::size_t k = 0; k < fins_.size(); ++k) {
        nouvelle.Ajoute(k == i ? std::string_view(copie) : (*this)[k]);
    }
    *this = std::move(nouvelle);
}

void Table::Efface() {
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
    texte_.resize(n == 0 ? 0 : fins_[n - 1]);
}

void Table::Reserve(std::size_t lignes, std::size_t octets) {
    fins_.reserve(lignes);
    texte_.reserve(octets);
}

void Table::Compacte() {
    texte_.shrink_to_fit();
    fins_.shrink_to_fit();
}

void Table::ChargeOctets(std::string octets) {
    texte_.resize(octets.size());
    if (!octets.empty()) {
        std::memcpy(texte_.data(), octets.data(), octets.size());
    }
    Decoupe();
}

void Table::ChargeFichier(const std::string& chemin) {
    std::int64_t taille = 0;
    const int fd = OuvreFichierRegulier(chemin, taille);
    Tampon octets;
    LitJusquAuBout(fd, chemin, taille, octets, true);
    texte_ = std::move(octets);
    Decoupe();
}

void Table::Decoupe() {
    char* const base = texte_.data();
    std::size_t taille = texte_.size();
    if (const void* nul = taille ? std::memchr(base, '\0', taille) : nullptr) {
        taille = static_cast<std::size_t>(static_cast<const char*>(nul) - base);
    }
    // One slot per LF (and one for a last line without one) is the right count unless the file
    // uses lone CRs, which the vector then grows for.
    std::size_t lignes = 1;
    for (const char* p = base; p < base + taille;) {
        const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(base + taille - p));
        if (lf == nullptr) {
            break;
        }
        ++lignes;
        p = static_cast<const char*>(lf) + 1;
    }
    fins_.clear();
    fins_.shrink_to_fit();
    fins_.reserve(lignes);
    ConseillePagesGeantes(fins_.data(), lignes * sizeof(std::uint64_t));
    std::size_t lu = 0;    // next byte to read
    std::size_t ecrit = 0; // bytes of text kept so far (line ends removed)
    while (lu < taille) {
        // The line ends at the first CR or LF; look for LF first, then for a CR before it.
        const char* lf = static_cast<const char*>(std::memchr(base + lu, '\n', taille - lu));
        std::size_t fin = lf ? static_cast<std::size_t>(lf - base) : taille;
        if (const void* cr = std::memchr(base + lu, '\r', fin - lu)) {
            fin = static_cast<std::size_t>(static_cast<const char*>(cr) - base);
        }
        const std::size_t longueur = fin - lu;
        if (ecrit != lu && longueur > 0) {
            std::memmove(base + ecrit, base + lu, longueur);
        }
        ecrit += longueur;
        fins_.push_back(ecrit);
        if (fin == taille) {
            break;
        }
        lu = fin + 1;
        if (base[fin] == '\r' && lu < taille && base[lu] == '\n') {
            ++lu;
        }
    }
    texte_.resize(ecrit);
}

void Table::Permute(const std::vector<std::uint32_t>& ordre) {
    Table nouvelle;
    nouvelle.Reserve(fins_.size(), texte_.size());
    for (std::uint32_t k : ordre) {
        nouvelle.Ajoute((*this)[k]);
    }
    *this = std::move(nouvelle);
}

} // namespace sillage
