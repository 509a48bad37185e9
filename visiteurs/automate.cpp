#include "visiteurs/automate.h"

#include <algorithm>
#include <deque>
#include <map>

namespace sillage {

Automate::Automate(const std::vector<std::string>& mots) {
    // The trie, built with maps, then laid out flat.
    std::vector<std::map<unsigned char, std::uint32_t>> enfants(1);
    std::vector<std::vector<std::uint32_t>> finissants(1);
    for (std::size_t k = 0; k < mots.size(); ++k) {
        if (mots[k].empty()) {
            continue;
        }
        std::uint32_t s = 0;
        for (const char c : mots[k]) {
            const unsigned char o = Plie(static_cast<unsigned char>(c));
            auto it = enfants[s].find(o);
            if (it == enfants[s].end()) {
                const auto n = static_cast<std::uint32_t>(enfants.size());
                enfants[s].emplace(o, n);
                enfants.emplace_back();
                finissants.emplace_back();
                s = n;
            } else {
                s = it->second;
            }
        }
        finissants[s].push_back(static_cast<std::uint32_t>(k));
    }
    noeuds_.resize(enfants.size());
    for (std::size_t s = 0; s < enfants.size(); ++s) {
        Noeud& n = noeuds_[s];
        n.premierFils = static_cast<std::uint32_t>(fils_.size());
        for (const auto& [o, e] : enfants[s]) {
            fils_.push_back({o, e});
        }
        n.finFils = static_cast<std::uint32_t>(fils_.size());
        n.premierMot = static_cast<std::uint32_t>(mots_.size());
        mots_.insert(mots_.end(), finissants[s].begin(), finissants[s].end());
        n.finMots = static_cast<std::uint32_t>(mots_.size());
    }
    for (const auto& [o, e] : enfants[0]) {
        racine_[o] = e;
    }
    // Failure links, breadth first: a state's link is found from its parent's.
    std::deque<std::uint32_t> file;
    for (const auto& [o, e] : enfants[0]) {
        noeuds_[e].echec = 0;
        file.push_back(e);
    }
    while (!file.empty()) {
        const std::uint32_t s = file.front();
        file.pop_front();
        const std::uint32_t lien = noeuds_[s].echec;
        noeuds_[s].sortieSuivante =
            noeuds_[lien].finMots > noeuds_[lien].premierMot ? lien : noeuds_[lien].sortieSuivante;
        if (lien == 0) {
            noeuds_[s].sortieSuivante = kAucun;
        }
        for (const auto& [o, e] : enfants[s]) {
            noeuds_[e].echec = s == 0 ? 0 : Suivant(lien, o);
            if (noeuds_[e].echec == e) {
                noeuds_[e].echec = 0;
            }
            file.push_back(e);
        }
    }
}

std::uint32_t Automate::Enfant(std::uint32_t s, unsigned char c) const {
    const Noeud& n = noeuds_[s];
    const Fils* debut = fils_.data() + n.premierFils;
    const Fils* fin = fils_.data() + n.finFils;
    if (n.finFils - n.premierFils <= 8) {
        for (const Fils* f = debut; f != fin; ++f) {
            if (f->octet == c) {
                return f->noeud;
            }
        }
        return kAucun;
    }
    const Fils* f =
        std::lower_bound(debut, fin, c, [](const Fils& a, unsigned char b) { return a.octet < b; });
    return f != fin && f->octet == c ? f->noeud : kAucun;
}

} // namespace sillage
