#include "visiteurs/mots_requis.h"

#include "visiteurs/savoir_mots.h"

#include <algorithm>
#include <bitset>
#include <cstdint>
#include <optional>

namespace sillage {

namespace {

using namespace mots;

char Plie(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c);
}

// The reading: a recursive descent over the PCRE2 syntax. Anything it does not know makes it
// give up (Echec), which leaves the expression without words.
class Lecteur {
  public:
    explicit Lecteur(std::string_view motif) : m_(motif) {}

    std::optional<Savoir> Lit() {
        std::optional<Savoir> s = Alternation();
        if (!s || i_ != m_.size()) {
            return std::nullopt;
        }
        return s;
    }

  private:
    bool Fin() const { return i_ >= m_.size(); }
    char Voit() const { return m_[i_]; }

    std::optional<Savoir> Alternation() {
        std::vector<Savoir> branches;
        for (;;) {
            std::optional<Savoir> b = Sequence();
            if (!b) {
                return std::nullopt;
            }
            branches.push_back(std::move(*b));
            if (Fin() || Voit() != '|') {
                break;
            }
            ++i_;
        }
        return branches.size() == 1 ? branches[0] : Alternative(branches);
    }

    std::optional<Savoir> Sequence() {
        std::vector<Savoir> pieces;
        while (!Fin() && Voit() != '|' && Voit() != ')') {
            std::optional<Savoir> a = Atome();
            if (!a) {
                return std::nullopt;
            }
            int min = 1, max = 1;
            if (!Quantificateur(min, max)) {
                return std::nullopt;
            }
            pieces.push_back(min == 1 && max == 1 ? std::move(*a) : Repetition(*a, min, max));
        }
        return Suite(pieces);
    }

    // A quantifier after an atom, with its lazy or possessive mark; false on a quantifier that
    // follows nothing it can repeat.
    bool Quantificateur(int& min, int& max) {
        if (Fin()) {
            return true;
        }
        const char c = Voit();
        if (c == '*') {
            min = 0, max = -1;
        } else if (c == '+') {
            min = 1, max = -1;
        } else if (c == '?') {
            min = 0, max = 1;
        } else if (c == '{') {
            if (!Accolades(min, max)) {
                return true; // not a quantifier: a literal brace, read as the next atom
            }
            --i_; // Accolades stopped after the closing brace; the common step below passes it
        } else {
            return true;
        }
        ++i_;
        if (!Fin() && (Voit() == '?' || Voit() == '+')) {
            ++i_;
        }
        if (!Fin() && (Voit() == '*' || Voit() == '+' || Voit() == '?')) {
            return false;
        }
        return true;
    }

    // {n}, {n,} or {n,m} at i_: true and i_ past it; false (i_ unchanged) when the brace starts
    // no quantifier.
    bool Accolades(int& min, int& max) {
        std::size_t j = i_ + 1;
        auto nombre = [&](int& v) {
            const std::size_t d = j;
            v = 0;
            while (j < m_.size() && m_[j] >= '0' && m_[j] <= '9' && j - d < 6) {
                v = v * 10 + (m_[j++] - '0');
            }
            return j > d;
        };
        int a = 0, b = 0;
        if (!nombre(a)) {
            return false;
        }
        if (j < m_.size() && m_[j] == '}') {
            min = max = a;
        } else if (j < m_.size() && m_[j] == ',') {
            ++j;
            if (j < m_.size() && m_[j] == '}') {
                min = a, max = -1;
            } else if (nombre(b) && j < m_.size() && m_[j] == '}') {
                min = a, max = b;
            } else {
                return false;
            }
        } else {
            return false;
        }
        i_ = j + 1;
        return true;
    }

