// Any bytes as an access log, imported into a small store: the import gives the tables of the
// plain line-by-line algorithm (or the same error, with the store left as it was), and a save
// followed by a load gives those tables back.
#include "import/import.h"
#include "reference.h"
#include "store/base.h"
#include "store/erreur.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const std::string& Repertoire() {
    static const std::string dir = [] {
        // In memory when the system offers it: the targets write files on every run.
        char modele[] = "/dev/shm/sillage-fuzz-XXXXXX";
        if (::access("/dev/shm", W_OK) != 0) {
            std::memcpy(modele, "/tmp/sillage-fuzz-XXXXXX", sizeof "/tmp/sillage-fuzz-XXXXXX");
        }
        return std::string(::mkdtemp(modele)) + "/";
    }();
    return dir;
}

// A store with a few rows already, so that the import also updates stored rows.
void Prepare(sillage::Base& base) {
    base.ReinitialiseListes();
    base.ListeLog.Efface();
    base.ListeLog.Ajoute("10.0.0.1 - - [14/Feb/2004:10:00:00 +0100] \"GET /a.html HTTP/1.1\" 404 1 "
                         "\"http://s.net/x?q=a+b\" \"A\"");
    base.ListeLog.Ajoute(
        "Host - - [29/Feb/2004:23:59:59 +0100] \"GET /i.GIF HTTP/1.1\" 200 1 \"-\" \"A\"");
    sillage::ImporteListeLog(base);
    base.AssureIndex();
}

void CompareOuArrete(sillage::Base& a, sillage::Base& b) {
    for (const sillage::EntreeCatalogue& e : sillage::Base::Catalogue()) {
        if (!(a.*e.table == b.*e.table)) {
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    using namespace sillage;
    if (taille > 4096) {
        return 0;
    }
    Base base(Repertoire());
    Prepare(base);
    Table lignes;
    lignes.ChargeOctets(std::string(reinterpret_cast<const char*>(donnees), taille));
    std::vector<std::string> v;
    for (std::size_t i = 0; i < lignes.Count(); ++i) {
        v.emplace_back(lignes[i]);
        base.ListeLog.Ajoute(lignes[i]);
    }
    base.ListeLog.Efface();
    for (const std::string& l : v) {
        base.ListeLog.Ajoute(l);
    }
    Base attendu = base;
    std::string message, messageAttendu;
    try {
        test::ImporteReference(attendu, v);
    } catch (const ErreurSillage& e) {
        messageAttendu = e.what();
    }
    try {
        ImporteListeLog(base);
    } catch (const ErreurSillage& e) {
        message = e.what();
    }
    if (message != messageAttendu) {
        std::abort();
    }
    CompareOuArrete(base, attendu);
    if (!message.empty()) {
        return 0;
    }
    base.SauveListes();
    Base relue(Repertoire());
    relue.InitListes();
    CompareOuArrete(base, relue);
    return 0;
}
