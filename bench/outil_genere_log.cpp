// genere-log: writes a realistic access log in the combined layout, the same bytes for the same
// seed. Visitors come from Zipf-distributed hosts; each visit reads a few Zipf-distributed pages,
// each page pulls its images, and some pages lead to a download. Visits overlap, and the dates
// increase through 1 Nov 2003 to 29 Feb 2004 with more hits by day than by night.
//
// The realistic mix (--realiste, or any of --noms, --ipv6, --robots, --requetes) is what a real
// site's log shows: a share of the hits from named hosts of the usual providers, some from IPv6
// addresses, a share from crawlers that walk the whole site (search engines', AI companies',
// tools'), a few pages with a query, and the agents of real logs: browsers of a few families in
// many versions, and a long tail of agents seen once (--agents sets how many such agents the
// log may draw, about as many distinct agents as a log of a million lines holds).
//
//   genere-log [--lignes N] [--graine S] [--sortie FICHIER] [--numerique] [--prefixe]
//              [--hotes N] [--pages N] [--realiste] [--noms P] [--ipv6 P] [--robots P]
//              [--requetes P] [--agents N]

#include "donnees_realistes.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace {

using namespace sillage::banc;

// Sizes of the site and of its audience.
constexpr std::size_t kHotes = 600000;
constexpr std::size_t kPages = 40000;
// The same for the realistic mix, and its shares in percent of the hits.
constexpr std::size_t kHotesReels = 20000;
constexpr std::size_t kPagesReelles = 20000;
constexpr double kNomsReels = 37, kIpv6Reels = 5, kRobotsReels = 22;
constexpr int kRequetesReelles = 5;
// Agents of the long tail the realistic mix draws from, and the share of the human visits that
// bring one (the others bring one of the popular agents).
constexpr std::size_t kAgentsReels = 5000;
constexpr double kPartQueue = 0.6;
// Of the crawlers' hits, the share from named hosts (the others crawl from bare addresses).
constexpr double kRobotsNommes = 0.85;

struct Options {
    std::int64_t lignes = 1000000;
    std::uint64_t graine = 1;
    std::string sortie; // empty: standard output
    bool numerique = false;
    bool prefixe = false;
    std::size_t hotes = 0; // 0: the default of the mode
    std::size_t pages = 0;
    bool melange = false; // the realistic mix
    double noms = kNomsReels, ipv6 = kIpv6Reels, robots = kRobotsReels;
    int requetes = kRequetesReelles;
    std::size_t agents = kAgentsReels;
};
constexpr std::size_t kImages = 30000;
constexpr std::size_t kDownloads = 400;
constexpr std::size_t kSitesExternes = 8000;
// Seconds between two hits of one visit, on average: the number of visits under way grows with
// the log's traffic, so that a visit keeps its pace (well under the 30 minutes that separate two
// visits of a host) whatever the number of lines.
constexpr double kPasVisite = 40;

constexpr std::string_view kAgents[] = {
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; .NET CLR 1.1.4322)",
    "Mozilla/4.0 (compatible; MSIE 5.5; Windows 98)",
    "Mozilla/5.0 (Windows; U; Windows NT 5.1; fr-FR; rv:1.6) Gecko/20040113",
    "Mozilla/5.0 (Macintosh; U; PPC Mac OS X; fr-fr) AppleWebKit/125.2 (KHTML, like Gecko)",
    "Opera/7.23 (Windows NT 5.0; U) [fr]",
    "Mozilla/5.0 (X11; U; Linux i686; fr-FR; rv:1.5) Gecko/20031007",
    "Wget/1.9",
};
constexpr int kAgentWget = 7;
constexpr std::string_view kAgentRobot =
    "Robot-Indexeur/2.1 (+http://www.indexeur-exemple.org/robot.html)";
