// Any bytes as an access log, imported into a small store: the import gives the tables of the
// plain line-by-line algorithm (or the same error, with the store left as it was), and a save
// followed by a load gives those tables back.
#include "import/import.h"
#include "import/lecture/cibles.h"
#include "import/moteur/parcours.h"
#include "reference.h"
#include "store/base.h"
#include "store/erreur.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const std::string& Repertoire() {
    return sillage::test::RepertoireEnMemoire().Chemin();
}

// A store with a few rows already, so that the import also updates stored rows.
void Prepare(sillage::Base& base) {
    base.ReinitialiseListes();
    base.ListeLog.Efface();
    base.ListeLog.Ajoute(sillage::test::LigneLog("10.0.0.1", "14/Feb/2004:10:00:00", "/a.html",
                                                 "404", "http://s.net/x?q=a+b"));
    base.ListeLog.Ajoute(sillage::test::LigneLog("Host", "29/Feb/2004:23:59:59", "/i.GIF"));
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
    lignes.ChargeOctets(std::string_view(reinterpret_cast<const char*>(donnees), taille));
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
    // The same import finding its stored rows through the names read ahead, without the indexes.
    if (!v.empty()) {
        Base parCibles = attendu;
        Prepare(parCibles);
        parCibles.ListeLog = lignes;
        CiblesImport cibles;
        SourceTable avance(parCibles.ListeLog);
        LitCibles(avance, CompteNombreChamps(v[0]), cibles);
        SourceTable source(parCibles.ListeLog);
        std::string messageCibles;
        try {
            Importe(parCibles, source, {}, {}, &cibles);
        } catch (const ErreurSillage& e) {
            messageCibles = e.what();
        }
        if (messageCibles != messageAttendu) {
            std::abort();
        }
        CompareOuArrete(parCibles, attendu);
    }
    if (!message.empty()) {
        return 0;
    }
    base.SauveListes();
    Base relue(Repertoire());
    relue.InitListes();
    CompareOuArrete(base, relue);
    return 0;
}
