#include "import/lecture/ligne_log.h"

#include <cstring>

namespace sillage {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// The working text of the cut. Positions follow the rule the parser is built on: "find" gives
// p counted from 1 (0 when absent); "drop through p+k" keeps the text from character p+k on.
struct Travail {
    std::string_view w;

    std::size_t Trouve(char c) const {
        const std::size_t p = w.find(c);
        return p == npos ? 0 : p + 1;
    }
    std::size_t Trouve(std::string_view s) const {
        const std::size_t p = w.find(s);
        return p == npos ? 0 : p + 1;
    }
    std::string_view Avant(std::size_t p) const {
        return p <= 1 ? std::string_view() : w.substr(0, p - 1);
    }
    void SupprimeJusqua(std::size_t position) { // keeps the text from character `position` on
        if (position <= 1) {
            return;
        }
        w = position - 1 >= w.size() ? std::string_view() : w.substr(position - 1);
    }
    std::string_view Coupe(char c) {
        const std::size_t p = Trouve(c);
        const std::string_view avant = Avant(p);
        SupprimeJusqua(p + 1);
        return avant;
    }
};

void AjouteDecodee(std::string& s, std::string_view requete) {
    for (char c : requete) {
        if (c == '&') {
            s += "\" \"";
        } else if (c == '+') {
            s += ' ';
        } else {
            s += c;
        }
    }
}

bool EtiquetteEn(std::string_view t, std::size_t i) {
    std::size_t k = i + 1;
    while (k < t.size() && t[k] >= '0' && t[k] <= '9') {
        ++k;
    }
    return k > i + 1 && k < t.size() && t[k] == ';';
}

} // namespace

bool ContientEtiquette(std::string_view texte) {
    for (std::size_t i = texte.find('\\'); i != npos; i = texte.find('\\', i + 1)) {
        if (EtiquetteEn(texte, i)) {
            return true;
        }
    }
    return false;
}

void AjouteSansEtiquette(std::string& sortie, std::string_view texte) {
    for (std::size_t i = 0; i < texte.size(); ++i) {
        if (texte[i] == '\\' && EtiquetteEn(texte, i)) {
            sortie += "%5C";
        } else {
            sortie += texte[i];
        }
    }
}

std::string DecodeRequete(std::string_view requete) {
    std::string s;
    s.reserve(requete.size() + 8);
    AjouteDecodee(s, requete);
    return s;
}

bool EstImage(std::string_view page) {
    if (page.size() <= 4) {
        return false;
    }
    char fin[5];
    for (int i = 0; i < 5; ++i) {
        const char c = i == 0 && page.size() < 5 ? '\0' : page[page.size() - 5 + i];
        fin[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    }
    const std::string_view quatre(fin + 1, 4);
    return quatre == ".jpg" || quatre == ".gif" || quatre == ".png" ||
           (page.size() >= 5 && std::string_view(fin, 5) == ".jpeg");
}

bool EstDownload(std::string_view page) {
    if (page.size() <= 4) {
        return false;
    }
    const std::string_view quatre = page.substr(page.size() - 4);
    return quatre == ".zip" || quatre == ".rar" || quatre == ".exe";
}

int CompteNombreChamps(std::string_view premiereLigne) {
    const std::size_t crochet = premiereLigne.find('[');
    if (crochet == npos) {
        return 0;
    }
    int n = 0;
    for (std::size_t i = 0; i < crochet; ++i) {
        n += premiereLigne[i] == ' ';
    }
    return n;
}

void DecoupeLigneLogVues(std::string_view ligne, int NombreChamps, RHitsVues& h,
                         std::string& tamponKeywords, std::string& tamponEchappement) {
    Travail t{ligne};
    h = RHitsVues{};
    if (NombreChamps == 4) {
        h.Prefixe = t.Coupe(' ');
    }
    h.Hote = t.Coupe(' ');
    t.SupprimeJusqua(t.Trouve('[') + 1);
    h.DateLog = t.Coupe(' ');
    t.SupprimeJusqua(t.Trouve('"') + 1);
    t.SupprimeJusqua(t.Trouve(' ') + 1);
    {
        const std::size_t p = t.Trouve('"');
        const std::string_view requete = t.Avant(p);
        const std::size_t espace = requete.find(' ');
        h.Page = espace == npos ? std::string_view() : requete.substr(0, espace);
        t.SupprimeJusqua(p + 2);
    }
    h.Statut = t.Coupe(' ');
    t.SupprimeJusqua(t.Trouve(' ') + 2);
    std::string_view origine;
    {
        const std::size_t p = t.Trouve("\" \"");
        origine = t.Avant(p);
        t.SupprimeJusqua(p + 3);
    }
    // The query starts at the first "?" after the scheme prefix (7 characters).
    const std::size_t h7 = origine.size() > 7 ? origine.find('?', 7) : npos;
    tamponKeywords.clear();
    if (h7 != npos) {
        h.Origine = origine.substr(0, h7);
        tamponKeywords += '"';
        AjouteDecodee(tamponKeywords, origine.substr(h7 + 1));
        tamponKeywords += '"';
        h.Keywords = tamponKeywords;
    } else {
        h.Origine = origine;
    }
    h.Navigateur = t.Avant(t.Trouve('"'));
    h.Illisible = false;

    // A backslash in a log line is rare: only then look for tags to neutralise. An empty line
    // may have no data at all, which memchr must not be given.
    if (ligne.empty() || std::memchr(ligne.data(), '\\', ligne.size()) == nullptr) {
        return;
    }
    std::string_view* champs[] = {&h.Prefixe, &h.Hote,    &h.DateLog,  &h.Page,
                                  &h.Statut,  &h.Origine, &h.Keywords, &h.Navigateur};
    bool aEchapper = false;
    for (std::string_view* c : champs) {
        aEchapper = aEchapper || ContientEtiquette(*c);
    }
    if (!aEchapper) {
        return;
    }
    tamponEchappement.clear();
    std::size_t total = 0;
    for (std::string_view* c : champs) {
        total += c->size() * 3;
    }
    tamponEchappement.reserve(total); // no reallocation below: the views stay valid
    for (std::string_view* c : champs) {
        const std::size_t debut = tamponEchappement.size();
        AjouteSansEtiquette(tamponEchappement, *c);
        *c = std::string_view(tamponEchappement).substr(debut);
    }
}

RHits DecoupeLigneLog(std::string_view ligne, int NombreChamps) {
    RHitsVues v;
    std::string tamponKeywords;
    std::string tamponEchappement;
    DecoupeLigneLogVues(ligne, NombreChamps, v, tamponKeywords, tamponEchappement);
    RHits h;
    h.Prefixe = v.Prefixe;
    h.Hote = v.Hote;
    h.DateLog = v.DateLog;
    h.Page = v.Page;
    h.Statut = v.Statut;
    h.Origine = v.Origine;
    h.Keywords = v.Keywords;
    h.Navigateur = v.Navigateur;
    h.Illisible = v.Illisible;
    return h;
}

} // namespace sillage
