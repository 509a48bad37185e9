#include "vues/paires_infos.h"

#include "store/casse.h"

namespace sillage {

void PairesInfos::Ajoute(std::string_view ident, std::size_t lien) {
    const auto k = static_cast<std::int64_t>(liens_.size());
    liens_.push_back(lien);
    suivants_.push_back(-1);
    Chaine& c = Trouve(ident, true);
    if (c.queue < 0) {
        c.tete = k;
    } else {
        suivants_[static_cast<std::size_t>(c.queue)] = k;
        if (c.tete < 0) {
            c.tete = k;
        }
    }
    c.queue = k;
    ++restantes_;
}

std::int64_t PairesInfos::Prend(std::string_view ident) {
    Chaine& c = Trouve(ident, false);
    if (c.tete < 0) {
        return -1;
    }
    const auto k = static_cast<std::size_t>(c.tete);
    c.tete = suivants_[k];
    --restantes_;
    return static_cast<std::int64_t>(liens_[k]);
}

std::int64_t PairesInfos::Nombre(std::string_view s) const {
    if (s.empty() || s.size() > 9 || (s[0] == '0' && s.size() > 1)) {
        return -1;
    }
    std::int64_t v = 0;
    for (char ch : s) {
        if (ch < '0' || ch > '9') {
            return -1;
        }
        v = v * 10 + (ch - '0');
    }
    return static_cast<std::size_t>(v) < borne_ ? v : -1;
}

PairesInfos::Chaine& PairesInfos::Trouve(std::string_view ident, bool cree) {
    const std::int64_t v = Nombre(ident);
    if (v >= 0) {
        if (parNombre_.empty()) {
            if (!cree) {
                return absente_;
            }
            parNombre_.resize(borne_);
        }
        return parNombre_[static_cast<std::size_t>(v)];
    }
    std::string plie(ident);
    for (char& ch : plie) {
        ch = static_cast<char>(Minuscule(static_cast<unsigned char>(ch)));
    }
    if (!cree) {
        auto it = parTexte_.find(plie);
        return it == parTexte_.end() ? absente_ : it->second;
    }
    return parTexte_[plie];
}

} // namespace sillage
