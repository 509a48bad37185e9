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

// The bytes of a name that an escaped row writes %XX.
bool AEchapper(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F || c == '\\' || c == '%';
}

int ChiffreHexa(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// The name an escaped row holds; a '%' that two hex digits do not follow stays as it is.
std::string Desechappe(std::string_view texte) {
    std::string nom;
    nom.reserve(texte.size());
    for (std::size_t i = 0; i < texte.size(); ++i) {
        const int fort = i + 2 < texte.size() ? ChiffreHexa(texte[i + 1]) : -1;
        const int faible = fort >= 0 ? ChiffreHexa(texte[i + 2]) : -1;
        if (texte[i] == '%' && faible >= 0) {
            nom += static_cast<char>(fort * 16 + faible);
            i += 2;
        } else {
            nom += texte[i];
        }
    }
    return nom;
}

// The error of a register whose line numero (from 1) does not read.
[[noreturn]] void LeveRegistreIllisible(const std::string& chemin, std::size_t numero,
                                        const std::string& pourquoi) {
    throw ErreurSillage("Le registre des journaux importés " + chemin +
                        " ne se lit pas à sa ligne " + std::to_string(numero) + " (" + pourquoi +
                        ") : corrigez cette ligne ou retirez-la (le journal qu'elle note sera "
                        "alors compté comme un journal nouveau par un import --incremental).");
}

// Whether ligne reads as a whole row; else why not, in pourquoi.
bool Lisible(std::string_view ligne, std::string& pourquoi) {
    if (ligne.find("\\7;") == std::string_view::npos ||
        ligne.find("\\8;") == std::string_view::npos) {
        pourquoi = "rangée incomplète";
        return false;
    }
    try {
        LitRegistre(ligne);
        return true;
    } catch (const ErreurSillage& e) {
        pourquoi = e.what();
        return false;
    }
}

// The first line of a row that an earlier version cut at a line break of its name: its five
// first fields read and its name began, but the tag after the name is missing.
bool DebutDeRangeeCoupee(std::string_view ligne) {
    if (!ligne.starts_with("\\1;") || ligne.find("\\6;") == std::string_view::npos ||
        ligne.find("\\7;") != std::string_view::npos) {
        return false;
    }
    std::string pourquoi;
    return Lisible(std::string(ligne) + "\\7;\\8;", pourquoi);
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
    const std::string_view nom = l.Suivant();
    r.Date = std::string(l.Suivant());
    r.Nom = l.Suivant() == kNomEchappe ? Desechappe(nom) : std::string(nom);
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
    bool echappe = false;
    for (char c : r.Nom) {
        if (AEchapper(c)) {
            s += '%';
            s += "0123456789ABCDEF"[static_cast<unsigned char>(c) >> 4];
            s += "0123456789ABCDEF"[static_cast<unsigned char>(c) & 15];
            echappe = true;
        } else {
            s += c;
        }
    }
    s += "\\7;";
    s += r.Date;
    s += "\\8;";
    if (echappe) {
        s += kNomEchappe;
        s += "\\9;";
    }
    return s;
}

void VerifieRegistre(Table& registre, const std::string& chemin) {
    // Lines are checked, and split rows joined, into a new table only when one needs it.
    Table reparee;
    bool repare = false;
    for (std::size_t i = 0; i < registre.Count(); ++i) {
        std::string pourquoi;
        if (Lisible(registre[i], pourquoi)) {
            reparee.Ajoute(registre[i]);
            continue;
        }
        if (DebutDeRangeeCoupee(registre[i])) {
            std::string jointe(registre[i]);
            std::size_t j = i + 1;
            // A line that begins a row of its own is never taken as the rest of a name.
            for (; j < registre.Count() && jointe.find("\\7;") == std::string::npos &&
                   !registre[j].starts_with("\\1;");
                 ++j) {
                jointe += '\n';
                jointe += registre[j];
            }
            std::string raison;
            if (Lisible(jointe, raison)) {
                reparee.Ajoute(EcritRegistre(LitRegistre(jointe)));
                repare = true;
                i = j - 1;
                continue;
            }
        }
        LeveRegistreIllisible(chemin, i + 1, pourquoi);
    }
    if (repare) {
        registre = std::move(reparee);
    }
}

} // namespace sillage
