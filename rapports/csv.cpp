#include "rapports/csv.h"

#include "vues/texte_affiche.h"

#include <algorithm>

namespace sillage {

namespace {

constexpr std::size_t kTailleLot = 256 * 1024; // bytes gathered before they go to the output

bool Ascii(std::string_view s) {
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// A number as the views write them: an optional minus sign, digits, at most one decimal comma,
// and a percent sign after a space ("-12", "39,8", "12,3 %").
bool EstNombre(std::string_view s) {
    if (s.ends_with(" %")) {
        s.remove_suffix(2);
    }
    if (!s.empty() && s[0] == '-') {
        s.remove_prefix(1);
    }
    bool chiffre = false, virgule = false;
    for (char c : s) {
        if (c >= '0' && c <= '9') {
            chiffre = true;
        } else if (c == ',' && !virgule && chiffre) {
            virgule = true;
        } else {
            return false;
        }
    }
    return chiffre && s.back() != ',';
}

// A lone sign is no formula.
bool ResembleFormule(std::string_view s) {
    if (s.size() < 2) {
        return false;
    }
    const char c = s[0];
    return (c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r') &&
           !EstNombre(s);
}

} // namespace

void AjouteChampCsv(std::string& ligne, std::string_view utf8, const FormatCsv& format) {
    const bool desarme = format.DesarmeFormules && ResembleFormule(utf8);
    const char separateur = format.Separateur;
    const bool guillemets =
        desarme || std::any_of(utf8.begin(), utf8.end(), [separateur](char c) {
            return c == '"' || c == '\r' || c == '\n' || c == '\0' || c == separateur;
        });
    if (!guillemets) {
        ligne.append(utf8);
        return;
    }
    ligne += '"';
    if (desarme) {
        ligne += '\'';
    }
    for (char c : utf8) {
        if (c == '"') {
            ligne += '"';
        }
        ligne += c;
    }
    ligne += '"';
}

void EcrivainCsv::Debut(const std::vector<ColonneTableau>& colonnes, std::size_t) {
    if (format_.MarqueOrdre) {
        tampon_ += "\xEF\xBB\xBF";
    }
    for (std::size_t i = 0; i < colonnes.size(); ++i) {
        if (i > 0) {
            tampon_ += format_.Separateur;
        }
        AjouteChampCsv(tampon_, colonnes[i].Titre, format_);
    }
    tampon_ += "\r\n";
}

void EcrivainCsv::Rangee(std::span<const std::string_view> cellules) {
    for (std::size_t i = 0; i < cellules.size(); ++i) {
        if (i > 0) {
            tampon_ += format_.Separateur;
        }
        const std::string_view c = cellules[i];
        if (Ascii(c)) {
            AjouteChampCsv(tampon_, c, format_);
        } else {
            AjouteChampCsv(tampon_, TexteAffiche(c), format_);
        }
    }
    tampon_ += "\r\n";
    if (tampon_.size() >= kTailleLot) {
        sortie_.Ecrit(tampon_);
        tampon_.clear();
    }
}

void EcrivainCsv::Fin() {
    sortie_.Ecrit(tampon_);
    tampon_.clear();
}

} // namespace sillage
