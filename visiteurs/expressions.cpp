#include "visiteurs/expressions.h"

#include "visiteurs/mots_requis.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>

namespace sillage {

namespace {

// The bounds of one search: steps of the matcher (a few milliseconds of backtracking at most)
// and the JIT's stack.
constexpr std::uint32_t kLimiteCorrespondance = 100000;
constexpr std::size_t kPileJit = 1 << 20; // 1 MiB

// What each thread keeps for its searches: a match context with the bounds, its JIT stack and
// the captures.
struct Contexte {
    Contexte() {
        contexte = pcre2_match_context_create(nullptr);
        pile = pcre2_jit_stack_create(32 * 1024, kPileJit, nullptr);
        donnees = pcre2_match_data_create(20, nullptr);
        pcre2_set_match_limit(contexte, kLimiteCorrespondance);
        pcre2_set_depth_limit(contexte, kLimiteCorrespondance);
        pcre2_set_heap_limit(contexte, 20 * 1024); // in KiB, for the interpreter
        if (pile) {
            pcre2_jit_stack_assign(contexte, nullptr, pile);
        }
    }
    ~Contexte() {
        pcre2_match_data_free(donnees);
        pcre2_jit_stack_free(pile);
        pcre2_match_context_free(contexte);
    }
    Contexte(const Contexte&) = delete;
    Contexte& operator=(const Contexte&) = delete;
    pcre2_match_context* contexte;
    pcre2_jit_stack* pile;
    pcre2_match_data* donnees;
};

Contexte& ContexteDuFil() {
    thread_local Contexte c;
    return c;
}

} // namespace

std::unique_ptr<Expression> Expression::Compile(std::string_view motif, bool sansCasse,
                                                std::string& erreur) {
    int code = 0;
    PCRE2_SIZE position = 0;
    // Never UTF: an agent is bytes, and a (*UTF) at the start of an expression would make every
    // invalid sequence an error.
    const std::uint32_t options = PCRE2_NEVER_UTF | (sansCasse ? PCRE2_CASELESS : 0);
    pcre2_code* c = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(motif.data()), motif.size(), options,
                                  &code, &position, nullptr);
    if (!c) {
        PCRE2_UCHAR texte[256];
        pcre2_get_error_message(code, texte, sizeof texte);
        erreur = reinterpret_cast<const char*>(texte);
        erreur += " (position " + std::to_string(position + 1) + ")";
        return nullptr;
    }
    pcre2_jit_compile(c, PCRE2_JIT_COMPLETE); // without the JIT the interpreter matches
    return std::unique_ptr<Expression>(new Expression(c));
}

Expression::~Expression() {
    pcre2_code_free(static_cast<pcre2_code*>(code_));
}

bool Expression::Cherche(std::string_view texte, Groupes* groupes) const {
    Contexte& c = ContexteDuFil();
    // An empty view may have no address; the matcher wants one.
    static constexpr char kVide[] = "";
    const char* octets = texte.data() ? texte.data() : kVide;
    const int r =
        pcre2_match(static_cast<const pcre2_code*>(code_), reinterpret_cast<PCRE2_SPTR>(octets),
                    texte.size(), 0, 0, c.donnees, c.contexte);
    if (r < 0) {
        if (r == PCRE2_ERROR_MATCHLIMIT || r == PCRE2_ERROR_DEPTHLIMIT ||
            r == PCRE2_ERROR_HEAPLIMIT || r == PCRE2_ERROR_JIT_STACKLIMIT ||
            r == PCRE2_ERROR_NOMEMORY) {
            abandons_.fetch_add(1, std::memory_order_relaxed);
        }
        return false;
    }
    if (groupes) {
        const PCRE2_SIZE* v = pcre2_get_ovector_pointer(c.donnees);
        const int n = std::min<int>(r == 0 ? 10 : r, 10);
        *groupes = Groupes{};
        groupes->nombre = n;
        for (int k = 0; k < n; ++k) {
            const PCRE2_SIZE debut = v[2 * k], fin = v[2 * k + 1];
            if (debut != PCRE2_UNSET && fin >= debut && fin <= texte.size()) {
                groupes->texte[static_cast<std::size_t>(k)] = texte.substr(debut, fin - debut);
            }
        }
    }
    return true;
}

bool JeuExpressions::Ajoute(std::string_view motif, bool sansCasse, std::string& erreur) {
    std::unique_ptr<Expression> e = Expression::Compile(motif, sansCasse, erreur);
    if (!e) {
        return false;
    }
    expressions_.push_back(std::move(e));
    motsParExpression_.push_back(MotsRequis(motif));
    return true;
}

void JeuExpressions::Prepare() {
    std::vector<std::string> mots;
    expressionsParMot_.clear();
    toujours_.clear();
    std::vector<std::string> tries;
    for (const std::vector<std::string>& m : motsParExpression_) {
        tries.insert(tries.end(), m.begin(), m.end());
    }
    std::sort(tries.begin(), tries.end());
    tries.erase(std::unique(tries.begin(), tries.end()), tries.end());
    expressionsParMot_.resize(tries.size());
    for (std::size_t k = 0; k < motsParExpression_.size(); ++k) {
        const auto e = static_cast<std::uint32_t>(k);
        if (motsParExpression_[k].empty()) {
            toujours_.push_back(e);
            continue;
        }
        for (const std::string& m : motsParExpression_[k]) {
            const auto p = std::lower_bound(tries.begin(), tries.end(), m) - tries.begin();
            expressionsParMot_[static_cast<std::size_t>(p)].push_back(e);
        }
    }
    automate_ = Automate(tries);
}

void JeuExpressions::Candidates(std::string_view texte, std::vector<std::uint32_t>& sortie) const {
    // The candidates marked in a bit set, then read in increasing order: no sort, and a word
    // found several times costs nothing more.
    thread_local std::vector<std::uint64_t> bits;
    bits.assign((expressions_.size() + 63) / 64, 0);
    auto marque = [&](std::uint32_t e) { bits[e / 64] |= std::uint64_t{1} << (e % 64); };
    for (const std::uint32_t e : toujours_) {
        marque(e);
    }
    automate_.Parcourt(texte, [&](std::uint32_t mot) {
        for (const std::uint32_t e : expressionsParMot_[mot]) {
            marque(e);
        }
    });
    sortie.clear();
    for (std::size_t w = 0; w < bits.size(); ++w) {
        for (std::uint64_t b = bits[w]; b != 0; b &= b - 1) {
            sortie.push_back(
                static_cast<std::uint32_t>(w * 64 + static_cast<std::size_t>(__builtin_ctzll(b))));
        }
    }
}

int JeuExpressions::Premiere(std::string_view texte, Groupes* groupes) const {
    thread_local std::vector<std::uint32_t> candidates;
    Candidates(texte, candidates);
    for (const std::uint32_t k : candidates) {
        if (!Ecartee(k) && expressions_[k]->Cherche(texte, groupes)) {
            return static_cast<int>(k);
        }
    }
    return -1;
}

std::vector<std::uint32_t> JeuExpressions::Toutes(std::string_view texte) const {
    std::vector<std::uint32_t> candidates, trouvees;
    Candidates(texte, candidates);
    for (const std::uint32_t k : candidates) {
        if (!Ecartee(k) && expressions_[k]->Cherche(texte)) {
            trouvees.push_back(k);
        }
    }
    return trouvees;
}

std::size_t JeuExpressions::Filtrees() const {
    return expressions_.size() - toujours_.size();
}

} // namespace sillage
