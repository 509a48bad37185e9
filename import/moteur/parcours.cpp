#include "import/moteur/parcours.h"

#include "import/lecture/erreur_ligne.h"
#include "import/lecture/ligne_log.h"
#include "import/lecture/ligne_preparee.h"
#include "store/erreur.h"

#include <string_view>

namespace sillage {

namespace {

// The line source gave last, prepared.
const LignePreparee& Preparee(SourceLignes& source, const Parcours& parcours,
                              PreparateurLignes& preparateur) {
    const LignePreparee* preparee = source.Preparee();
    return preparee != nullptr ? *preparee
                               : preparateur.Prepare(source.Derniere(), parcours.NombreChamps);
}

// The first line read, number numero, stopped the import with e: reads on for a line that could
// be counted (passing over the others would then import something), and raises e saying so, or,
// when the log's first line is not an access-log line at all, that the file does not look like
// an access log.
[[noreturn]] void ArreteSurPremiere(SourceLignes& source, std::int64_t numero,
                                    const Parcours& parcours, PreparateurLignes& preparateur,
                                    const ErreurLigne& e) {
    bool comptables = false;
    std::string_view ligne;
    while (!comptables && source.Suivante(ligne)) {
        comptables = !source.DerniereAvecNul() && !source.DerniereTropLongue() &&
                     LigneComptable(Preparee(source, parcours, preparateur));
    }
    if (numero == 1 && e.HorsFormat && !parcours.Journal.empty()) {
        LevePasUnJournal(parcours.Journal, numero, comptables);
    }
    ErreurLigne erreur = e;
    erreur.LignesComptables = comptables;
    throw erreur;
}

// Counts the line source gave last, number numero, into importation; an unreadable line is
// passed over and noted in parcouru when parcours says so.
void CompteLigne(SourceLignes& source, std::int64_t numero, const Parcours& parcours,
                 PreparateurLignes& preparateur, Importation& importation, Parcouru& parcouru) {
    try {
        if (source.DerniereAvecNul() || source.DerniereTropLongue()) {
            LeveErreurLigne(numero, true);
        }
        const LignePreparee& preparee = Preparee(source, parcours, preparateur);
        importation.TraiteLigne(preparee, numero);
        parcouru.Compte = true;
        if (parcours.Observateur != nullptr) {
            parcours.Observateur->LigneComptee(source.Derniere(), parcours.NombreChamps, preparee);
        }
    } catch (const ErreurLigne& e) {
        if (!parcours.IgnoreIllisibles) {
            if (parcouru.Lues == 1) {
                ArreteSurPremiere(source, numero, parcours, preparateur, e);
            }
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
    parcouru.Fin = source.DebutDerniere();
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