// The crawlers of the realistic mix, by the form of their host name (HoteReel).
constexpr std::string_view kAgentsRobots[] = {
    "Mozilla/5.0 (compatible; Googlebot/2.1; +http://www.google.com/bot.html)",
    "msnbot/1.0 (+http://search.msn.com/msnbot.htm)",
    "Mozilla/5.0 (compatible; Yahoo! Slurp; http://help.yahoo.com/help/us/ysearch/slurp)",
};

// Relative traffic of each hour of the day.
constexpr int kPoidsHeures[24] = {3, 2, 1, 1, 1, 1, 2, 4, 6, 8, 9, 9,
                                  8, 9, 9, 9, 8, 7, 6, 7, 8, 7, 5, 4};

struct Requete {
    std::string methode = "GET";
    std::string chemin;
    int statut = 200;
    std::int64_t taille = 0; // 0 is written "-"
    std::string referent = "-";
};

struct Visite {
    std::uint64_t hote = 0;
    std::string texteHote;  // the realistic mix only: the host's text
    std::string texteAgent; // the realistic mix only: the agent's text
    std::string_view agentRobot = kAgentRobot;
    bool robot = false;
    int agent = 0;
    int pagesRestantes = 0;
    std::uint64_t pageCourante = 0;
    std::string cheminCourant; // empty before the first page
    std::string utilisateur = "-";
    std::deque<Requete> attente;
};

std::size_t VisitesSimultanees(std::int64_t lignes) {
    const double parSeconde = static_cast<double>(lignes) / (kJoursPeriode * 86400.0);
    return std::max<std::size_t>(1,
                                 static_cast<std::size_t>(std::llround(parSeconde * kPasVisite)));
}

class Generateur {
  public:
    explicit Generateur(const Options& o)
        : options_(o), nHotes_(o.hotes     ? o.hotes
                               : o.melange ? kHotesReels
                                           : kHotes),
          nPages_(o.pages     ? o.pages
                  : o.melange ? kPagesReelles
                              : kPages),
          alea_(o.graine), hotes_(nHotes_, 0.75), pages_(nPages_, 1.0), downloads_(kDownloads, 0.9),
          sitesExternes_(kSitesExternes, 1.0), populaires_(kAgentsPopulaires, 1.0),
          visites_(VisitesSimultanees(o.lignes)) {
        for (int p : kPoidsHeures) {
            poidsJour_ += p;
        }
        if (o.melange) {
            PrepareMelange();
        }
        for (Visite& v : visites_) {
            Commence(v);
        }
        for (Visite& v : robots_) {
            Commence(v, true);
        }
    }

    // Appends line k (0-based) of the log, with its line feed.
    void Ligne(std::int64_t k, std::string& sortie) {
        std::vector<Visite>& pool =
            options_.melange && alea_.Chance(options_.robots / 100) ? robots_ : visites_;
        Visite& v = pool[alea_.Entier(pool.size())];
        while (v.attente.empty()) {
            if (v.pagesRestantes > 0) {
                PageSuivante(v);
            } else {
                Commence(v, &pool == &robots_);
            }
        }
        const Requete r = std::move(v.attente.front());
        v.attente.pop_front();

        if (options_.prefixe) {
            sortie += "www.example.com ";
        }
        sortie += options_.melange ? v.texteHote : Hote(v.hote, options_.numerique);
        sortie += " - ", sortie += v.utilisateur, sortie += " [";
        sortie += Date(k), sortie += " -0700] \"";
        sortie += r.methode, sortie += ' ', sortie += r.chemin;
        sortie += alea_.Chance(0.85) ? " HTTP/1.1\" " : " HTTP/1.0\" ";
        AjouteNombre(sortie, static_cast<std::uint64_t>(r.statut));
        sortie += ' ';
        if (r.taille > 0) {
            AjouteNombre(sortie, static_cast<std::uint64_t>(r.taille));
        } else {
            sortie += '-';
        }
        sortie += " \"", sortie += r.referent, sortie += "\" \"";
        sortie += options_.melange ? std::string_view(v.texteAgent)
                  : v.robot        ? v.agentRobot
                                   : kAgents[v.agent];
        sortie += "\"\n";
    }

