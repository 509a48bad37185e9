#include "support/repertoire_temporaire.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace sillage::test {

RepertoireTemporaire::RepertoireTemporaire()
    : RepertoireTemporaire(std::filesystem::temp_directory_path().string()) {}

RepertoireTemporaire::RepertoireTemporaire(const std::string& parent) {
    std::string modele = (std::filesystem::path(parent) / "sillage-XXXXXX").string();
    if (::mkdtemp(modele.data()) == nullptr) {
        throw std::runtime_error("mkdtemp");
    }
    chemin_ = modele + "/";
}

RepertoireTemporaire::~RepertoireTemporaire() {
    std::error_code ec;
    std::filesystem::remove_all(chemin_, ec);
}

const RepertoireTemporaire& RepertoireEnMemoire() {
    static const RepertoireTemporaire dir = []() -> RepertoireTemporaire {
        if (::access("/dev/shm", W_OK) == 0) {
            return RepertoireTemporaire("/dev/shm");
        }
        return RepertoireTemporaire();
    }();
    return dir;
}

std::string Contenu(const std::string& chemin) {
    std::ifstream f(chemin, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

void Ecrit(const std::string& chemin, const std::string& octets) {
    std::ofstream f(chemin, std::ios::binary | std::ios::trunc);
    f << octets;
}

} // namespace sillage::test
