#include "visiteurs/pays.h"

#include "store/casse.h"
#include "visiteurs/json.h"

extern "C" {
#include <libloc/database.h>
#include <libloc/libloc.h>
#include <libloc/network.h>
}

#include <arpa/inet.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace sillage {

namespace {

using Adresse = unsigned __int128;

constexpr std::string_view kEnteteReseaux = "SILLAGE-RESEAUX 1\n";

CodePays Code2(char a, char b) {
    return static_cast<CodePays>((static_cast<unsigned char>(a) << 8) |
                                 static_cast<unsigned char>(b));
}

char Majuscule(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

Adresse VersAdresse(const in6_addr& a) {
    Adresse v = 0;
    for (int k = 0; k < 16; ++k) {
        v = (v << 8) | a.s6_addr[k];
    }
    return v;
}

// The start of the IPv4 addresses mapped in IPv6, ::ffff:0.0.0.0.
constexpr Adresse kDebutIpv4 = static_cast<Adresse>(0xFFFF) << 32;

// The messages of a translation catalogue (.mo): original text to translated text.
std::unordered_map<std::string, std::string> LitCatalogue(std::string_view o) {
    std::unordered_map<std::string, std::string> t;
    auto mot = [&](std::size_t p, bool inverse, std::uint32_t& v) {
        if (p > o.size() || o.size() - p < 4) {
            return false;
        }
        v = 0;
        for (int k = 0; k < 4; ++k) {
            const auto c =
                static_cast<unsigned char>(o[p + static_cast<std::size_t>(inverse ? k : 3 - k)]);
            v = (v << 8) | c;
        }
        return true;
    };
    std::uint32_t magique = 0;
    if (!mot(0, false, magique)) {
        return t;
    }
    bool inverse;
    if (magique == 0x950412DEu) {
        inverse = false; // little-endian words
    } else if (magique == 0xDE120495u) {
        inverse = true;
    } else {
        return t;
    }
    std::uint32_t n = 0, originaux = 0, traductions = 0;
    if (!mot(8, inverse, n) || !mot(12, inverse, originaux) || !mot(16, inverse, traductions)) {
        return t;
    }
    auto texte = [&](std::uint32_t table, std::uint32_t k, std::string_view& s) {
        std::uint32_t longueur = 0, position = 0;
        const std::size_t p = static_cast<std::size_t>(table) + 8 * static_cast<std::size_t>(k);
        if (!mot(p, inverse, longueur) || !mot(p + 4, inverse, position) || position > o.size() ||
            o.size() - position < longueur) {
            return false;
        }
        s = o.substr(position, longueur);
        return true;
    };
    for (std::uint32_t k = 0; k < n && k < o.size(); ++k) {
        std::string_view a, b;
        if (!texte(originaux, k, a) || !texte(traductions, k, b)) {
            break;
        }
        if (!a.empty() && a.find('\0') == std::string_view::npos) {
            t.emplace(std::string(a), std::string(b.substr(0, b.find('\0'))));
        }
    }
    return t;
}

} // namespace

std::string TexteCodePays(CodePays code) {
    if (code == 0) {
        return {};
    }
    return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

Pays::Pays(const FichiersDonnees& fichiers) : fichiers_(fichiers) {
    LitNoms();
}

Pays::~Pays() = default;

void Pays::LitNoms() {
    const std::optional<std::string> json = LitFichierDonnees(fichiers_.paysIso);
    ValeurJson racine;
    int ligne = 0;
    std::string erreur;
    if (!json) {
        messages_.push_back("Impossible de lire le fichier " + fichiers_.paysIso +
                            " : les pays ne sont pas nommés, ni reconnus par le nom des hôtes.");
        return;
    }
    if (!LitJson(*json, racine, ligne, erreur)) {
        messages_.push_back("Le fichier " + fichiers_.paysIso +
                            " n'est pas un JSON valide (ligne " + std::to_string(ligne) + ", " +
                            erreur +
                            ") : les pays ne sont pas nommés, ni reconnus par le nom des hôtes.");
        return;
    }
    std::unordered_map<std::string, std::string> francais;
    if (const std::optional<std::string> mo = LitFichierDonnees(fichiers_.traductionPays)) {
        francais = LitCatalogue(*mo);
    }
    if (francais.empty()) {
        messages_.push_back("Impossible de lire le fichier " + fichiers_.traductionPays +
                            " : les pays sont nommés en anglais.");
    }
    auto traduit = [&](const ValeurJson* nom) -> const std::string* {
        if (!nom || !nom->EstTexte()) {
            return nullptr;
        }
        const auto it = francais.find(nom->texte);
        return it == francais.end() ? nullptr : &it->second;
    };
    const ValeurJson* liste = racine.Membre("3166-1");
    if (!liste) {
        return;
    }
    for (const ValeurJson& e : liste->elements) {
        const ValeurJson* code = e.Membre("alpha_2");
        const ValeurJson* nom = e.Membre("name");
        if (!code || !code->EstTexte() || code->texte.size() != 2 || !nom || !nom->EstTexte()) {
            continue;
        }
        // The usual name ("Corée du Sud") when the catalogue translates it, else the full name.
        const std::string* fr = traduit(e.Membre("common_name"));
        if (!fr) {
            fr = traduit(nom);
        }
        noms_[Code2(code->texte[0], code->texte[1])] = fr ? *fr : nom->texte;
    }
}

const std::string& Pays::Nom(CodePays code) const {
    const auto it = noms_.find(code);
    return it == noms_.end() ? inconnu_ : it->second;
}

std::vector<std::string> Pays::Messages() const {
    std::lock_guard<std::mutex> v(messagesVerrou_);
    return messages_;
}

void Pays::ChargeReseaux() const {
    std::call_once(reseauxCharges_, [this] { ConstruitReseaux(); });
}

std::pair<std::size_t, std::size_t> Pays::Plages() const {
    return {debuts4_.size(), debuts6bas_.size()};
}

namespace {

// A network of the database with its country.
struct Reseau {
    Adresse debut, fin;
    CodePays code;
};

// Every network of the database at chemin; false when it cannot be read.
bool LitReseaux(const std::string& chemin, std::vector<Reseau>& reseaux) {
    loc_ctx* ctx = nullptr;
    loc_database* base = nullptr;
    loc_database_enumerator* e = nullptr;
    FILE* f = std::fopen(chemin.c_str(), "r");
    bool lu = f && loc_new(&ctx) == 0;
    if (lu) {
        loc_set_log_priority(ctx, 0);
    }
    lu = lu && loc_database_new(ctx, &base, f) == 0;
    lu = lu && loc_database_enumerator_new(&e, base, LOC_DB_ENUMERATE_NETWORKS, 0) == 0;
    if (lu) {
        reseaux.reserve(1 << 21);
        loc_network* n = nullptr;
        while (loc_database_enumerator_next_network(e, &n) == 0 && n) {
            const char* c = loc_network_get_country_code(n);
            const CodePays code =
                c && std::strlen(c) == 2 ? Code2(Majuscule(c[0]), Majuscule(c[1])) : 0;
            reseaux.push_back({VersAdresse(*loc_network_get_first_address(n)),
                               VersAdresse(*loc_network_get_last_address(n)), code});
            loc_network_unref(n);
            n = nullptr;
        }
    }
    if (e) {
        loc_database_enumerator_unref(e);
    }
    if (base) {
        loc_database_unref(base);
    }
    if (ctx) {
        loc_unref(ctx);
    }
    if (f) {
        std::fclose(f);
    }
    return lu;
}

// The ranges of addresses of one country each, from the networks: a network lies inside every
// larger one that holds its first address, and the smallest one decides, as a look-up in the
// database does. Each range is its first address and its country (0: none); the first starts at
// address 0.
std::vector<std::pair<Adresse, CodePays>> PlagesDesReseaux(std::vector<Reseau> reseaux) {
    std::sort(reseaux.begin(), reseaux.end(), [](const Reseau& a, const Reseau& b) {
        return a.debut != b.debut ? a.debut < b.debut : a.fin > b.fin;
    });
    // A sweep over the nested networks: where a network begins its country starts; where it
    // ends, the country of the network around it (or none) resumes.
    std::vector<std::pair<Adresse, CodePays>> bornes;
    auto borne = [&](Adresse debut, CodePays code) {
        if (!bornes.empty() && bornes.back().first == debut) {
            bornes.back().second = code;
        } else {
            bornes.emplace_back(debut, code);
        }
    };
    borne(0, 0);
    std::vector<Reseau> ouverts;
    auto ferme = [&](Adresse jusque) {
        while (!ouverts.empty() && ouverts.back().fin < jusque) {
            const Reseau r = ouverts.back();
            ouverts.pop_back();
            if (r.fin != ~static_cast<Adresse>(0)) {
                borne(r.fin + 1, ouverts.empty() ? 0 : ouverts.back().code);
            }
        }
    };
    for (const Reseau& r : reseaux) {
        ferme(r.debut);
        borne(r.debut, r.code);
        ouverts.push_back(r);
    }
    ferme(~static_cast<Adresse>(0)); // networks that run to the last address stay open: done
    // Neighbouring ranges of one country become one.
    std::vector<std::pair<Adresse, CodePays>> fusion;
    for (const auto& b : bornes) {
        if (fusion.empty() || fusion.back().second != b.second) {
            fusion.push_back(b);
        }
    }
    return fusion;
}

} // namespace

void Pays::ConstruitReseaux() const {
    struct stat s;
    if (::stat(fichiers_.baseLocalisation.c_str(), &s) != 0 || !S_ISREG(s.st_mode)) {
        std::lock_guard<std::mutex> v(messagesVerrou_);
        messages_.push_back("Impossible de lire le fichier " + fichiers_.baseLocalisation +
                            " : les adresses ne sont d'aucun pays.");
        return;
    }
    std::uint64_t cle = static_cast<std::uint64_t>(s.st_size) * 1000003u +
                        static_cast<std::uint64_t>(s.st_mtim.tv_sec) * 1009u +
                        static_cast<std::uint64_t>(s.st_mtim.tv_nsec) +
                        HachageExact(fichiers_.baseLocalisation);
    std::string cache = fichiers_.cache;
    if (!cache.empty() && cache.back() != '/') {
        cache += '/';
    }
    if (!cache.empty() && LitCacheReseaux(cache + "reseaux.cache", cle)) {
        return;
    }
    std::vector<Reseau> reseaux;
    if (!LitReseaux(fichiers_.baseLocalisation, reseaux)) {
        std::lock_guard<std::mutex> v(messagesVerrou_);
        messages_.push_back("Le fichier " + fichiers_.baseLocalisation +
                            " n'est pas une base de localisation lisible : les adresses ne sont "
                            "d'aucun pays.");
        return;
    }
    const std::vector<std::pair<Adresse, CodePays>> plages = PlagesDesReseaux(std::move(reseaux));
    // IPv4 addresses are looked up in the part of the ranges that maps them.
    CodePays avant = 0;
    for (const auto& [debut, code] : plages) {
        if (debut <= kDebutIpv4) {
            avant = code;
        }
    }
    debuts4_.push_back(0), codes4_.push_back(avant);
    for (const auto& [debut, code] : plages) {
        if (debut > kDebutIpv4 && debut <= kDebutIpv4 + 0xFFFFFFFFu) {
            debuts4_.push_back(static_cast<std::uint32_t>(debut - kDebutIpv4));
            codes4_.push_back(code);
        }
        debuts6haut_.push_back(static_cast<std::uint64_t>(debut >> 64));
        debuts6bas_.push_back(static_cast<std::uint64_t>(debut));
        codes6_.push_back(code);
    }
    if (!cache.empty()) {
        EcritCacheReseaux(cache + "reseaux.cache", cle);
    }
}

namespace {

template <class T> void AjouteTableau(std::string& s, const std::vector<T>& v) {
    const std::uint64_t n = v.size();
    s.append(reinterpret_cast<const char*>(&n), sizeof n);
    s.append(reinterpret_cast<const char*>(v.data()), v.size() * sizeof(T));
}

template <class T> bool LitTableau(std::string_view& o, std::vector<T>& v) {
    std::uint64_t n = 0;
    if (o.size() < sizeof n) {
        return false;
    }
    std::memcpy(&n, o.data(), sizeof n);
    o.remove_prefix(sizeof n);
    if (n > o.size() / sizeof(T)) {
        return false;
    }
    v.resize(n);
    if (n > 0) {
        std::memcpy(v.data(), o.data(), n * sizeof(T));
    }
    o.remove_prefix(n * sizeof(T));
    return true;
}

} // namespace

bool Pays::LitCacheReseaux(const std::string& chemin, std::uint64_t cle) const {
    const std::optional<std::string> octets = LitFichierDonnees(chemin);
    std::uint64_t lue = 0;
    if (!octets || octets->compare(0, kEnteteReseaux.size(), kEnteteReseaux) != 0 ||
        octets->size() < kEnteteReseaux.size() + sizeof lue) {
        return false;
    }
    std::string_view o(*octets);
    o.remove_prefix(kEnteteReseaux.size());
    std::memcpy(&lue, o.data(), sizeof lue);
    o.remove_prefix(sizeof lue);
    const bool ok = lue == cle && LitTableau(o, debuts4_) && LitTableau(o, codes4_) &&
                    LitTableau(o, debuts6haut_) && LitTableau(o, debuts6bas_) &&
                    LitTableau(o, codes6_) && o.empty() && !debuts4_.empty() &&
                    debuts4_.size() == codes4_.size() && debuts6haut_.size() == codes6_.size() &&
                    debuts6bas_.size() == codes6_.size() && !codes6_.empty() &&
                    std::is_sorted(debuts4_.begin(), debuts4_.end()) && debuts4_[0] == 0;
    if (!ok) {
        debuts4_.clear(), codes4_.clear(), debuts6haut_.clear(), debuts6bas_.clear(),
            codes6_.clear();
    }
    return ok;
}

void Pays::EcritCacheReseaux(const std::string& chemin, std::uint64_t cle) const {
    std::string s(kEnteteReseaux);
    s.append(reinterpret_cast<const char*>(&cle), sizeof cle);
    AjouteTableau(s, debuts4_);
    AjouteTableau(s, codes4_);
    AjouteTableau(s, debuts6haut_);
    AjouteTableau(s, debuts6bas_);
    AjouteTableau(s, codes6_);
    ::mkdir(chemin.substr(0, chemin.rfind('/')).c_str(), 0700);
    const std::string temporaire = chemin + ".tmp" + std::to_string(::getpid());
    FILE* f = std::fopen(temporaire.c_str(), "wb");
    if (!f) {
        return;
    }
    const bool ok = std::fwrite(s.data(), 1, s.size(), f) == s.size();
    if (std::fclose(f) != 0 || !ok || std::rename(temporaire.c_str(), chemin.c_str()) != 0) {
        std::remove(temporaire.c_str());
    }
}

CodePays Pays::CodeIpv4(std::uint32_t adresse) const {
    if (debuts4_.empty()) {
        return 0;
    }
    const auto it = std::upper_bound(debuts4_.begin(), debuts4_.end(), adresse);
    return codes4_[static_cast<std::size_t>(it - debuts4_.begin()) - 1];
}

CodePays Pays::CodeIpv6(std::uint64_t haut, std::uint64_t bas) const {
    if (codes6_.empty()) {
        return 0;
    }
    std::size_t a = 0, b = codes6_.size(); // the answer lies in [a, b)
    while (b - a > 1) {
        const std::size_t m = a + (b - a) / 2;
        if (debuts6haut_[m] < haut || (debuts6haut_[m] == haut && debuts6bas_[m] <= bas)) {
            a = m;
        } else {
            b = m;
        }
    }
    return codes6_[a];
}

CodePays Pays::Code(std::string_view hote) const {
    if (hote.empty() || hote.size() > 255) {
        return 0;
    }
    if (hote.front() == '[' && hote.back() == ']') {
        hote = hote.substr(1, hote.size() - 2);
    }
    const bool deuxPoints = hote.find(':') != std::string_view::npos;
    const char dernier = hote.back();
    if (deuxPoints || (dernier >= '0' && dernier <= '9')) {
        char texte[256];
        const std::size_t n = std::min(hote.find('%'), hote.size());
        std::memcpy(texte, hote.data(), n);
        texte[n] = '\0';
        if (deuxPoints) {
            in6_addr a;
            if (inet_pton(AF_INET6, texte, &a) == 1) {
                ChargeReseaux();
                const Adresse v = VersAdresse(a);
                if (v >= kDebutIpv4 && v <= kDebutIpv4 + 0xFFFFFFFFu) {
                    return CodeIpv4(static_cast<std::uint32_t>(v - kDebutIpv4));
                }
                return CodeIpv6(static_cast<std::uint64_t>(v >> 64), static_cast<std::uint64_t>(v));
            }
            return 0;
        }
        in_addr a;
        if (inet_pton(AF_INET, texte, &a) == 1) {
            ChargeReseaux();
            return CodeIpv4(ntohl(a.s_addr));
        }
    }
    // A name: its top-level domain, when it is a country's code (the United Kingdom's is "uk").
    if (dernier == '.') {
        hote.remove_suffix(1);
    }
    const std::size_t point = hote.rfind('.');
    if (point == std::string_view::npos || point == 0 || hote[point - 1] == '.' ||
        hote.size() - point != 3) {
        return 0;
    }
    const char a = Majuscule(hote[point + 1]), b = Majuscule(hote[point + 2]);
    if (a < 'A' || a > 'Z' || b < 'A' || b > 'Z') {
        return 0;
    }
    const CodePays c = a == 'U' && b == 'K' ? Code2('G', 'B') : Code2(a, b);
    return noms_.count(c) ? c : 0;
}

} // namespace sillage