    std::optional<Savoir> Atome() {
        const char c = m_[i_++];
        switch (c) {
        case '(':
            return Groupe();
        case '[':
            return Classe();
        case '\\':
            return Echappement();
        case '.':
            return Rien();
        case '^':
        case '$':
            return Vide();
        case '*':
        case '+':
        case '?':
            return std::nullopt;
        default:
            return Exact({std::string(1, Plie(static_cast<unsigned char>(c)))});
        }
    }

    std::optional<Savoir> Groupe() {
        bool autour = false; // a lookaround: zero width
        if (!Fin() && Voit() == '*') {
            return std::nullopt; // a verb
        }
        if (!Fin() && Voit() == '?') {
            ++i_;
            if (Fin()) {
                return std::nullopt;
            }
            const char c = m_[i_];
            if (c == ':' || c == '|' || c == '>') {
                ++i_;
            } else if (c == '=' || c == '!') {
                ++i_, autour = true;
            } else if (c == '<' && i_ + 1 < m_.size() && (m_[i_ + 1] == '=' || m_[i_ + 1] == '!')) {
                i_ += 2, autour = true;
            } else if (c == '#') {
                const std::size_t f = m_.find(')', i_);
                if (f == std::string_view::npos) {
                    return std::nullopt;
                }
                i_ = f + 1;
                return Vide();
            } else if (c == '<' || c == '\'' ||
                       (c == 'P' && i_ + 1 < m_.size() && m_[i_ + 1] == '<')) {
                const char fin = c == '\'' ? '\'' : '>';
                const std::size_t f = m_.find(fin, i_ + 1);
                if (f == std::string_view::npos) {
                    return std::nullopt;
                }
                i_ = f + 1;
            } else {
                // Option settings: (?i), (?-i), (?i:...). Extended mode changes what blanks
                // mean, so the reading gives up on it.
                std::size_t j = i_;
                while (j < m_.size() &&
                       std::string_view("imnsUJ-^").find(m_[j]) != std::string_view::npos) {
                    ++j;
                }
                if (j == i_ || j >= m_.size() || (m_[j] != ')' && m_[j] != ':')) {
                    return std::nullopt;
                }
                i_ = j + 1;
                if (m_[j] == ')') {
                    return Vide();
                }
            }
        }
        std::optional<Savoir> dedans = Alternation();
        if (!dedans || Fin() || Voit() != ')') {
            return std::nullopt;
        }
        ++i_;
        return autour ? Vide() : dedans;
    }

    // A byte given by an escape that stands for one character (\t, \x41, \. ...), or -1 when
    // the escape is something else; i_ is past the escape's letter.
    int OctetEchappe(char c) {
        switch (c) {
        case 't':
            return '\t';
        case 'n':
            return '\n';
        case 'r':
            return '\r';
        case 'f':
            return '\f';
        case 'e':
            return 0x1B;
        case 'a':
            return 0x07;
        case 'x': {
            int v = 0, n = 0;
            if (!Fin() && Voit() == '{') {
                const std::size_t f = m_.find('}', i_);
                if (f == std::string_view::npos || f - i_ > 3) {
                    return -2;
                }
                for (std::size_t j = i_ + 1; j < f; ++j) {
                    const int h = Hexa(m_[j]);
                    if (h < 0) {
                        return -2;
                    }
                    v = v * 16 + h;
                }
                i_ = f + 1;
                return v;
            }
            while (n < 2 && !Fin() && Hexa(Voit()) >= 0) {
                v = v * 16 + Hexa(m_[i_++]);
                ++n;
            }
            return v;
        }
        default:
            break;
        }
        const unsigned char u = static_cast<unsigned char>(c);
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9')) {
            return -1;
        }
        return u; // an escaped punctuation sign or byte stands for itself
    }

    static int Hexa(char c) {
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        if (c >= 'a' && c <= 'f') {
            return c - 'a' + 10;
        }
        if (c >= 'A' && c <= 'F') {
            return c - 'A' + 10;
        }
        return -1;
    }

