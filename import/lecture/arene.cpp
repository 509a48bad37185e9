#include "import/lecture/arene.h"

#include <algorithm>
#include <cstring>

namespace sillage {

std::string_view Arene::Copie(std::string_view texte) {
    constexpr std::size_t kBloc = 256 * 1024;
    if (texte.size() > reste_) {
        const std::size_t taille = std::max(kBloc, texte.size());
        blocs_.push_back(std::make_unique_for_overwrite<char[]>(taille));
        if (blocs_.size() == 1) {
            taillePremier_ = taille;
        }
        courant_ = blocs_.back().get();
        reste_ = taille;
    }
    if (!texte.empty()) {
        std::memcpy(courant_, texte.data(), texte.size());
    }
    const std::string_view copie(courant_, texte.size());
    courant_ += texte.size();
    reste_ -= texte.size();
    return copie;
}

void Arene::Recommence() {
    if (blocs_.empty()) {
        return;
    }
    blocs_.resize(1);
    courant_ = blocs_[0].get();
    reste_ = taillePremier_;
}

} // namespace sillage
