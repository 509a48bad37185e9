#include "visiteurs/cache_agents.h"

#include "visiteurs/fichiers_donnees.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace sillage {

namespace {

constexpr std::string_view kEntete = "SILLAGE-AGENTS 1\n";
// Longest text the reader accepts in one field: no agent of a log line is longer.
constexpr std::uint32_t kTexteMax = 1u << 24;

void AjouteMot(std::string& s, std::uint64_t v, int octets) {
    for (int k = 0; k < octets; ++k) {
        s += static_cast<char>((v >> (8 * k)) & 0xFF);
    }
}
void AjouteTexte(std::string& s, std::string_view t) {
    AjouteMot(s, t.size(), 4);
    s += t;
}

class Lecture {
  public:
    explicit Lecture(std::string_view o) : o_(o) {}
    bool Mot(std::uint64_t& v, int octets) {
        if (o_.size() - i_ < static_cast<std::size_t>(octets)) {
            return false;
        }
        v = 0;
        for (int k = 0; k < octets; ++k) {
            v |= static_cast<std::uint64_t>(static_cast<unsigned char>(o_[i_++])) << (8 * k);
        }
        return true;
    }
    bool Texte(std::string& t) {
        std::uint64_t n = 0;
        if (!Mot(n, 4) || n > kTexteMax || o_.size() - i_ < n) {
            return false;
        }
        t.assign(o_.substr(i_, n));
        i_ += n;
        return true;
    }
    bool Fini() const { return i_ == o_.size(); }
    void Passe(std::size_t n) { i_ += n; }

  private:
    std::string_view o_;
    std::size_t i_ = 0;
};

// Makes the folders of chemin that are missing, mode 0700.
void CreeDossiers(const std::string& dossier) {
    for (std::size_t p = dossier.find('/', 1); p != std::string::npos;
         p = dossier.find('/', p + 1)) {
        ::mkdir(dossier.substr(0, p).c_str(), 0700);
    }
    ::mkdir(dossier.c_str(), 0700);
}

} // namespace

std::vector<EntreeCache> LitCacheAgents(const std::string& chemin, std::uint64_t cle) {
    const std::optional<std::string> octets = LitFichierDonnees(chemin);
    if (!octets || octets->compare(0, kEntete.size(), kEntete) != 0) {
        return {};
    }
    Lecture l(*octets);
    l.Passe(kEntete.size());
    std::uint64_t cleLue = 0, nombre = 0;
    if (!l.Mot(cleLue, 8) || cleLue != cle || !l.Mot(nombre, 4)) {
        return {};
    }
    std::vector<EntreeCache> entrees;
    entrees.reserve(std::min<std::uint64_t>(nombre, octets->size() / 17));
    for (std::uint64_t k = 0; k < nombre; ++k) {
        EntreeCache e;
        std::uint64_t robot = 0;
        if (!l.Texte(e.agent) || !l.Texte(e.classement.Navigateur) ||
            !l.Texte(e.classement.Systeme) || !l.Mot(robot, 1) || robot > 1 ||
            !l.Texte(e.classement.NomRobot)) {
            return {};
        }
        e.classement.Robot = robot == 1;
        entrees.push_back(std::move(e));
    }
    if (!l.Fini()) {
        return {};
    }
    return entrees;
}

bool EcritCacheAgents(const std::string& chemin, std::uint64_t cle,
                      const std::vector<const EntreeCache*>& entrees) {
    const std::size_t barre = chemin.rfind('/');
    if (barre != std::string::npos && barre > 0) {
        CreeDossiers(chemin.substr(0, barre));
    }
    std::string s(kEntete);
    AjouteMot(s, cle, 8);
    AjouteMot(s, entrees.size(), 4);
    for (const EntreeCache* e : entrees) {
        AjouteTexte(s, e->agent);
        AjouteTexte(s, e->classement.Navigateur);
        AjouteTexte(s, e->classement.Systeme);
        AjouteMot(s, e->classement.Robot ? 1 : 0, 1);
        AjouteTexte(s, e->classement.NomRobot);
    }
    std::string temporaire = chemin + ".XXXXXX";
    const int fd = ::mkstemp(temporaire.data());
    if (fd < 0) {
        return false;
    }
    std::size_t ecrit = 0;
    while (ecrit < s.size()) {
        const ssize_t n = ::write(fd, s.data() + ecrit, s.size() - ecrit);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        ecrit += static_cast<std::size_t>(n);
    }
    const bool ok = ecrit == s.size() && ::close(fd) == 0;
    if (!ok || std::rename(temporaire.c_str(), chemin.c_str()) != 0) {
        if (ecrit != s.size()) {
            ::close(fd);
        }
        ::unlink(temporaire.c_str());
        return false;
    }
    return true;
}

} // namespace sillage
