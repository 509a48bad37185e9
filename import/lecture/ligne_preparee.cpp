#include "import/lecture/ligne_preparee.h"

#include "store/casse.h"

namespace sillage {

void PrepareLigne(std::string_view ligne, int NombreChamps, LignePreparee& p,
                  std::string& tamponKeywords, std::string& tamponEchappement, Arene* arene) {
    RHitsVues& h = p.hit;
    DecoupeLigneLogVues(ligne, NombreChamps, h, tamponKeywords, tamponEchappement);
    if (arene != nullptr) {
        for (std::string_view* c : {&h.Prefixe, &h.Hote, &h.DateLog, &h.Page, &h.Statut, &h.Origine,
                                    &h.Keywords, &h.Navigateur}) {
            if (!c->empty() &&
                (c->data() < ligne.data() || c->data() >= ligne.data() + ligne.size())) {
                *c = arene->Copie(*c);
            }
        }
    }
    p.image = EstImage(h.Page);
    p.download = !p.image && EstDownload(h.Page);
    p.hHote = HachageSansCasse(h.Hote);
    p.hPage = HachageSansCasse(h.Page);
    p.hOrigine = HachageSansCasse(h.Origine);
    p.hAgent = HachageExact(h.Navigateur);
}

} // namespace sillage
