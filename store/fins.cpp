#include "store/fins.h"

#include "store/memoire.h"

#include <utility>

namespace sillage {

Fins::~Fins() {
    RealloueMemoire(octets_, capacite_ * Largeur(), 0);
}

Fins::Fins(const Fins& autre) : larges_(autre.larges_) {
    if (autre.taille_ > 0) {
        Realloue(autre.taille_);
        std::memcpy(octets_, autre.octets_, autre.taille_ * Largeur());
        taille_ = autre.taille_;
    }
}

Fins& Fins::operator=(const Fins& autre) {
    if (this != &autre) {
        Fins copie(autre);
        *this = std::move(copie);
    }
    return *this;
}

Fins::Fins(Fins&& autre) noexcept
    : octets_(std::exchange(autre.octets_, nullptr)), taille_(std::exchange(autre.taille_, 0)),
      capacite_(std::exchange(autre.capacite_, 0)), larges_(std::exchange(autre.larges_, false)) {}

Fins& Fins::operator=(Fins&& autre) noexcept {
    if (this != &autre) {
        RealloueMemoire(octets_, capacite_ * Largeur(), 0);
        octets_ = std::exchange(autre.octets_, nullptr);
        taille_ = std::exchange(autre.taille_, 0);
        capacite_ = std::exchange(autre.capacite_, 0);
        larges_ = std::exchange(autre.larges_, false);
    }
    return *this;
}

void Fins::Realloue(std::size_t capacite) {
    octets_ = static_cast<unsigned char*>(
        RealloueMemoire(octets_, capacite_ * Largeur(), capacite * Largeur()));
    capacite_ = capacite;
    if (capacite == 0) {
        larges_ = false;
    }
}

void Fins::Elargit() {
    const std::size_t capacite = capacite_ < 16 ? 16 : capacite_;
    auto* larges = static_cast<unsigned char*>(RealloueMemoire(nullptr, 0, capacite * 8));
    for (std::size_t i = 0; i < taille_; ++i) {
        const std::uint64_t v = (*this)[i];
        std::memcpy(larges + 8 * i, &v, 8);
    }
    RealloueMemoire(octets_, capacite_ * 4, 0);
    octets_ = larges;
    capacite_ = capacite;
    larges_ = true;
}

void Fins::resize(std::size_t n) {
    reserve(n);
    if (n > taille_) {
        std::memset(octets_ + taille_ * Largeur(), 0, (n - taille_) * Largeur());
    }
    taille_ = n;
}

void Fins::shrink_to_fit() {
    if (capacite_ != taille_) {
        Realloue(taille_);
    }
}

bool Fins::operator==(const Fins& autre) const {
    if (taille_ != autre.taille_) {
        return false;
    }
    if (larges_ == autre.larges_) {
        return taille_ == 0 || std::memcmp(octets_, autre.octets_, taille_ * Largeur()) == 0;
    }
    for (std::size_t i = 0; i < taille_; ++i) {
        if ((*this)[i] != autre[i]) {
            return false;
        }
    }
    return true;
}

} // namespace sillage
