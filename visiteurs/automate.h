// An automaton that finds, in one pass over a text, which words of a fixed set it holds
// (Aho-Corasick), letters A-Z of the text folded to a-z.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sillage {

class Automate {
  public:
    // The words, already folded (MinusculesAscii); word k is reported as k. Empty words are
    // never reported.
    explicit Automate(const std::vector<std::string>& mots = {});

    // Calls trouve(k) for each occurrence in texte of each word k (a word may be reported more
    // than once).
    template <class Trouve> void Parcourt(std::string_view texte, Trouve&& trouve) const {
        std::uint32_t etat = 0;
        for (const char c : texte) {
            etat = Suivant(etat, Plie(static_cast<unsigned char>(c)));
            for (std::uint32_t s = etat; s != kAucun; s = noeuds_[s].sortieSuivante) {
                for (std::uint32_t k = noeuds_[s].premierMot; k < noeuds_[s].finMots; ++k) {
                    trouve(mots_[k]);
                }
            }
        }
    }

    std::size_t Noeuds() const { return noeuds_.size(); }

  private:
    static constexpr std::uint32_t kAucun = 0xFFFFFFFFu;
    static unsigned char Plie(unsigned char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
    }
    struct Noeud {
        std::uint32_t premierFils = 0, finFils = 0; // in fils_, sorted by byte
        std::uint32_t echec = 0;                    // longest proper suffix in the trie
        std::uint32_t sortieSuivante = kAucun;      // next suffix state that ends words
        std::uint32_t premierMot = 0, finMots = 0;  // in mots_: the words ending here
    };
    struct Fils {
        unsigned char octet;
        std::uint32_t noeud;
    };
    // The child of state s by byte c, kAucun when there is none.
    std::uint32_t Enfant(std::uint32_t s, unsigned char c) const;
    std::uint32_t Suivant(std::uint32_t s, unsigned char c) const {
        for (;;) {
            if (s == 0) {
                return racine_[c];
            }
            const std::uint32_t e = Enfant(s, c);
            if (e != kAucun) {
                return e;
            }
            s = noeuds_[s].echec;
        }
    }

    std::vector<Noeud> noeuds_;
    std::vector<Fils> fils_;
    std::vector<std::uint32_t> mots_;
    std::uint32_t racine_[256] = {}; // the root's move for every byte (0: stay at the root)
};

} // namespace sillage