  private:
    // The date of line k: the lines are spread over the period in proportion to the hourly
    // traffic, so the dates never decrease.
    std::string Date(std::int64_t k) {
        const double total = static_cast<double>(poidsJour_) * kJoursPeriode;
        double u = (static_cast<double>(k) + 0.5) * total / static_cast<double>(options_.lignes);
        const int jour = std::min(kJoursPeriode - 1, static_cast<int>(u / poidsJour_));
        u -= static_cast<double>(jour) * poidsJour_;
        int heure = 0;
        while (heure < 23 && u >= kPoidsHeures[heure]) {
            u -= kPoidsHeures[heure++];
        }
        const int seconde = std::min(3599, static_cast<int>(u / kPoidsHeures[heure] * 3600));
        return DateLog(jour, heure * 3600 + seconde);
    }

    // The realistic mix: host classes and their sizes. Crawlers have hosts of their own (one
    // in a hundred); the other hosts are split among the classes of the human visitors in
    // proportion to their share of the hits.
    void PrepareMelange() {
        const double r = std::clamp(options_.robots / 100, 0.0, 1.0);
        const double humains = 1 - r;
        double nom = humains > 0 ? (options_.noms / 100 - r * kRobotsNommes) / humains : 0;
        double v6 = humains > 0 ? options_.ipv6 / 100 / humains : 0;
        nom = std::clamp(nom, 0.0, 1.0);
        v6 = std::clamp(v6, 0.0, 1.0 - nom);
        const std::size_t nRobots = std::max<std::size_t>(1, nHotes_ / 30);
        const std::size_t nHumains = std::max<std::size_t>(3, nHotes_ - nRobots);
        const double parts[3] = {1 - nom - v6, nom, v6};
        std::uint64_t premier = 0;
        for (int c = 0; c < 3; ++c) {
            const auto n = std::max<std::size_t>(1, static_cast<std::size_t>(std::llround(
                                                        parts[c] * static_cast<double>(nHumains))));
            classes_.push_back({parts[c], premier, Zipf(n, 0.5)});
            premier += n;
        }
        classes_.push_back({0, premier, Zipf(nRobots, 0.5)});
        robots_.resize(std::max<std::size_t>(
            1, std::llround(static_cast<double>(visites_.size()) * r / std::max(humains, 0.01))));
    }

    // A host of the realistic mix for a visit: its number and text.
    void TireHote(Visite& v) {
        if (v.robot) {
            const Classe& c = classes_[3];
            const std::uint64_t j = c.zipf.Tire(alea_);
            v.hote = c.premier + j;
            const bool nomme =
                static_cast<double>(Alea::Melange(j + 5) % 100) < kRobotsNommes * 100;
            v.texteHote = HoteReel(v.hote, nomme && !options_.numerique ? ClasseHote::Robot
                                                                        : ClasseHote::Numerique);
            v.texteAgent =
                nomme && v.texteHote.find("googlebot") != std::string::npos ? kAgentsRobots[0]
                : nomme && v.texteHote.find("msn") != std::string::npos     ? kAgentsRobots[1]
                : nomme                                                     ? kAgentsRobots[2]
                                                                            : AgentRobot(v.hote);
            return;
        }
        const double u = alea_.Reel();
        int k = 0;
        for (double cumul = classes_[0].part; k < 2 && u >= cumul; cumul += classes_[++k].part) {
        }
        const Classe& c = classes_[static_cast<std::size_t>(k)];
        v.hote = c.premier + c.zipf.Tire(alea_);
        static constexpr ClasseHote kClasses[] = {ClasseHote::Numerique, ClasseHote::Nom,
                                                  ClasseHote::Ipv6};
        v.texteHote = HoteReel(v.hote, options_.numerique ? ClasseHote::Numerique : kClasses[k]);
    }