    std::optional<Savoir> Echappement() {
        if (Fin()) {
            return std::nullopt;
        }
        const char c = m_[i_++];
        if (std::string_view("dDwWsShHvVRNX").find(c) != std::string_view::npos) {
            return Rien();
        }
        if (std::string_view("bBAzZGK").find(c) != std::string_view::npos) {
            return Vide();
        }
        if (c >= '1' && c <= '9') {
            return Rien(); // a back-reference
        }
        if (c == 'Q') {
            const std::size_t f = m_.find("\\E", i_);
            const std::size_t fin = f == std::string_view::npos ? m_.size() : f;
            std::string mot(m_.substr(i_, fin - i_));
            MinusculesAscii(mot);
            i_ = f == std::string_view::npos ? m_.size() : f + 2;
            return Exact({std::move(mot)});
        }
        if (c == 'E') {
            return Vide();
        }
        const int o = OctetEchappe(c);
        if (o < 0) {
            return std::nullopt;
        }
        return Exact({std::string(1, Plie(static_cast<unsigned char>(o)))});
    }

    // A bracketed class: exact when it holds few bytes once folded, else nothing known.
    std::optional<Savoir> Classe() {
        std::bitset<256> octets;
        bool large = false;
        bool nie = false;
        if (!Fin() && Voit() == '^') {
            nie = true, ++i_;
        }
        bool premier = true;
        int precedent = -1; // the last single byte read, for a range
        while (!Fin() && (Voit() != ']' || premier)) {
            premier = false;
            int o;
            const char c = m_[i_++];
            if (c == '[' && !Fin() && Voit() == ':') {
                const std::size_t f = m_.find(":]", i_);
                if (f == std::string_view::npos) {
                    return std::nullopt;
                }
                i_ = f + 2;
                large = true, precedent = -1;
                continue;
            }
            if (c == '\\') {
                if (Fin()) {
                    return std::nullopt;
                }
                const char e = m_[i_++];
                if (std::string_view("dDwWsShHvVpPN").find(e) != std::string_view::npos) {
                    if (e == 'p' || e == 'P') {
                        return std::nullopt;
                    }
                    large = true, precedent = -1;
                    continue;
                }
                o = e == 'b' ? 0x08 : OctetEchappe(e);
                if (o < 0) {
                    return std::nullopt;
                }
            } else if (c == '-' && precedent >= 0 && !Fin() && Voit() != ']') {
                int fin;
                const char d = m_[i_++];
                if (d == '\\') {
                    if (Fin()) {
                        return std::nullopt;
                    }
                    fin = OctetEchappe(m_[i_++]);
                    if (fin < 0) {
                        return std::nullopt;
                    }
                } else {
                    fin = static_cast<unsigned char>(d);
                }
                for (int k = precedent; k <= fin; ++k) {
                    octets.set(static_cast<std::size_t>(k));
                }
                precedent = -1;
                continue;
            } else {
                o = static_cast<unsigned char>(c);
            }
            octets.set(static_cast<std::size_t>(o));
            precedent = o;
        }
        if (Fin()) {
            return std::nullopt;
        }
        ++i_; // the closing bracket
        if (nie || large) {
            return Rien();
        }
        std::vector<std::string> mots;
        for (int k = 0; k < 256; ++k) {
            if (octets.test(static_cast<std::size_t>(k))) {
                mots.emplace_back(1, Plie(static_cast<unsigned char>(k)));
            }
        }
        Unique(mots);
        if (mots.empty() || mots.size() > 4) {
            return Rien();
        }
        return Exact(std::move(mots));
    }

    std::string_view m_;
    std::size_t i_ = 0;
};

} // namespace

void MinusculesAscii(std::string& texte) {
    for (char& c : texte) {
        c = Plie(static_cast<unsigned char>(c));
    }
}

std::vector<std::string> MotsRequis(std::string_view motif) {
    std::optional<Savoir> s = Lecteur(motif).Lit();
    if (!s) {
        return {};
    }
    return Requis(*s);
}

} // namespace sillage
