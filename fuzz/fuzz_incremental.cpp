// Any bytes as a log that grows between scheduled imports: imported in pieces cut at any two
// bytes (inside a line, between the CR and the LF of a line end...) with --incremental, it gives
// the counts of one import of the whole log, unreadable lines (some of them too long for a small
// limit) passed over in both.
#include "import/import.h"
#include "store/base.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace sillage;

std::string Dossier(const char* nom) {
    // In memory when the system offers it: the target writes files on every run.
    std::string modele = std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                         "/sillage-fuzz-" + nom + "-XXXXXX";
    return std::string(::mkdtemp(modele.data())) + "/";
}

void Ecrit(const std::string& chemin, const std::string& octets) {
    std::ofstream(chemin, std::ios::binary | std::ios::trunc) << octets;
}

// Every row of every table, the ranked tables' rows in sorted order (their order among equal
// counts depends on how the lines were shared out between imports).
std::vector<std::string> Rangees(const Base& base) {
    std::vector<std::string> toutes;
    for (const EntreeCatalogue& e : Base::Catalogue()) {
        const Table& t = base.*e.table;
        std::vector<std::string> lignes;
        for (std::size_t i = 0; i < t.Count(); ++i) {
            lignes.emplace_back(t[i]);
        }
        const std::string_view f = e.fichier;
        if (f == "nom.lst" || f == "page.lst" || f == "image.lst" || f == "origine.lst") {
            std::sort(lignes.begin(), lignes.end());
        }
        toutes.emplace_back(f);
        toutes.insert(toutes.end(), lignes.begin(), lignes.end());
    }
    return toutes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    if (taille < 2) {
        return 0;
    }
    std::string texte(reinterpret_cast<const char*>(donnees) + 2, taille - 2);
    if (texte.size() >= 2 && static_cast<unsigned char>(texte[0]) == 0x1f &&
        static_cast<unsigned char>(texte[1]) == 0x8b) {
        return 0; // a gzip stream: another target's business
    }
    // The whole log ends with a line end, so that both ways count its last line.
    if (!texte.empty() && texte.back() != '\n' && texte.back() != '\r') {
        texte += '\n';
    }
    std::size_t a = texte.empty() ? 0 : donnees[0] % (texte.size() + 1);
    std::size_t b = texte.empty() ? 0 : donnees[1] % (texte.size() + 1);
    if (a > b) {
        std::swap(a, b);
    }

    static const std::string entier = Dossier("entier");
    static const std::string morceaux = Dossier("morceaux");
    DemandeImport demande;
    demande.IgnoreIllisibles = true;
    // Lines longer than a small limit, now and then: unreadable in both ways.
    if ((donnees[0] ^ donnees[1]) % 4 == 0) {
        demande.LongueurMaxLigne = 40 + donnees[0] % 100;
    }

    Base unSeul(entier);
    unSeul.InitListes();
    Ecrit(entier + "journal.log", texte);
    bool echec = false;
    try {
        ImporteJournal(unSeul, entier + "journal.log", demande);
    } catch (const ErreurSillage&) {
        echec = true; // an empty log, or no line that can be counted
    }

    Base parMorceaux(morceaux);
    parMorceaux.InitListes();
    demande.Mode = ModeImport::Nouveau;
    for (std::size_t fin : {a, b, texte.size()}) {
        Ecrit(morceaux + "journal.log", texte.substr(0, fin));
        ImporteJournal(parMorceaux, morceaux + "journal.log", demande);
    }
    if (!echec && Rangees(unSeul) != Rangees(parMorceaux)) {
        std::abort();
    }
    return 0;
}
