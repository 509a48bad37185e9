// Realistic texts for the benchmarks and the log generator: client hosts, pages, images,
// downloads, referrers, search words and dates of a small French site, drawn from a seeded
// generator so that the same seed always gives the same bytes. Texts are Windows-1252 bytes.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace sillage::banc {

// xoshiro256** seeded through splitmix64: the same sequence on every platform (the standard
// library's distributions are not portable, so none is used).
class Alea {
  public:
    explicit Alea(std::uint64_t graine) {
        for (std::uint64_t& s : etat_) {
            graine += 0x9E3779B97F4A7C15ull;
            s = Melange(graine);
        }
    }
    std::uint64_t Suivant() {
        const std::uint64_t resultat = Rotation(etat_[1] * 5, 7) * 9;
        const std::uint64_t t = etat_[1] << 17;
        etat_[2] ^= etat_[0];
        etat_[3] ^= etat_[1];
        etat_[1] ^= etat_[2];
        etat_[0] ^= etat_[3];
        etat_[2] ^= t;
        etat_[3] = Rotation(etat_[3], 45);
        return resultat;
    }
    // Uniform in [0, n), n > 0.
    std::uint64_t Entier(std::uint64_t n) { return Suivant() % n; }
    // Uniform in [a, b].
    std::int64_t Entre(std::int64_t a, std::int64_t b) {
        return a + static_cast<std::int64_t>(Entier(static_cast<std::uint64_t>(b - a + 1)));
    }
    // Uniform in [0, 1).
    double Reel() { return static_cast<double>(Suivant() >> 11) * 0x1.0p-53; }
    bool Chance(double p) { return Reel() < p; }

    // The splitmix64 finaliser: a fixed scrambling of x, also used to derive stable attributes
    // (a page's images, a host's form) from an index.
    static std::uint64_t Melange(std::uint64_t x) {
        x ^= x >> 30;
        x *= 0xBF58476D1CE4E5B9ull;
        x ^= x >> 27;
        x *= 0x94D049BB133111EBull;
        return x ^ (x >> 31);
    }

  private:
    static std::uint64_t Rotation(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    std::array<std::uint64_t, 4> etat_{};
};

// Ranks 0..n-1 drawn with weights 1/(rank+1)^s: a few very popular items and a long tail.
class Zipf {
  public:
    Zipf(std::size_t n, double s) : cumul_(n) {
        double total = 0;
        for (std::size_t k = 0; k < n; ++k) {
            total += 1.0 / std::pow(static_cast<double>(k + 1), s);
            cumul_[k] = total;
        }
    }
    std::size_t Tire(Alea& alea) const {
        const double u = alea.Reel() * cumul_.back();
        const auto p = std::upper_bound(cumul_.begin(), cumul_.end(), u);
        return std::min<std::size_t>(static_cast<std::size_t>(p - cumul_.begin()),
                                     cumul_.size() - 1);
    }

