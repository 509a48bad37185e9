#include "import/lecture/cibles.h"

#include "import/lecture/ligne_log.h"
#include "import/lecture/source_log.h"
#include "store/casse.h"
#include "store/date.h"
#include "store/date_compacte.h"
#include "store/periodes.h"

#include <algorithm>

#include <string>

namespace sillage {

void EnsembleHachages::Termine() {
    // About 64 bits per hash: one name in some fifty that were not given passes.
    std::size_t n = 1024;
    while (n < hachages_.size() * 64) {
        n *= 2;
    }
    bits_.assign(n / 64, 0);
    masque_ = n - 1;
    for (const std::uint64_t h : hachages_) {
        const std::uint64_t i = (h ^ (h >> 29)) & masque_;
        bits_[i >> 6] |= std::uint64_t{1} << (i & 63);
    }
}

bool LitCibles(SourceLignes& source, int nombreChamps, CiblesImport& c) {
    RHitsVues hit;
    std::string keywords, echappement;
    std::string_view ligne;
    std::int64_t n = 0;
    std::int32_t annee = -1;
    std::int32_t mois = -1;
    while (source.Suivante(ligne)) {
        if (++n > kLignesCibles) {
            return false;
        }
        DecoupeLigneLogVues(ligne, nombreChamps, hit, keywords, echappement);
        c.hotes.Ajoute(HachageSansCasse(hit.Hote));
        c.ressources.Ajoute(HachageSansCasse(hit.Page));
        c.origines.Ajoute(HachageSansCasse(hit.Origine));
        DateCompacte date;
        if (CompacteDate(hit.DateLog, date)) {
            const RDate d = DecompacteDate(date);
            if (d.Annee != annee || d.Mois != mois) {
                annee = d.Annee;
                mois = d.Mois;
                for (std::string nom : {NomPeriodeAnnee(annee), NomPeriodeMois(annee, mois)}) {
                    if (std::find(c.periodes.begin(), c.periodes.end(), nom) == c.periodes.end()) {
                        c.periodes.push_back(std::move(nom));
                    }
                }
            }
        }
    }
    c.hotes.Termine();
    c.ressources.Termine();
    c.origines.Termine();
    return true;
}

} // namespace sillage
