// Regular expressions (PCRE2 with its JIT) over bytes, matched with bounds so that no expression
// can hold a thread for long, and sets of them tried in order behind a prefilter on their words.
#pragma once

#include "visiteurs/automate.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sillage {

// What a match captured: group k's text, empty when it took no part.
struct Groupes {
    std::array<std::string_view, 10> texte{};
    int nombre = 0; // groups 0..nombre-1 are set
};

// One compiled expression. Texts are bytes (no UTF-8 check), so any agent can be matched.
class Expression {
  public:
    // Compiles motif; on an invalid expression returns null and puts PCRE2's message (English)
    // and the offset of the error in erreur.
    static std::unique_ptr<Expression> Compile(std::string_view motif, bool sansCasse,
                                               std::string& erreur);
    ~Expression();
    Expression(const Expression&) = delete;
    Expression& operator=(const Expression&) = delete;

    // True when the expression matches somewhere in texte; groupes, when given, receives the
    // captures. A match that needs more than the bounds allow (a pathological expression on a
    // long text) counts as no match, and Abandons() grows.
    bool Cherche(std::string_view texte, Groupes* groupes = nullptr) const;
    // How many searches gave up on the bounds.
    std::uint64_t Abandons() const { return abandons_.load(std::memory_order_relaxed); }

  private:
    explicit Expression(void* code) : code_(code) {}
    void* code_; // pcre2_code
    mutable std::atomic<std::uint64_t> abandons_{0};
};

// Expressions tried in the order they were added; each one only on the texts that hold one of
// its required words (MotsRequis), so that a text meets few of a thousand expressions.
class JeuExpressions {
  public:
    // Adds an expression; false (and erreur set) when it does not compile. Its index is the
    // number of expressions added before it successfully.
    bool Ajoute(std::string_view motif, bool sansCasse, std::string& erreur);
    // Builds the prefilter; call after the last Ajoute and before any search.
    void Prepare();
    std::size_t Taille() const { return expressions_.size(); }

    // The expressions that may match texte (every one it holds a required word of, and every
    // one without words), in increasing order.
    void Candidates(std::string_view texte, std::vector<std::uint32_t>& sortie) const;
    // The index of the first expression that matches texte, -1 when none does; groupes
    // receives its captures.
    int Premiere(std::string_view texte, Groupes* groupes = nullptr) const;
    // Every expression that matches texte, in order.
    std::vector<std::uint32_t> Toutes(std::string_view texte) const;
    const Expression& operator[](std::size_t k) const { return *expressions_[k]; }
    // How many expressions have required words (the others are tried on every text).
    std::size_t Filtrees() const;
    // An expression that gave up n times on the bounds is no longer tried (0, the default:
    // always tried): one pathological expression then costs a few bounded searches in all.
    void FixeAbandonsMax(std::uint64_t n) { abandonsMax_ = n; }
    // True when expression k is no longer tried.
    bool Ecartee(std::size_t k) const {
        return abandonsMax_ > 0 && expressions_[k]->Abandons() >= abandonsMax_;
    }

  private:
    std::vector<std::unique_ptr<Expression>> expressions_;
    std::vector<std::vector<std::string>> motsParExpression_;
    std::vector<std::uint32_t> toujours_; // the expressions without words
    std::vector<std::vector<std::uint32_t>> expressionsParMot_;
    Automate automate_;
    std::uint64_t abandonsMax_ = 0;
};

} // namespace sillage
