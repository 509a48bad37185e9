#include "import/moteur/parcours.h"

#include "import/lecture/erreur_ligne.h"
#include "import/lecture/ligne_log.h"
#include "import/lecture/ligne_preparee.h"
#include "store/erreur.h"

#include <string_view>

namespace sillage {

namespace {

// Counts the line source gave last, number numero, into importation; an unreadable line is
// passed over and noted in parcouru when parcours says so.
void CompteLigne(SourceLignes& source, std::int64_t numero, const Parcours& parcours,
                 PreparateurLignes& preparateur, Importation& importation, Parcouru& parcouru) {
    try {
        if (source.DerniereAvecNul()) {
            LeveErreurLigne(numero);
        }
        const LignePreparee* preparee = source.Preparee();
        if (preparee == nullptr) {
            preparee = &preparateur.Prepare(source.Derniere(), parcours.NombreChamps);
        }
        importation.TraiteLigne(*preparee, numero);
        parcouru.Compte = true;
        if (parcours.Observateur != nullptr) {
            parcours.Observateur->LigneComptee(source.Derniere(), parcours.NombreChamps, *preparee);
        }
    } catch (const ErreurLigne&) {
        if (!parcours.IgnoreIllisibles) {
            source.VerifieReste();
            throw;
        }
        if (parcouru.Illisibles++ == 0) {
            parcouru.PremiereIllisible = numero;
        }
    } catch (const ErreurSillage&) {
        // Damaged compressed input can give lines of garbage before it shows as damaged.
        source.VerifieReste();
        throw;
    }
}

} // namespace

Parcouru CompteLignes(SourceLignes& source, const Parcours& parcours, Importation& importation,
                      SuiviProgression& suivi) {
    Parcouru parcouru;
    parcouru.Fin = source.Position() - static_cast<std::int64_t>(source.AvecFin().size());
    PreparateurLignes preparateur;
    std::string_view ligne;
    do {
        if (parcours.AttendFin && !source.DerniereTerminee()) {
            parcouru.Attente = true; // still being written: left for the next import
            break;
        }
        if (parcours.Fin >= 0 && source.Position() > parcours.Fin) {
            break;
        }
        suivi.Ligne(parcouru.Lues);
        const std::int64_t numero = parcours.DejaComptees + ++parcouru.Lues;
        CompteLigne(source, numero, parcours, preparateur, importation, parcouru);
        parcouru.Fin = source.Position();
    } while (parcouru.Fin != parcours.Fin && source.Suivante(ligne));
    return parcouru;
}

std::int64_t Importe(Base& base, SourceLignes& source, const RappelProgression& progression,
                     const SondeValidation& sonde, const CiblesImport* cibles) {
    std::string_view ligne;
    if (!source.Suivante(ligne)) {
        LeveErreurIndice(0);
    }
    Parcours parcours;
    parcours.NombreChamps = CompteNombreChamps(ligne);
    SuiviProgression suivi(progression, source);
    Importation importation(base, cibles);
    const Parcouru parcouru = CompteLignes(source, parcours, importation, suivi);
    importation.Valide(sonde);
    suivi.Fin();
    return parcouru.Lues;
}

} // namespace sillage
