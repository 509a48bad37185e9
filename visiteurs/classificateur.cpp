#include "visiteurs/classificateur.h"

#include "store/casse.h"

#include <algorithm>
#include <thread>

namespace sillage {

namespace {

// Bumped whenever the classification of the same lists changes, so that older cache files are
// ignored.
constexpr std::uint64_t kFormatClassement = 1;
// Below this many agents to classify, a second thread costs more than it saves.
constexpr std::size_t kSeuilFils = 64;
// The cache keeps at most this many agents: past it, only those classified in this run.
constexpr std::size_t kCacheMax = 200000;

// A robot's name when only uap-core knows it is one: its browser family when uap-core names
// one, else the agent's first word ("SomeCrawler/1.0 (...)" gives "SomeCrawler").
std::string NomRobotUap(std::string_view agent, const std::string& famille) {
    if (famille != "Other") {
        return famille;
    }
    std::size_t fin = agent.find_first_of("/ ;(");
    std::string nom = NomRobot(agent.substr(0, fin), "");
    return nom.empty() ? std::string("Robot") : nom;
}

// The upstream version in a Debian changelog's first line, "uap-core (1:0.16.0-1) unstable;"
// giving "0.16.0"; "" when the line is not of that form.
std::string VersionDebian(std::string_view ligne) {
    const std::size_t a = ligne.find('('), b = ligne.find(')');
    if (a == std::string_view::npos || b == std::string_view::npos || b < a) {
        return {};
    }
    std::string_view v = ligne.substr(a + 1, b - a - 1);
    if (const std::size_t e = v.find(':'); e != std::string_view::npos) {
        v.remove_prefix(e + 1);
    }
    if (const std::size_t r = v.rfind('-'); r != std::string_view::npos) {
        v = v.substr(0, r);
    }
    return std::string(v);
}

} // namespace

VersionsListes LitVersionsListes(const FichiersDonnees& fichiers) {
    VersionsListes v;
    const std::optional<std::string> journal = PremiereLigneCompressee(fichiers.journalUap);
    const std::string uap = journal ? VersionDebian(*journal) : std::string();
    v.uap = "uap-core " + (uap.empty() ? std::string("(version inconnue)") : uap);
    const std::optional<std::string> licence = PremiereLigneCompressee(fichiers.licenceRobots);
    constexpr std::string_view kNom = "crawler-user-agents ";
    if (licence && licence->rfind(kNom, 0) == 0 && licence->size() > kNom.size()) {
        v.robots = *licence;
    } else {
        v.robots = "crawler-user-agents (version inconnue)";
    }
    return v;
}

std::size_t Classificateur::HachageTexte::operator()(std::string_view s) const {
    return static_cast<std::size_t>(HachageExact(s));
}

Classificateur::Classificateur(const FichiersDonnees& fichiers,
                               const std::string& robotsUtilisateur)
    : fichiers_(fichiers) {
    if (std::optional<std::string> t = LitFichierDonnees(fichiers_.regexesUap)) {
        texteUap_ = std::move(*t), uapLu_ = true;
    }
    if (std::optional<std::string> t = LitFichierDonnees(fichiers_.listeRobots)) {
        texteRobots_ = std::move(*t), robotsLu_ = true;
    }
    cle_ = HachageExact(texteUap_) * 31 + HachageExact(texteRobots_);
    cle_ = cle_ * 31 + (uapLu_ ? 2 : 0) + (robotsLu_ ? 1 : 0);
    cle_ = cle_ * 31 + kFormatClassement;
    if (!robotsUtilisateur.empty()) {
        utilisateur_.Charge(robotsUtilisateur, messagesUtilisateur_);
    }
    if (!fichiers_.cache.empty()) {
        for (EntreeCache& e : LitCacheAgents(CheminCache(), cle_)) {
            Retient(std::move(e.agent), std::move(e.classement), false);
        }
    }
}

Classificateur::~Classificateur() {
    AttendChargement();
}

void Classificateur::AttendChargement() const {
    if (chargement_.joinable()) {
        chargement_.join();
    }
}

std::string Classificateur::CheminCache() const {
    std::string c = fichiers_.cache;
    if (!c.empty() && c.back() != '/') {
        c += '/';
    }
    return c + "agents.cache";
}

void Classificateur::ChargeListes() {
    std::call_once(listesChargees_, [this] {
        if (uapLu_) {
            listesSaines_ = uap_.ChargeTexte(texteUap_, fichiers_.regexesUap, messagesListes_);
        } else {
            listesSaines_ = uap_.Charge(fichiers_.regexesUap, messagesListes_);
        }
        const bool robots =
            robotsLu_ ? robots_.ChargeTexte(texteRobots_, fichiers_.listeRobots, messagesListes_)
                      : robots_.Charge(fichiers_.listeRobots, messagesListes_);
        listesSaines_ = listesSaines_ && robots && messagesListes_.empty();
        texteUap_.clear(), texteUap_.shrink_to_fit();
        texteRobots_.clear(), texteRobots_.shrink_to_fit();
    });
}

void Classificateur::ChargeListesEnFond() {
    if (!chargement_.joinable()) {
        chargement_ = std::thread([this] { ChargeListes(); });
    }
}

ClassementListes Classificateur::ParListes(std::string_view agent) const {
    ClassementListes c;
    c.Navigateur = uap_.Navigateur(agent);
    c.Systeme = uap_.Systeme(agent);
    if (std::optional<std::string> nom = robots_.Robot(agent)) {
        c.Robot = true;
        c.NomRobot = std::move(*nom);
    } else if (uap_.Araignee(agent)) {
        c.Robot = true;
        c.NomRobot = NomRobotUap(agent, c.Navigateur);
    }
    return c;
}

Classement Classificateur::Final(const ClassementListes& listes, std::string_view agent) const {
    Classement c{listes.Navigateur, listes.Systeme, listes.Robot, listes.NomRobot};
    if (std::optional<RobotsUtilisateur::Verdict> v = utilisateur_.Decide(agent)) {
        c.Robot = v->robot;
        c.NomRobot = v->robot ? v->nom : std::string();
    }
    return c;
}

void Classificateur::Retient(std::string agent, ClassementListes listes, bool nouveau) {
    Classement final = Final(listes, agent);
    memoire_.insert_or_assign(std::move(agent),
                              Memoire{std::move(listes), std::move(final), nouveau});
}

Classement Classificateur::Classe(std::string_view agent) {
    if (const Classement* c = Connu(agent)) {
        return *c;
    }
    ChargeListes();
    ClassementListes l = ParListes(agent);
    ++calcules_;
    Retient(std::string(agent), std::move(l), true);
    return *Connu(agent);
}

const Classement* Classificateur::Connu(std::string_view agent) const {
    const auto it = memoire_.find(agent);
    return it == memoire_.end() ? nullptr : &it->second.final;
}

void Classificateur::ClasseTous(const std::vector<std::string_view>& agents) {
    std::vector<std::string_view> inconnus;
    for (const std::string_view a : agents) {
        if (!Connu(a)) {
            inconnus.push_back(a);
        }
    }
    std::sort(inconnus.begin(), inconnus.end());
    inconnus.erase(std::unique(inconnus.begin(), inconnus.end()), inconnus.end());
    if (inconnus.empty()) {
        return;
    }
    ChargeListes();
    std::vector<ClassementListes> resultats(inconnus.size());
    auto calcule = [&](std::size_t debut, std::size_t pas) {
        for (std::size_t k = debut; k < inconnus.size(); k += pas) {
            resultats[k] = ParListes(inconnus[k]);
        }
    };
    const std::size_t fils =
        inconnus.size() < kSeuilFils
            ? 1
            : std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 2);
    std::vector<std::thread> autres;
    for (std::size_t f = 1; f < fils; ++f) {
        autres.emplace_back(calcule, f, fils);
    }
    calcule(0, fils);
    for (std::thread& t : autres) {
        t.join();
    }
    calcules_ += inconnus.size();
    memoire_.reserve(memoire_.size() + inconnus.size());
    for (std::size_t k = 0; k < inconnus.size(); ++k) {
        Retient(std::string(inconnus[k]), std::move(resultats[k]), true);
    }
}