  private:
    std::vector<double> cumul_;
};

inline void AjouteNombre(std::string& s, std::uint64_t v) {
    s += std::to_string(v);
}

inline constexpr std::string_view kSite = "http://www.example.com";

// Words of the site's paths and of the visitors' searches; some carry é (0xE9) or è (0xE8).
inline constexpr std::array<std::string_view, 24> kMots = {"velo",
                                                           "v\xE9lo",
                                                           "rouge",
                                                           "pi\xE8"
                                                           "ces",
                                                           "d\xE9tach\xE9"
                                                           "es",
                                                           "blue",
                                                           "car",
                                                           "forum",
                                                           "t\xE9l\xE9"
                                                           "charger",
                                                           "logiciel",
                                                           "gratuit",
                                                           "m\xE9t\xE9o",
                                                           "recette",
                                                           "cr\xE8me",
                                                           "photos",
                                                           "\xE9t\xE9",
                                                           "prix",
                                                           "location",
                                                           "biblioth\xE8que",
                                                           "caf\xE9",
                                                           "soir\xE9"
                                                           "e",
                                                           "club",
                                                           "r\xE9paration",
                                                           "achat"};

inline constexpr std::array<std::string_view, 10> kRubriques = {
    "actualites", "produits", "forum",    "aide",          "galerie",
    "club",       "agenda",   "dossiers", "actualit\xE9s", "biblioth\xE8que"};

// Client host number i: a numeric address, or (unless numerique) for about four hosts in ten a
// name in one of a few forms. The same i always gives the same text.
inline std::string Hote(std::uint64_t i, bool numerique) {
    const std::uint64_t h = Alea::Melange(i * 0x2545F4914F6CDD1Dull + 17);
    std::uint64_t a = 12 + h % 210;
    if (a == 127) {
        a = 128;
    }
    const std::uint64_t b = (h >> 8) & 255, c = (h >> 16) & 255, d = 1 + (h >> 24) % 254;
    std::string s;
    s.reserve(40);
    const std::uint64_t forme = (h >> 40) % 100;
    if (numerique || forme < 60) {
        AjouteNombre(s, a), s += '.', AjouteNombre(s, b), s += '.', AjouteNombre(s, c);
        s += '.', AjouteNombre(s, d);
        return s;
    }
    switch (forme % 5) {
    case 0:
        s = "dsl-";
        AjouteNombre(s, a), s += '-', AjouteNombre(s, b), s += '-', AjouteNombre(s, c);
        s += '-', AjouteNombre(s, d), s += ".abo.fai-exemple.fr";
        break;
    case 1:
        AjouteNombre(s, d), s += '.', AjouteNombre(s, c), s += '.', AjouteNombre(s, b);
        s += '.', AjouteNombre(s, a), s += ".dyn.cable-exemple.net";
        break;
    case 2:
        s = "proxy", AjouteNombre(s, d % 8), s += ".entreprise-", AjouteNombre(s, i % 5000);
        s += ".com";
        break;
    case 3:
        s = "ppp-", AjouteNombre(s, i), s += ".lignes.telecom-exemple.fr";
        break;
    default:
        s = "poste", AjouteNombre(s, c), s += ".universite-", AjouteNombre(s, i % 300);
        s += ".fr";
        break;
    }
    return s;
}

// The forms of client host names that a real log of a French site shows, for the realistic mix
// (genere-log --realiste): host number i of class classe, the same i always giving the same text.
enum class ClasseHote { Numerique, Nom, Ipv6, Robot };

inline void AjouteHexa(std::string& s, std::uint64_t v) {
    char t[20];
    const int n = std::snprintf(t, sizeof t, "%llx", static_cast<unsigned long long>(v));
    s.append(t, static_cast<std::size_t>(n));
}

inline std::string HoteReel(std::uint64_t i, ClasseHote classe) {
    const std::uint64_t h = Alea::Melange(i * 0x9E3779B97F4A7C15ull + 29);
    const std::uint64_t a = 80 + h % 12, b = (h >> 8) & 255, c = (h >> 16) & 255,
                        d = 1 + (h >> 24) % 254;
    std::string s;
    s.reserve(48);
    auto quatre = [&](char sep) {
        AjouteNombre(s, a), s += sep, AjouteNombre(s, b), s += sep, AjouteNombre(s, c);
        s += sep, AjouteNombre(s, d);
    };
    switch (classe) {
    case ClasseHote::Numerique:
        quatre('.');
        break;
    case ClasseHote::Ipv6:
        s = (h >> 40) % 2 ? "2a01:cb1" : "2a01:e3";
        AjouteHexa(s, (h >> 32) % 16), s += ':';
        AjouteHexa(s, (h >> 12) & 0xFFFF), s += ':', AjouteHexa(s, h & 0xFFFF);
        s += (h >> 44) % 3 ? "::" : ":0:";
        AjouteHexa(s, (h >> 48) & 0xFFFF), s += ':', AjouteHexa(s, (i * 7919) & 0xFFFF);
        break;
    case ClasseHote::Robot:
        switch ((h >> 40) % 4) {
        case 0:
        case 1:
            s = "crawl-66-249-", AjouteNombre(s, 64 + c % 16), s += '-', AjouteNombre(s, d);
            s += ".googlebot.com";
            break;
        case 2:
            s = "msnbot-65-55-", AjouteNombre(s, 200 + c % 32), s += '-', AjouteNombre(s, d);
            s += ".search.msn.com";
            break;
        default:
            s = "llf", AjouteNombre(s, 520000 + i % 100000), s += ".crawl.yahoo.net";
            break;
        }
        break;
    case ClasseHote::Nom:
        switch ((h >> 40) % 6) {
        case 0:
        case 1:
            s = "lfbn-1-", AjouteNombre(s, 1000 + (h >> 32) % 20000), s += '-';
            AjouteNombre(s, d), s += ".w", quatre('-'), s += ".abo.wanadoo.fr";
            break;
        case 2:
            s = "ATuileries-152-1-", AjouteNombre(s, c % 64), s += '-', AjouteNombre(s, d);
            s += ".w", AjouteNombre(s, a), s += '-', AjouteNombre(s, b), s += ".abo.wanadoo.fr";
            break;
        case 3:
            s = "mar75-", AjouteNombre(s, 1 + c % 9), s += '-', quatre('-');
            s += ".fbx.proxad.net";
            break;
        case 4:
            s = "AMontsouris-151-1-", AjouteNombre(s, c % 128), s += '-', AjouteNombre(s, d);
            s += ".w", AjouteNombre(s, a), s += '-', AjouteNombre(s, b), s += ".abo.wanadoo.fr";
            break;
        default:
            s = "dyn-", quatre('-'), s += ".ppp.tiscali.fr";
            break;
        }
        break;
    }
    return s;
}

// Page number i of the site. Pages 0 to 3 are the home and fixed pages; the others are
// articles, query-string pages and folders of the sections.
inline std::string Page(std::uint64_t i) {
    static constexpr std::string_view kFixes[] = {"/", "/index.html", "/plan.html", "/contact.php"};
    if (i < std::size(kFixes)) {
        return std::string(kFixes[i]);
    }
    const std::uint64_t h = Alea::Melange(i * 31 + 7);
    std::string s = "/";
    s += kRubriques[h % kRubriques.size()];
    switch ((h >> 8) % 10) {
    case 6:
    case 7:
        s += "/article.php?id=", AjouteNombre(s, i);
        break;
    case 8:
        s += '/', AjouteNombre(s, i), s += '/';
        break;
    case 9:
        s += "/fiche.php?ref=", AjouteNombre(s, i), s += "&couleur=";
        s += kMots[(h >> 16) % kMots.size()];
        break;
    default:
        s += '/', s += kMots[(h >> 16) % kMots.size()], s += '-';
        s += kMots[(h >> 24) % kMots.size()], s += '-', AjouteNombre(s, i), s += ".html";
        break;
    }
    return s;
}

// Page number i of the realistic mix: pages 0 to 3 as Page gives them; of the others, about
// requetes in a hundred carry a query string, the rest are articles and folders.
inline std::string PageReelle(std::uint64_t i, int requetes) {
    if (i < 4) {
        return Page(i);
    }
    const std::uint64_t h = Alea::Melange(i * 31 + 7);
    std::string s = "/";
    s += kRubriques[h % kRubriques.size()];
    if (static_cast<int>((h >> 40) % 100) < requetes) {
        if ((h >> 8) % 2) {
            s += "/article.php?id=", AjouteNombre(s, i);
        } else {
            s += "/fiche.php?ref=", AjouteNombre(s, i), s += "&couleur=";
            s += kMots[(h >> 16) % kMots.size()];
        }
    } else if ((h >> 8) % 8 == 0) {
        s += '/', AjouteNombre(s, i), s += '/';
    } else {
        s += '/', s += kMots[(h >> 16) % kMots.size()], s += '-';
        s += kMots[(h >> 24) % kMots.size()], s += '-', AjouteNombre(s, i), s += ".html";
    }
    return s;
}

// Image number i. Images 0 to 5 are on most pages; the extensions mix letter cases as servers
// see them.
inline std::string Image(std::uint64_t i) {
    static constexpr std::string_view kCommunes[] = {"/images/logo.gif", "/images/fond.GIF",
                                                     "/images/puce.png", "/images/titre.jpg",
                                                     "/images/menu.Png", "/images/bandeau.JPEG"};
    if (i < std::size(kCommunes)) {
        return std::string(kCommunes[i]);
    }
    static constexpr std::string_view kExtensions[] = {".jpg", ".jpg", ".gif",  ".gif",  ".png",
                                                       ".JPG", ".GIF", ".JPEG", ".jpeg", ".Png"};
    const std::uint64_t h = Alea::Melange(i * 131 + 3);
    std::string s = "/images/";
    s += kRubriques[h % kRubriques.size()];
    s += "/photo-", AjouteNombre(s, i);
    s += kExtensions[(h >> 8) % std::size(kExtensions)];
    return s;
}

// Downloadable file number i (.zip, .rar or .exe).
inline std::string Download(std::uint64_t i) {
    static constexpr std::string_view kExtensions[] = {".zip", ".zip", ".rar", ".exe"};
    const std::uint64_t h = Alea::Melange(i * 977 + 5);
    std::string s = "/telechargement/";
    s += kMots[h % kMots.size()];
    s += "-", AjouteNombre(s, i / 3), s += '.', AjouteNombre(s, i % 3);
    s += kExtensions[(h >> 8) % std::size(kExtensions)];
    return s;
}

// An outside page linking to the site, number i; a few carry a query string.
inline std::string SiteExterne(std::uint64_t i) {
    const std::uint64_t h = Alea::Melange(i * 7919 + 11);
    std::string s;
    switch (h % 5) {
    case 0:
        s = "http://forum.passion-", s += kMots[(h >> 8) % kMots.size()];
        s += ".fr/viewtopic.php?t=", AjouteNombre(s, i);
        break;
    case 1:
        s = "http://blog", AjouteNombre(s, i), s += ".exemple.net/2003/";
        AjouteNombre(s, 10 + (h >> 8) % 3), s += "/billet.html";
        break;
    case 2:
        s = "http://www.annuaire-", AjouteNombre(s, i % 40), s += ".com/categorie/";
        s += kMots[(h >> 16) % kMots.size()], s += ".html";
        break;
    default:
        s = "http://www.site-", AjouteNombre(s, i), s += ".fr/liens.html";
        break;
    }
    return s;
}

// Search words: one to three words joined by "+".
inline std::string Recherche(Alea& alea) {
    std::string s;
    const int n = 1 + static_cast<int>(alea.Entier(3));
    for (int k = 0; k < n; ++k) {
        if (k > 0) {
            s += '+';
        }
        s += kMots[alea.Entier(kMots.size())];
    }
    return s;
}

// A search engine's result page with its query: usually q=words&hl=fr, sometimes a doubled
// "&&", a percent-escape or an empty query.
inline std::string ReferentRecherche(Alea& alea) {
    const std::uint64_t forme = alea.Entier(100);
    std::string s;
    if (forme < 50) {
        s = "http://www.chercheur-exemple.fr/search?q=" + Recherche(alea) + "&hl=fr";
    } else if (forme < 70) {
        s = "http://recherche.annuaire-exemple.com/cgi-bin/query?mots=" + Recherche(alea) +
            "&&page=" + std::to_string(1 + alea.Entier(3));
    } else if (forme < 85) {
        s = "http://www.trouvetout-exemple.net/r?q=" + Recherche(alea);
    } else if (forme < 92) {
        s = "http://www.trouvetout-exemple.net/r?q=v%E9lo+" + Recherche(alea) + "&ie=ISO-8859-1";
    } else if (forme < 96) {
        s = "http://www.chercheur-exemple.fr/search?q=&hl=fr";
    } else {
        s = "http://www.trouvetout-exemple.net/r?";
    }
    return s;
}

// The date text of the log (dd/Mon/yyyy:hh:mm:ss) of day d counted from 1 Nov 2003, at second
// s of that day, for d from 0 to 120 (29 Feb 2004 is day 120).
inline std::string DateLog(int d, int s) {
    static constexpr std::string_view kMois[] = {"Nov", "Dec", "Jan", "Feb"};
    static constexpr int kLongueurs[] = {30, 31, 31, 29};
    int m = 0;
    while (m < 3 && d >= kLongueurs[m]) {
        d -= kLongueurs[m++];
    }
    char texte[32];
    const int jour = d + 1, annee = m < 2 ? 2003 : 2004;
    const int n = std::snprintf(texte, sizeof texte, "%02d/%.3s/%d:%02d:%02d:%02d", jour,
                                kMois[m].data(), annee, s / 3600, s / 60 % 60, s % 60);
    return std::string(texte, static_cast<std::size_t>(n));
}

inline constexpr int kJoursPeriode = 121; // 1 Nov 2003 to 29 Feb 2004

// The user agents of the realistic mix, as real logs show them: browsers of a few families in
// many versions on many systems and devices, applications' embedded browsers, tools, search
// engines' and AI crawlers, and a long tail of agents seen once. Every agent of a crawler holds
// "bot", "spider", "slurp" or "crawl" in some letter case, and no other agent does.

// The popular browser agents: the current versions of the main families on the main systems.
inline constexpr std::size_t kAgentsPopulaires = 400;

namespace detail {

inline constexpr std::string_view kModelesAndroid[] = {
    "SM-G991B", "SM-A536B", "SM-S911B",  "SM-A146P",      "Pixel 7",
    "Pixel 6a", "M2101K6G", "2201117TY", "CPH2219",       "moto g(60)",
    "RMX3363",  "V2109",    "LM-K420",   "ONEPLUS A6013", "K"};
inline constexpr std::string_view kSystemesWindows[] = {
    "Windows NT 10.0; Win64; x64", "Windows NT 10.0; Win64; x64", "Windows NT 10.0; Win64; x64",
    "Windows NT 6.1; Win64; x64",  "Windows NT 6.3; Win64; x64",  "Windows NT 10.0; WOW64"};

inline void Version(std::string& s, std::uint64_t a, std::uint64_t b, std::uint64_t c,
                    std::uint64_t d) {
    AjouteNombre(s, a), s += '.', AjouteNombre(s, b), s += '.', AjouteNombre(s, c);
    s += '.', AjouteNombre(s, d);
}

// A browser agent drawn from h; etendu: versions and builds spread wide (the long tail).
inline std::string AgentNavigateur(std::uint64_t h, bool etendu) {
    const std::uint64_t plateforme = h % 100;
    const std::uint64_t g = Alea::Melange(h);
    const std::uint64_t chrome = etendu ? 70 + g % 55 : 118 + g % 7;
    const std::uint64_t build = etendu ? 3000 + (g >> 8) % 3200 : 6000 + (g >> 8) % 8 * 45;
    const std::uint64_t patch = etendu ? (g >> 20) % 250 : 0;
    std::string s = "Mozilla/5.0 (";
    if (plateforme < 45) {
        // Windows: Chrome, Edge, Firefox, Opera, and old Internet Explorers.
        const std::string_view systeme = kSystemesWindows[(g >> 30) % std::size(kSystemesWindows)];
        const std::uint64_t famille = (g >> 34) % 20;
        if (famille < 2 && etendu) {
            static constexpr std::string_view kAnciens[] = {
                "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1)",
                "Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 6.0; .NET CLR 2.0.50727)",
                "Mozilla/4.0 (compatible; MSIE 8.0; Windows NT 6.1; Trident/4.0)",
                "Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; Trident/5.0)",
                "Mozilla/5.0 (Windows NT 6.1; Trident/7.0; rv:11.0) like Gecko"};
            std::string a(kAnciens[(g >> 40) % std::size(kAnciens)]);
            if ((g >> 44) % 2) {
                a.insert(a.size() - (a.back() == ')' ? 1 : 0),
                         "; .NET CLR 1.1." + std::to_string(4000 + (g >> 46) % 400));
            }
            return a;
        }
        s += systeme;
        if (famille < 6) {
            const std::uint64_t v = etendu ? 60 + (g >> 40) % 66 : 119 + (g >> 40) % 7;
            s += "; rv:", AjouteNombre(s, v), s += ".0) Gecko/20100101 Firefox/";
            AjouteNombre(s, v), s += ".0";
            return s;
        }
        s += ") AppleWebKit/537.36 (KHTML, like Gecko) Chrome/";
        Version(s, chrome, 0, build, patch);
        s += " Safari/537.36";
        if (famille < 10) {
            s += " Edg/", Version(s, chrome, 0, build / 2 + 100, patch % 100);
        } else if (famille < 11) {
            s += " OPR/", AjouteNombre(s, chrome - 14), s += ".0.", AjouteNombre(s, build / 2);
            s += '.', AjouteNombre(s, patch % 100);
        }
        return s;
    }
    if (plateforme < 57) {
        // macOS: Safari, Chrome, Firefox.
        const std::uint64_t mineure = etendu ? 9 + (g >> 30) % 7 : 15;
        s += "Macintosh; Intel Mac OS X 10_", AjouteNombre(s, mineure), s += '_';
        AjouteNombre(s, etendu ? (g >> 33) % 8 : 7);
        const std::uint64_t famille = (g >> 36) % 10;
        if (famille < 4) {
            const std::uint64_t v = etendu ? 11 + (g >> 40) % 7 : 16 + (g >> 40) % 2;
            s += ") AppleWebKit/605.1.15 (KHTML, like Gecko) Version/", AjouteNombre(s, v);
            s += '.', AjouteNombre(s, (g >> 44) % 7), s += " Safari/605.1.15";
            return s;
        }
        if (famille < 6) {
            const std::uint64_t v = etendu ? 60 + (g >> 40) % 66 : 119 + (g >> 40) % 7;
            s += "; rv:", AjouteNombre(s, v), s += ".0) Gecko/20100101 Firefox/";
            AjouteNombre(s, v), s += ".0";
            return s;
        }
        s += ") AppleWebKit/537.36 (KHTML, like Gecko) Chrome/",
            Version(s, chrome, 0, build, patch);
        s += " Safari/537.36";
        return s;
    }
    if (plateforme < 63) {
        // Linux desktops: Firefox and Chrome.
        const bool ubuntu = (g >> 30) % 3 == 0;
        s += ubuntu ? "X11; Ubuntu; Linux x86_64" : "X11; Linux x86_64";
        if ((g >> 33) % 2) {
            const std::uint64_t v = etendu ? 60 + (g >> 40) % 66 : 119 + (g >> 40) % 7;
            s += "; rv:", AjouteNombre(s, v), s += ".0) Gecko/20100101 Firefox/";
            AjouteNombre(s, v), s += ".0";
            return s;
        }
        s += ") AppleWebKit/537.36 (KHTML, like Gecko) Chrome/",
            Version(s, chrome, 0, build, patch);
        s += " Safari/537.36";
        return s;
    }
    if (plateforme < 85) {
        // Android: Chrome Mobile, Samsung Internet, and applications' embedded browsers.
        const std::uint64_t android = etendu ? 7 + (g >> 30) % 8 : 13 + (g >> 30) % 2;
        const std::string_view modele = kModelesAndroid[(g >> 34) % std::size(kModelesAndroid)];
        s += "Linux; Android ", AjouteNombre(s, android), s += "; ", s += modele;
        const std::uint64_t famille = (g >> 40) % 10;
        if (famille < 2) {
            s += ") AppleWebKit/537.36 (KHTML, like Gecko) SamsungBrowser/";
            AjouteNombre(s, etendu ? 10 + (g >> 44) % 14 : 23), s += ".0 Chrome/";
            Version(s, chrome, 0, 0, 0), s += " Mobile Safari/537.36";
            return s;
        }
        if (famille < 3 && etendu) {
            s += " Build/TP1A.", AjouteNombre(s, 220000 + (g >> 44) % 1000);
            s += ".014; wv) AppleWebKit/537.36 (KHTML, like Gecko) Version/4.0 Chrome/";
            Version(s, chrome, 0, build, patch);
            s += " Mobile Safari/537.36 [FB_IAB/FB4A;FBAV/", AjouteNombre(s, 300 + (g >> 50) % 150);
            s += ".0.0.", AjouteNombre(s, (g >> 54) % 60), s += ".";
            AjouteNombre(s, (g >> 58) % 120), s += ";]";
            return s;
        }
        s += ") AppleWebKit/537.36 (KHTML, like Gecko) Chrome/",
            Version(s, chrome, 0, build, patch);
        s += " Mobile Safari/537.36";
        return s;
    }
    // iPhone and iPad: Mobile Safari, Chrome for iOS, applications.
    const bool ipad = (g >> 30) % 8 == 0;
    const std::uint64_t ios = etendu ? 12 + (g >> 33) % 6 : 16 + (g >> 33) % 2;
    const std::uint64_t mineure = (g >> 36) % 7;
    s += ipad ? "iPad; CPU OS " : "iPhone; CPU iPhone OS ";
    AjouteNombre(s, ios), s += '_', AjouteNombre(s, mineure);
    s += " like Mac OS X) AppleWebKit/605.1.15 (KHTML, like Gecko) ";
    const std::uint64_t famille = (g >> 40) % 10;
    if (famille < 2) {
        s += "CriOS/", Version(s, chrome, 0, build, patch), s += " Mobile/15E148 Safari/604.1";
    } else if (famille < 3 && etendu) {
        s += "Mobile/15E148 Instagram ", AjouteNombre(s, 200 + (g >> 44) % 120);
        s += ".0.0.", AjouteNombre(s, (g >> 50) % 40), s += '.', AjouteNombre(s, (g >> 54) % 120);
    } else {
        s += "Version/", AjouteNombre(s, ios), s += '.', AjouteNombre(s, mineure);
        s += " Mobile/15E148 Safari/604.1";
    }
    return s;
}

} // namespace detail

// Popular browser agent number i (i < kAgentsPopulaires).
inline std::string AgentPopulaire(std::uint64_t i) {
    return detail::AgentNavigateur(Alea::Melange(i * 7 + 1), false);
}

// Agent number i of the long tail: browsers in every version, a few tools and unusual agents,
// each one likely seen in one visit only.
inline std::string AgentQueue(std::uint64_t i) {
    const std::uint64_t h = Alea::Melange(i * 13 + 5);
    if (h % 100 < 4) {
        static constexpr std::string_view kOutils[] = {"python-requests/2.", "Go-http-client/1.1 ",
                                                       "Java/1.8.0_", "okhttp/4.", "axios/1."};
        std::string s(kOutils[(h >> 8) % std::size(kOutils)]);
        AjouteNombre(s, (h >> 16) % 400);
        return s;
    }
    if (h % 100 < 7) {
        std::string s = "Lecteur-Flux-";
        AjouteNombre(s, i), s += "/1.", AjouteNombre(s, (h >> 8) % 10);
        s += " (+http://www.exemple-", AjouteNombre(s, (h >> 16) % 1000), s += ".net/)";
        return s;
    }
    return detail::AgentNavigateur(h, true);
}

// The agent of a crawler from host number hote (the same host keeps its crawler): search
// engines', AI companies' and tools', some with versions that vary.
inline std::string AgentRobot(std::uint64_t hote) {
    static constexpr std::string_view kRobots[] = {
        "Mozilla/5.0 (compatible; Googlebot/2.1; +http://www.google.com/bot.html)",
        "Mozilla/5.0 (compatible; bingbot/2.0; +http://www.bing.com/bingbot.htm)",
        "Mozilla/5.0 (compatible; YandexBot/3.0; +http://yandex.com/bots)",
        "Mozilla/5.0 (compatible; Baiduspider/2.0; +http://www.baidu.com/search/spider.html)",
        "DuckDuckBot/1.1; (+http://duckduckgo.com/duckduckbot.html)",
        "Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_5) AppleWebKit/605.1.15 (KHTML, like Gecko) "
        "Version/13.1.1 Safari/605.1.15 (Applebot/0.1; +http://www.apple.com/go/applebot)",
        "Mozilla/5.0 AppleWebKit/537.36 (KHTML, like Gecko); compatible; GPTBot/1.2; "
        "+https://openai.com/gptbot",
        "Mozilla/5.0 AppleWebKit/537.36 (KHTML, like Gecko; compatible; ClaudeBot/1.0; "
        "+claudebot@anthropic.com)",
        "CCBot/2.0 (https://commoncrawl.org/faq/)",
        "Mozilla/5.0 AppleWebKit/537.36 (KHTML, like Gecko; compatible; PerplexityBot/1.0; "
        "+https://perplexity.ai/perplexitybot)",
        "Mozilla/5.0 (Linux; Android 5.0) AppleWebKit/537.36 (KHTML, like Gecko) Mobile "
        "Safari/537.36 (compatible; Bytespider; spider-feedback@bytedance.com)",
        "meta-externalagent/1.1 (+https://developers.facebook.com/docs/sharing/webmasters/crawler)",
        "Mozilla/5.0 (compatible; Amazonbot/0.1; +https://developer.amazon.com/support/amazonbot)",
        "Mozilla/5.0 (compatible; AhrefsBot/7.0; +http://ahrefs.com/robot/)",
        "Mozilla/5.0 (compatible; SemrushBot/7~bl; +http://www.semrush.com/bot.html)",
        "Mozilla/5.0 (compatible; MJ12bot/v1.4.8; http://mj12bot.com/)",
        "Mozilla/5.0 (compatible; DotBot/1.2; +https://opensiteexplorer.org/dotbot)",
        "Mozilla/5.0 (compatible; PetalBot;+https://webmaster.petalsearch.com/site/petalbot)",
        "Robot-Indexeur/2.1 (+http://www.indexeur-exemple.org/robot.html)",
    };
    const std::uint64_t h = Alea::Melange(hote * 3 + 11);
    if (h % 10 == 0) {
        // Google's smartphone crawler, in the version of the browser it renders with.
        std::string s =
            "Mozilla/5.0 (Linux; Android 6.0.1; Nexus 5X Build/MMB29P) AppleWebKit/537.36 "
            "(KHTML, like Gecko) Chrome/";
        detail::Version(s, 100 + (h >> 8) % 25, 0, 5000 + (h >> 16) % 1000, (h >> 26) % 200);
        s += " Mobile Safari/537.36 (compatible; Googlebot/2.1; +http://www.google.com/bot.html)";
        return s;
    }
    if (h % 10 == 1) {
        // One small crawler among many, each with its own name.
        std::string s = "Mozilla/5.0 (compatible; Explorateur";
        AjouteNombre(s, (h >> 8) % 300), s += "Bot/1.0; +http://robots.exemple.org/)";
        return s;
    }
    return std::string(kRobots[(h >> 8) % std::size(kRobots)]);
}

} // namespace sillage::banc
