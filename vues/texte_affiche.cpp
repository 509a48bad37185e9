#include "vues/texte_affiche.h"

#include "store/erreur.h"

#include <algorithm>

namespace sillage {

namespace {

bool Ascii(std::string_view texte) {
    return std::all_of(texte.begin(), texte.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

int ValeurHexa(char c) {
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

} // namespace

bool EstUtf8MultiOctets(std::string_view octets) {
    bool multi = false;
    const auto* p = reinterpret_cast<const unsigned char*>(octets.data());
    const unsigned char* const fin = p + octets.size();
    while (p < fin) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        // The length of the sequence and the range its second byte must fall in (which rules
        // out overlong forms, surrogates and what lies beyond U+10FFFF).
        int n = 0;
        unsigned char bas = 0x80, haut = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            n = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            n = 3;
            bas = c == 0xE0 ? 0xA0 : 0x80;
            haut = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            n = 4;
            bas = c == 0xF0 ? 0x90 : 0x80;
            haut = c == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (fin - p < n || p[1] < bas || p[1] > haut) {
            return false;
        }
        for (int k = 2; k < n; ++k) {
            if ((p[k] & 0xC0) != 0x80) {
                return false;
            }
        }
        p += n;
        multi = true;
    }
    return multi;
}

std::string TexteAffiche(std::string_view octets) {
    std::string texte;
    texte.reserve(octets.size());
    AjouteTexteAffiche(texte, octets);
    return texte;
}

void AjouteTexteAffiche(std::string& sortie, std::string_view octets) {
    if (Ascii(octets) || EstUtf8MultiOctets(octets)) {
        sortie.append(octets);
    } else {
        AjouteWindows1252EnUtf8(sortie, octets);
    }
}

std::string MotsClesAffiches(std::string_view octets) {
    std::string decode;
    decode.reserve(octets.size());
    for (std::size_t i = 0; i < octets.size(); ++i) {
        const char c = octets[i];
        if (c == '+') {
            decode.push_back(' ');
            continue;
        }
        if (c == '%' && i + 2 < octets.size()) {
            const int fort = ValeurHexa(octets[i + 1]);
            const int faible = ValeurHexa(octets[i + 2]);
            if (fort >= 0 && faible >= 0) {
                decode.push_back(static_cast<char>(fort * 16 + faible));
                i += 2;
                continue;
            }
        }
        decode.push_back(c);
    }
    return TexteAffiche(decode);
}

FiltreAffiche::FiltreAffiche(std::string_view filtreUtf8)
    : filtre_(filtreUtf8), ascii_(Ascii(filtreUtf8)) {}

bool FiltreAffiche::Accepte(std::string_view octets) const {
    if (ascii_) {
        // An ASCII byte is the same character in both readings, and neither reading turns a
        // byte above 0x7F into ASCII: the bytes hold the filter exactly when the text shown does.
        return octets.find(filtre_) != std::string_view::npos;
    }
    if (Ascii(octets)) {
        return false;
    }
    if (EstUtf8MultiOctets(octets)) {
        return octets.find(filtre_) != std::string_view::npos;
    }
    return Windows1252VersUtf8(octets).find(filtre_) != std::string::npos;
}

} // namespace sillage
