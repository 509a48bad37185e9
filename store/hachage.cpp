#include "store/hachage.h"

#include <bit>
#include <stdexcept>

namespace sillage {

void HachagePositions::Efface() {
    cases_.clear();
    cases_.shrink_to_fit();
    masque_ = 0;
    decalage_ = 32;
    taille_ = 0;
}

void HachagePositions::Reserve(std::size_t n) {
    std::size_t capacite = 16;
    while (capacite < n * 2) {
        capacite *= 2;
    }
    if (capacite > cases_.size()) {
        Agrandit(capacite);
    }
}

void HachagePositions::Agrandit(std::size_t capacite) {
    // A slot is numbered by 32 bits of the hash at most.
    if (capacite > (std::size_t{1} << 32)) {
        throw std::length_error("HachagePositions");
    }
    std::vector<Case> anciennes;
    anciennes.swap(cases_);
    cases_.assign(capacite, Case{0, 0});
    masque_ = capacite - 1;
    decalage_ = 32 - static_cast<unsigned>(std::countr_zero(capacite));
    for (const Case& c : anciennes) {
        if (c.position == 0) {
            continue;
        }
        std::size_t i = Place(c.signe);
        while (cases_[i].position != 0) {
            i = (i + 1) & masque_;
        }
        cases_[i] = c;
    }
}

void HachagePositions::Insere(std::uint64_t h, std::uint32_t position) {
    if ((taille_ + 1) * 2 > cases_.size()) {
        Agrandit(cases_.empty() ? 16 : cases_.size() * 2);
    }
    std::size_t i = Place(Signe(h));
    while (cases_[i].position != 0) {
        i = (i + 1) & masque_;
    }
    cases_[i] = Case{position + 1, Signe(h)};
    ++taille_;
}

} // namespace sillage