    // A new visit in v; robotMelange: v is one of the crawlers' visits of the realistic mix.
    void Commence(Visite& v, bool robotMelange = false) {
        v = Visite{};
        if (options_.melange) {
            v.robot = robotMelange;
            TireHote(v);
        } else {
            v.hote = hotes_.Tire(alea_);
            // Robots crawl the long tail of pages without images; some visitors are members.
            v.robot = Alea::Melange(v.hote) % 100 == 0;
        }
        if (v.robot) {
            v.pagesRestantes = static_cast<int>(alea_.Entre(5, 60));
            v.attente.push_back({"GET", "/robots.txt", 404, 290, "-"});
            return;
        }
        v.agent = static_cast<int>(Alea::Melange(v.hote + 1) % std::size(kAgents));
        if (options_.melange) {
            v.texteAgent = v.agent == kAgentWget      ? "Wget/1." + std::to_string(v.hote % 22)
                           : alea_.Chance(kPartQueue) ? AgentQueue(queue_++ % options_.agents)
                                                      : AgentPopulaire(populaires_.Tire(alea_));
        }
        if (v.agent == kAgentWget) {
            Requete r;
            r.methode = alea_.Chance(0.5) ? "HEAD" : "GET";
            r.chemin = Download(downloads_.Tire(alea_));
            r.taille = r.methode == "HEAD" ? 0 : alea_.Entre(100000, 5000000);
            v.attente.push_back(std::move(r));
            return;
        }
        v.pagesRestantes = 1;
        while (v.pagesRestantes < 25 && alea_.Chance(0.65)) {
            ++v.pagesRestantes;
        }
        if (Alea::Melange(v.hote + 2) % 20 == 0) {
            v.utilisateur = "membre" + std::to_string(v.hote % 997);
        }
    }

    // Where the visitor came from when entering the site.
    std::string ReferentEntree() {
        const std::uint64_t t = alea_.Entier(100);
        if (t < 30) {
            return "-";
        }
        if (t < 75) {
            return ReferentRecherche(alea_);
        }
        return SiteExterne(sitesExternes_.Tire(alea_));
    }

    void PageSuivante(Visite& v) {
        --v.pagesRestantes;
        const bool premiere = v.cheminCourant.empty();
        Requete r;
        std::uint64_t page;
        if (v.robot) {
            page = alea_.Entier(nPages_);
        } else if (!premiere && alea_.Chance(0.3)) {
            page = (v.pageCourante + 1 + alea_.Entier(5)) % nPages_;
        } else {
            page = pages_.Tire(alea_);
        }
        r.chemin = options_.melange ? PageReelle(page, options_.requetes) : Page(page);
        r.referent = v.robot    ? "-"
                     : premiere ? ReferentEntree()
                                : std::string(kSite) + v.cheminCourant;
        r.taille = alea_.Entre(1500, 42000);
        const std::uint64_t tirage = alea_.Entier(1000);
        if (tirage < 20 && r.referent != "-" && !v.robot) {
            // A stale link: the page moved long ago.
            r.chemin = "/ancien" + r.chemin;
            r.statut = 404, r.taille = 310;
        } else if (tirage < 40) {
            r.statut = 304, r.taille = 0;
        } else if (tirage < 44 && r.chemin.find(".php") != std::string::npos) {
            r.statut = 500, r.taille = 540;
        } else if (tirage < 50 && r.chemin.rfind("/club/", 0) == 0 && v.utilisateur == "-") {
            r.statut = 403, r.taille = 280;
        } else if (page == 3 && tirage < 300) {
            r.methode = "POST";
            r.statut = 302, r.taille = 0;
        } else if (tirage < 55 && r.chemin.size() > 2 && r.chemin[1] >= 'a' && r.chemin[1] <= 'z') {
            // Typed by hand with another letter case.
            r.chemin[1] = static_cast<char>(r.chemin[1] & ~0x20);
        }
        v.pageCourante = page;
        v.cheminCourant = r.chemin;
        const std::string referentInterne = std::string(kSite) + r.chemin;
        v.attente.push_back(std::move(r));
        if (v.robot) {
            return;
        }
        if (premiere) {
            // The images shared by every page, then taken from the browser's cache.
            for (std::uint64_t i = 0; i < 6; ++i) {
                if (i < 2 || alea_.Chance(0.5)) {
                    AjouteImage(v, i, referentInterne);
                }
            }
        }
        const std::uint64_t h = Alea::Melange(page * 0x9E3779B97F4A7C15ull + 1);
        for (std::uint64_t j = 0; j < h % 5; ++j) {
            AjouteImage(v, 6 + Alea::Melange(page * 8 + j) % (kImages - 6), referentInterne);
        }
        if (alea_.Chance(0.025)) {
            Requete d;
            d.chemin = Download(downloads_.Tire(alea_));
            d.referent = referentInterne;
            const std::uint64_t t = alea_.Entier(100);
            d.statut = t < 90 ? 200 : t < 95 ? 304 : 404;
            d.taille = d.statut == 200 ? alea_.Entre(100000, 5000000) : d.statut == 404 ? 300 : 0;
            v.attente.push_back(std::move(d));
        }
        if (alea_.Chance(0.003)) {
            v.attente.push_back({"GET", "/favicon.ico", 404, 300, "-"});
        }
    }

