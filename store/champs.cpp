#include "store/champs.h"

#include "store/erreur.h"

#include <charconv>
#include <cstring>
#include <limits>

namespace sillage {

Etiquette::Etiquette(int n) {
    texte[0] = '\\';
    auto [fin, ec] = std::to_chars(texte + 1, texte + sizeof texte - 1, n);
    (void)ec;
    *fin = ';';
    longueur = static_cast<std::size_t>(fin + 1 - texte);
}

namespace {

// True when the tag e stands at texte[i] (where a backslash stands).
bool EtiquetteEn(const char* texte, std::size_t taille, std::size_t i, const Etiquette& e) {
    if (taille - i < e.longueur) {
        return false;
    }
    for (std::size_t k = 1; k < e.longueur; ++k) {
        if (texte[i + k] != e.texte[k]) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string_view ExtraitChamp(std::string_view ligne, int n) {
    const Etiquette debut(n);
    const Etiquette suite(n + 1);
    // The first occurrence of each tag, found in one pass over the backslashes every tag starts
    // with.
    constexpr std::size_t npos = std::string_view::npos;
    std::size_t ps = npos;
    std::size_t pe = npos;
    const char* const texte = ligne.data();
    const std::size_t octets = ligne.size();
    for (std::size_t i = 0; i < octets && (ps == npos || pe == npos); ++i) {
        const void* barre = std::memchr(texte + i, '\\', octets - i);
        if (barre == nullptr) {
            break;
        }
        i = static_cast<std::size_t>(static_cast<const char*>(barre) - texte);
        if (ps == npos && EtiquetteEn(texte, octets, i, debut)) {
            ps = i;
        }
        if (pe == npos && EtiquetteEn(texte, octets, i, suite)) {
            pe = i;
        }
    }
    // Positions counted from 1, 0 when absent, as in the rule this follows.
    const std::int64_t s = ps == std::string_view::npos ? 0 : static_cast<std::int64_t>(ps) + 1;
    const std::int64_t e = pe == std::string_view::npos ? 0 : static_cast<std::int64_t>(pe) + 1;
    const std::int64_t l = static_cast<std::int64_t>(debut.longueur);
    std::int64_t depart = s + l;
    const std::int64_t longueur = e - s - l;
    if (longueur <= 0) {
        return {};
    }
    if (depart < 1) {
        depart = 1;
    }
    const auto taille = static_cast<std::int64_t>(ligne.size());
    if (depart > taille) {
        return {};
    }
    const std::int64_t reste = taille - depart + 1;
    return ligne.substr(static_cast<std::size_t>(depart - 1),
                        static_cast<std::size_t>(longueur < reste ? longueur : reste));
}

bool EssaieEntier(std::string_view texte, std::int32_t& valeur) {
    std::size_t i = 0;
    const bool negatif = !texte.empty() && texte[0] == '-';
    if (negatif) {
        i = 1;
    }
    if (i == texte.size()) {
        return false;
    }
    std::int64_t v = 0;
    for (; i < texte.size(); ++i) {
        const unsigned c = static_cast<unsigned char>(texte[i]) - '0';
        if (c > 9) {
            return false;
        }
        v = v * 10 + c;
        if (v > static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1) {
            return false;
        }
    }
    if (negatif) {
        v = -v;
    }
    if (v > std::numeric_limits<std::int32_t>::max()) {
        return false;
    }
    valeur = static_cast<std::int32_t>(v);
    return true;
}

std::int32_t ConvertitEntier(std::string_view texte) {
    std::int32_t v = 0;
    if (!EssaieEntier(texte, v)) {
        LeveErreurEntier(texte);
    }
    return v;
}

void AjouteEntier(std::string& s, std::int64_t v) {
    char tampon[24];
    auto [fin, ec] = std::to_chars(tampon, tampon + sizeof tampon, v);
    (void)ec;
    s.append(tampon, fin);
}

std::size_t ChiffresEntier(std::int64_t v) {
    std::size_t n = v < 0 ? 2 : 1;
    std::uint64_t u =
        v < 0 ? static_cast<std::uint64_t>(-(v + 1)) + 1 : static_cast<std::uint64_t>(v);
    while (u >= 10) {
        u /= 10;
        ++n;
    }
    return n;
}

void AjouteEtiquette(std::string& s, int n) {
    s += '\\';
    AjouteEntier(s, n);
    s += ';';
}

} // namespace sillage
