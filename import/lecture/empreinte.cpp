#include "import/lecture/empreinte.h"

namespace sillage {

namespace {

std::uint64_t Mot(const unsigned char* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

} // namespace

void Empreinte::Ajoute(std::string_view octets) {
    if (octets.empty()) {
        return;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(octets.data());
    std::size_t n = octets.size();
    total_ += n;
    if (nReste_ > 0) {
        const std::size_t k = n < 8 - nReste_ ? n : 8 - nReste_;
        std::memcpy(reste_ + nReste_, p, k);
        nReste_ += k;
        p += k;
        n -= k;
        if (nReste_ < 8) {
            return;
        }
        Melange(Mot(reste_));
        nReste_ = 0;
    }
    for (; n >= 8; p += 8, n -= 8) {
        Melange(Mot(p));
    }
    if (n > 0) {
        std::memcpy(reste_, p, n);
        nReste_ = n;
    }
}

std::uint64_t Empreinte::Valeur() const {
    Empreinte copie = *this;
    std::uint64_t dernier = 0;
    std::memcpy(&dernier, reste_, nReste_);
    copie.Melange(dernier ^ (static_cast<std::uint64_t>(nReste_) << 56));
    copie.Melange(total_);
    std::uint64_t h = copie.etat_;
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    return h;
}

} // namespace sillage
