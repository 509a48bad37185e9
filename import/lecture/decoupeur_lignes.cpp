#include "import/lecture/decoupeur_lignes.h"

namespace sillage {

void DecoupeurLignes::Recommence(std::int64_t origine) {
    origine_ = origine;
    debut_ = fin_ = debutLigne_ = 0;
    nul_ = std::string::npos;
    nulLigne_ = false;
    fini_ = false;
    saute_ = sauteEnCours_ = 0;
    tropLongue_ = false;
}

void DecoupeurLignes::Resserre(std::size_t jusque) {
    const std::size_t tete = debut_ + kOctetsQueue;
    const std::size_t queue = jusque - kOctetsQueue;
    const std::size_t passes = queue - tete;
    std::memmove(tampon_.data() + tete, tampon_.data() + queue, fin_ - queue);
    fin_ -= passes;
    // The offsets of what follows stay those of the stream (Position counts from origine_).
    origine_ += static_cast<std::int64_t>(passes);
    sauteEnCours_ += static_cast<std::int64_t>(passes);
    if (nul_ != std::string::npos) {
        // A NUL passed over belongs to this line, which is unreadable anyway: the next one is
        // looked for again once the line is given.
        nul_ = nul_ >= queue ? nul_ - passes : (nul_ >= tete ? debut_ : nul_);
    }
}

} // namespace sillage
