// What the reading of an expression knows of its pieces (mots_requis.cpp): the texts a piece
// matches exactly, or words one of which every match holds, and how pieces combine.
#pragma once

#include <string>
#include <vector>

namespace sillage::mots {

// What the reading knows of a piece of an expression. exact: every text the piece matches is
// one of mots (a superset is allowed: it only makes the prefilter let more through). Otherwise
// mots is a set of words one of which every match holds; empty when nothing is known.
struct Savoir {
    bool exact = false;
    std::vector<std::string> mots;
};

// Nothing known; the empty string exactly; exactly one of mots.
Savoir Rien();
Savoir Vide();
Savoir Exact(std::vector<std::string> mots);
// Sorts mots and removes the repeated ones.
void Unique(std::vector<std::string>& mots);
// The words one of which every match holds: an exact set holding the empty string gives none.
std::vector<std::string> Requis(const Savoir& s);
// Pieces one after the other; one of branches; a piece repeated between min and max times (max
// -1: no bound).
Savoir Suite(const std::vector<Savoir>& pieces);
Savoir Alternative(const std::vector<Savoir>& branches);
Savoir Repetition(const Savoir& s, int min, int max);

} // namespace sillage::mots