    void AjouteImage(Visite& v, std::uint64_t image, const std::string& referent) {
        Requete r;
        r.chemin = Image(image);
        r.referent = referent;
        const std::uint64_t t = alea_.Entier(1000);
        if (t < 5) {
            r.chemin.insert(0, "/ancien");
            r.statut = 404, r.taille = 300;
        } else if (t < 250) {
            r.statut = 304, r.taille = 0;
        } else {
            r.taille = alea_.Entre(120, 60000);
        }
        v.attente.push_back(std::move(r));
    }

    struct Classe {
        double part;           // share of the human visits
        std::uint64_t premier; // number of its first host
        Zipf zipf;
    };

    Options options_;
    const std::size_t nHotes_, nPages_;
    Alea alea_;
    Zipf hotes_, pages_, downloads_, sitesExternes_, populaires_;
    std::uint64_t queue_ = 0; // the next agent of the long tail
    std::vector<Visite> visites_;
    std::vector<Visite> robots_;  // the realistic mix: the crawlers' visits under way
    std::vector<Classe> classes_; // numeric, named, IPv6, crawlers
    int poidsJour_ = 0;
};

bool LitEntier(const char* texte, std::int64_t& valeur) {
    char* fin = nullptr;
    errno = 0;
    const long long v = std::strtoll(texte, &fin, 10);
    if (errno != 0 || fin == texte || *fin != '\0' || v < 0) {
        return false;
    }
    valeur = v;
    return true;
}

constexpr const char* kUsage =
    "Usage : genere-log [--lignes N] [--graine S] [--sortie FICHIER] [--numerique] [--prefixe]\n"
    "                  [--hotes N] [--pages N] [--realiste] [--noms P] [--ipv6 P] [--robots P]\n"
    "                  [--requetes P] [--agents N]\n";

int Usage(const char* message) {
    std::fprintf(stderr, "%s\n%s", message, kUsage);
    return 2;
}

