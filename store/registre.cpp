#include "store/registre.h"

#include "store/champs.h"
#include "store/enregistrements.h"
#include "store/erreur.h"

#include <charconv>

namespace sillage {

namespace {

std::int64_t Entier64(std::string_view texte) {
    std::int64_t v = 0;
    const char* fin = texte.data() + texte.size();
    const auto [p, ec] = std::from_chars(texte.data(), fin, v);
    if (texte.empty() || ec != std::errc() || p != fin || v < 0 || texte[0] == '+') {
        LeveErreurEntier(texte);
    }
    return v;
}

std::uint64_t Hexa(std::string_view texte) {
    std::uint64_t v = 0;
    const char* fin = texte.data() + texte.size();
    const auto [p, ec] = std::from_chars(texte.data(), fin, v, 16);
    if (texte.size() != 16 || ec != std::errc() || p != fin) {
        LeveErreurEntier(texte);
    }
    return v;
}

void AjouteHexa(std::string& s, std::uint64_t v) {
    char t[17];
    for (int i = 15; i >= 0; --i) {
        t[i] = "0123456789abcdef"[v & 15];
        v >>= 4;
    }
    s.append(t, 16);
}

} // namespace

RRegistre LitRegistre(std::string_view ligne) {
    LecteurChamps l(ligne);
    RRegistre r;
    r.Debut = Hexa(l.Suivant());
    r.OctetsDebut = Entier64(l.Suivant());
    r.Octets = Entier64(l.Suivant());
    r.Lignes = Entier64(l.Suivant());
    r.Fin = Hexa(l.Suivant());
    r.Nom = std::string(l.Suivant());
    r.Date = std::string(l.Suivant());
    return r;
}

std::string EcritRegistre(const RRegistre& r) {
    std::string s = "\\1;";
    AjouteHexa(s, r.Debut);
    s += "\\2;";
    AjouteEntier(s, r.OctetsDebut);
    s += "\\3;";
    AjouteEntier(s, r.Octets);
    s += "\\4;";
    AjouteEntier(s, r.Lignes);
    s += "\\5;";
    AjouteHexa(s, r.Fin);
    s += "\\6;";
    for (char c : r.Nom) {
        if (c == '\\') {
            s += "%5C";
        } else {
            s += c;
        }
    }
    s += "\\7;";
    s += r.Date;
    s += "\\8;";
    return s;
}

} // namespace sillage
