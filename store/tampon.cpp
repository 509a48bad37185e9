#include "store/tampon.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/mman.h>
#include <utility>

namespace sillage {

void ConseillePagesGeantes(void* debut, std::size_t taille) {
#ifdef MADV_HUGEPAGE
    constexpr std::size_t kGrande = 2u << 20;
    if (taille < 2 * kGrande) {
        return;
    }
    const auto adresse = reinterpret_cast<std::uintptr_t>(debut);
    const std::uintptr_t premiere = (adresse + kGrande - 1) & ~(kGrande - 1);
    const std::uintptr_t fin = (adresse + taille) & ~(kGrande - 1);
    if (fin > premiere) {
        ::madvise(reinterpret_cast<void*>(premiere), fin - premiere, MADV_HUGEPAGE);
    }
#else
    (void)debut;
    (void)taille;
#endif
}

Tampon::~Tampon() {
    std::free(octets_);
}

Tampon::Tampon(const Tampon& autre) {
    reserve(autre.taille_);
    if (autre.taille_) {
        std::memcpy(octets_, autre.octets_, autre.taille_);
    }
    taille_ = autre.taille_;
}

Tampon& Tampon::operator=(const Tampon& autre) {
    if (this != &autre) {
        Tampon copie(autre);
        *this = std::move(copie);
    }
    return *this;
}

Tampon::Tampon(Tampon&& autre) noexcept
    : octets_(std::exchange(autre.octets_, nullptr)), taille_(std::exchange(autre.taille_, 0)),
      capacite_(std::exchange(autre.capacite_, 0)) {}

Tampon& Tampon::operator=(Tampon&& autre) noexcept {
    if (this != &autre) {
        std::free(octets_);
        octets_ = std::exchange(autre.octets_, nullptr);
        taille_ = std::exchange(autre.taille_, 0);
        capacite_ = std::exchange(autre.capacite_, 0);
    }
    return *this;
}

void Tampon::Realloue(std::size_t capacite) {
    if (capacite == 0) {
        std::free(octets_);
        octets_ = nullptr;
        capacite_ = 0;
        return;
    }
    void* p = std::realloc(octets_, capacite);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    octets_ = static_cast<char*>(p);
    capacite_ = capacite;
}

void Tampon::reserve(std::size_t n) {
    if (n > capacite_) {
        Realloue(n);
    }
}

void Tampon::ReserveGrand(std::size_t n) {
    if (n > capacite_) {
        const std::size_t avant = capacite_;
        Realloue(n);
        ConseillePagesGeantes(octets_ + avant, n - avant);
    }
}

void Tampon::resize(std::size_t n) {
    reserve(n);
    taille_ = n;
}

void Tampon::append(std::string_view texte) {
    if (texte.empty()) {
        return;
    }
    if (taille_ + texte.size() > capacite_) {
        std::size_t capacite = capacite_ < 64 ? 64 : capacite_ + capacite_ / 2;
        if (capacite < taille_ + texte.size()) {
            capacite = taille_ + texte.size();
        }
        Realloue(capacite);
    }
    std::memcpy(octets_ + taille_, texte.data(), texte.size());
    taille_ += texte.size();
}

void Tampon::shrink_to_fit() {
    if (capacite_ != taille_) {
        Realloue(taille_);
    }
}

bool Tampon::operator==(const Tampon& autre) const {
    return taille_ == autre.taille_ &&
           (taille_ == 0 || std::memcmp(octets_, autre.octets_, taille_) == 0);
}

} // namespace sillage