void Aide() {
    std::printf("%s\n"
                "Écrit un journal d'accès réaliste au format combiné, toujours le même pour une\n"
                "même graine.\n"
                "\n"
                "  --lignes N         nombre de lignes (1000000)\n"
                "  --graine S         graine du tirage (1)\n"
                "  --sortie FICHIER   fichier écrit (par défaut : la sortie standard)\n"
                "  --numerique        adresses numériques seulement, sans noms d'hôtes\n"
                "  --prefixe          un champ de plus en tête de chaque ligne (l'hôte virtuel)\n"
                "  --hotes N          nombre d'hôtes clients possibles (600000 ; 20000 avec le\n"
                "                     mélange réaliste)\n"
                "  --pages N          nombre de pages du site (40000 ; 20000 avec le mélange\n"
                "                     réaliste)\n"
                "\n"
                "Mélange réaliste (--realiste, ou l'une des options qui suivent) : les parts sont\n"
                "en pourcentage des accès.\n"
                "  --realiste         le mélange d'un vrai site, avec les parts par défaut\n"
                "  --noms P           part des hôtes nommés, robots compris (37)\n"
                "  --ipv6 P           part des adresses IPv6 (5)\n"
                "  --robots P         part des robots d'indexation (22)\n"
                "  --requetes P       part des pages dont l'adresse porte une requête (5)\n"
                "  --agents N         agents rares parmi lesquels tirer (5000 ; un journal d'un\n"
                "                     million de lignes en montre à peu près autant)\n",
                kUsage);
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        const bool valeur = i + 1 < argc;
        std::int64_t n = 0;
        if (a == "--lignes" && valeur) {
            if (!LitEntier(argv[++i], n)) {
                return Usage("Nombre de lignes incorrect.");
            }
            o.lignes = n;
        } else if (a == "--graine" && valeur) {
            if (!LitEntier(argv[++i], n)) {
                return Usage("Graine incorrecte.");
            }
            o.graine = static_cast<std::uint64_t>(n);
        } else if (a == "--sortie" && valeur) {
            o.sortie = argv[++i];
        } else if (a == "--numerique") {
            o.numerique = true;
        } else if (a == "--prefixe") {
            o.prefixe = true;
        } else if ((a == "--hotes" || a == "--pages") && valeur) {
            if (!LitEntier(argv[++i], n) || n < 1) {
                return Usage("Nombre incorrect.");
            }
            (a == "--hotes" ? o.hotes : o.pages) = static_cast<std::size_t>(n);
        } else if (a == "--agents" && valeur) {
            if (!LitEntier(argv[++i], n) || n < 1) {
                return Usage("Nombre d'agents incorrect.");
            }
            o.melange = true;
            o.agents = static_cast<std::size_t>(n);
        } else if (a == "--realiste") {
            o.melange = true;
        } else if ((a == "--noms" || a == "--ipv6" || a == "--robots" || a == "--requetes") &&
                   valeur) {
            if (!LitEntier(argv[++i], n) || n > 100) {
                return Usage("Pourcentage incorrect.");
            }
            o.melange = true;
            if (a == "--noms") {
                o.noms = static_cast<double>(n);
            } else if (a == "--ipv6") {
                o.ipv6 = static_cast<double>(n);
            } else if (a == "--robots") {
                o.robots = static_cast<double>(n);
            } else {
                o.requetes = static_cast<int>(n);
            }
        } else if (a == "--aide" || a == "-h") {
            Aide();
            return 0;
        } else {
            return Usage(("Option inconnue : " + std::string(a)).c_str());
        }
    }

    std::FILE* f = o.sortie.empty() ? stdout : std::fopen(o.sortie.c_str(), "wb");
    if (f == nullptr) {
        std::fprintf(stderr, "Impossible de créer le fichier %s\n", o.sortie.c_str());
        return 1;
    }
    Generateur g(o);
    std::string tampon;
    tampon.reserve(1 << 20);
    bool ok = true;
    for (std::int64_t k = 0; k < o.lignes && ok; ++k) {
        g.Ligne(k, tampon);
        if (tampon.size() >= (1 << 20) - 1024 || k + 1 == o.lignes) {
            ok = std::fwrite(tampon.data(), 1, tampon.size(), f) == tampon.size();
            tampon.clear();
        }
    }
    ok = std::fflush(f) == 0 && ok;
    if (f != stdout) {
        ok = std::fclose(f) == 0 && ok;
    }
    if (!ok) {
        std::fprintf(stderr, "Impossible d'écrire le journal %s\n",
                     o.sortie.empty() ? "sur la sortie standard" : o.sortie.c_str());
        return 1;
    }
    return 0;
}