std::vector<std::string> Classificateur::Messages() const {
    AttendChargement(); // (the reading started in the background may not have ended yet)
    std::vector<std::string> m = messagesListes_;
    m.insert(m.end(), messagesUtilisateur_.begin(), messagesUtilisateur_.end());
    const std::vector<std::string> abandons = utilisateur_.MessagesAbandons();
    m.insert(m.end(), abandons.begin(), abandons.end());
    return m;
}

bool Classificateur::SauveCache() {
    AttendChargement(); // listesSaines_ is known once the reading ends
    if (fichiers_.cache.empty() || !listesSaines_) {
        return false;
    }
    std::size_t nouveaux = 0;
    for (const auto& [agent, m] : memoire_) {
        nouveaux += m.nouveau;
    }
    if (nouveaux == 0) {
        return true;
    }
    std::vector<EntreeCache> copies;
    copies.reserve(memoire_.size());
    for (const auto& [agent, m] : memoire_) {
        if (memoire_.size() <= kCacheMax || m.nouveau) {
            copies.push_back({agent, m.listes});
        }
    }
    std::vector<const EntreeCache*> entrees;
    for (const EntreeCache& e : copies) {
        entrees.push_back(&e);
    }
    if (!EcritCacheAgents(CheminCache(), cle_, entrees)) {
        return false;
    }
    for (auto& [agent, m] : memoire_) {
        m.nouveau = false;
    }
    return true;
}

} // namespace sillage
