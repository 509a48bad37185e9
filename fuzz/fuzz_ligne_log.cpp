// Any bytes as one access-log line: the parser never fails, never lets a tag through, and the
// classification tests accept any path.
#include "import/lecture/ligne_log.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    const std::string_view ligne(reinterpret_cast<const char*>(donnees), taille);
    for (int nombreChamps : {3, 4}) {
        const sillage::RHits h = sillage::DecoupeLigneLog(ligne, nombreChamps);
        for (const std::string* champ : {&h.Prefixe, &h.Hote, &h.DateLog, &h.Page, &h.Statut,
                                         &h.Origine, &h.Keywords, &h.Navigateur}) {
            if (sillage::ContientEtiquette(*champ)) {
                std::abort();
            }
        }
        if (h.Illisible) {
            std::abort();
        }
        (void)sillage::EstImage(h.Page);
        (void)sillage::EstDownload(h.Page);
    }
    (void)sillage::CompteNombreChamps(ligne);
    (void)sillage::DecodeRequete(ligne);
    return 0;
}
