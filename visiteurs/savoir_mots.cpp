#include "visiteurs/savoir_mots.h"

#include <algorithm>
#include <cstddef>

namespace sillage::mots {

namespace {

// Bounds that keep the reading small: exact sets beyond kMaxExacts strings stop being exact,
// requirement sets beyond kMaxUnion words are dropped (an alternation of that many words filters
// little anyway).
constexpr std::size_t kMaxExacts = 16;
constexpr std::size_t kMaxUnion = 1024;

} // namespace

Savoir Rien() {
    return {};
}
Savoir Exact(std::vector<std::string> mots) {
    return {true, std::move(mots)};
}
Savoir Vide() {
    return Exact({std::string()});
}

void Unique(std::vector<std::string>& mots) {
    std::sort(mots.begin(), mots.end());
    mots.erase(std::unique(mots.begin(), mots.end()), mots.end());
}

// The words one of which every match holds: an exact set holding the empty string gives none.
std::vector<std::string> Requis(const Savoir& s) {
    if (s.exact && std::find(s.mots.begin(), s.mots.end(), std::string()) != s.mots.end()) {
        return {};
    }
    return s.mots;
}

namespace {

// How well a requirement set filters: its shortest word's length (longer words are rarer),
// -1 for no requirement.
int Valeur(const std::vector<std::string>& mots) {
    if (mots.empty()) {
        return -1;
    }
    std::size_t plusCourt = mots[0].size();
    for (const std::string& m : mots) {
        plusCourt = std::min(plusCourt, m.size());
    }
    return static_cast<int>(plusCourt);
}

// Keeps in meilleur the better of the two requirement sets.
void Garde(std::vector<std::string>& meilleur, std::vector<std::string> candidat) {
    const int v = Valeur(candidat), w = Valeur(meilleur);
    if (v > w || (v == w && v >= 0 && candidat.size() < meilleur.size())) {
        meilleur = std::move(candidat);
    }
}

std::vector<std::string> Produit(const std::vector<std::string>& a,
                                 const std::vector<std::string>& b) {
    std::vector<std::string> p;
    p.reserve(a.size() * b.size());
    for (const std::string& x : a) {
        for (const std::string& y : b) {
            p.push_back(x + y);
        }
    }
    Unique(p);
    return p;
}

} // namespace

// Pieces one after the other: runs of exact pieces are joined into longer words; the result is
// exact when every piece is and the joined set stays small, else the best requirement found.
Savoir Suite(const std::vector<Savoir>& pieces) {
    std::vector<std::string> courant = {std::string()};
    std::vector<std::string> meilleur;
    bool exact = true;
    for (const Savoir& p : pieces) {
        if (p.exact && courant.size() * p.mots.size() <= kMaxExacts) {
            courant = Produit(courant, p.mots);
            continue;
        }
        exact = false;
        Garde(meilleur, Requis(Exact(courant)));
        if (p.exact) {
            courant = p.mots;
        } else {
            Garde(meilleur, p.mots);
            courant = {std::string()};
        }
    }
    if (exact) {
        return Exact(std::move(courant));
    }
    Garde(meilleur, Requis(Exact(courant)));
    return {false, std::move(meilleur)};
}

// Branches of an alternation: exact when every branch is and the union stays small; else every
// branch's requirement joined (a branch without one leaves the whole without one).
Savoir Alternative(const std::vector<Savoir>& branches) {
    bool exact = true;
    std::size_t total = 0;
    for (const Savoir& b : branches) {
        exact = exact && b.exact;
        total += b.mots.size();
    }
    if (exact && total <= kMaxExacts) {
        std::vector<std::string> u;
        for (const Savoir& b : branches) {
            u.insert(u.end(), b.mots.begin(), b.mots.end());
        }
        Unique(u);
        return Exact(std::move(u));
    }
    std::vector<std::string> u;
    for (const Savoir& b : branches) {
        std::vector<std::string> r = Requis(b);
        if (r.empty()) {
            return Rien();
        }
        u.insert(u.end(), r.begin(), r.end());
        if (u.size() > kMaxUnion) {
            return Rien();
        }
    }
    Unique(u);
    return {false, std::move(u)};
}

// A piece repeated between min and max times (max -1: no bound).
Savoir Repetition(const Savoir& s, int min, int max) {
    if (min == 0) {
        if (max == 1 && s.exact) {
            std::vector<std::string> u = s.mots;
            u.push_back(std::string());
            Unique(u);
            return Exact(std::move(u));
        }
        return Rien();
    }
    if (s.exact && min == max && min <= 4) {
        std::vector<Savoir> copies(static_cast<std::size_t>(min), s);
        return Suite(copies);
    }
    return {false, Requis(s)};
}

} // namespace sillage::mots
