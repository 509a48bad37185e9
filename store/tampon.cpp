#include "store/tampon.h"

#include "store/memoire.h"

#include <cstring>
#include <utility>

namespace sillage {

Tampon::~Tampon() {
    RealloueMemoire(octets_, capacite_, 0);
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
        RealloueMemoire(octets_, capacite_, 0);
        octets_ = std::exchange(autre.octets_, nullptr);
        taille_ = std::exchange(autre.taille_, 0);
        capacite_ = std::exchange(autre.capacite_, 0);
    }
    return *this;
}

void Tampon::Realloue(std::size_t capacite) {
    octets_ = static_cast<char*>(RealloueMemoire(octets_, capacite_, capacite));
    capacite_ = capacite;
}

void Tampon::reserve(std::size_t n) {
    if (n > capacite_) {
        Realloue(n);
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
