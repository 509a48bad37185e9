#include "import/plan.h"

#include "import/lecture/empreinte.h"
#include "import/lecture/ligne_log.h"
#include "import/moteur/importation.h"
#include "import/parties/registre_import.h"

#include <algorithm>

namespace sillage {

namespace {

bool FinDeLigne(char c) {
    return c == '\n' || c == '\r';
}

RRegistre Rangee(const Base& base, std::int64_t rang) {
    return LitRegistre(base.ListeRegistre[static_cast<std::size_t>(rang)]);
}

// The counting goes on from the end that row r recorded; source stands there.
void Reprend(PlanImport& plan, const RRegistre& r) {
    plan.Depart = r.Octets;
    plan.Reprise = true;
    plan.Rendu.DejaComptees = r.Lignes;
    plan.Rendu.Connu = true;
}

// Raises ErreurJournalChange unless the log's bytes [Debut, Fin) are those recorded.
void VerifiePlage(SourceJournal& source, const std::string& chemin, const PlageJournal& plage) {
    if (!source.PositionneA(plage.Debut)) {
        LeveJournalChange(chemin);
    }
    Empreinte empreinte;
    std::string_view ligne;
    while (source.Position() < plage.Fin && source.Suivante(ligne)) {
        empreinte.Ajoute(source.AvecFin());
    }
    if (source.Position() != plage.Fin || empreinte.Valeur() != plage.Empreinte) {
        LeveJournalChange(chemin);
    }
}

// Every line, from the first; a log with none to count is an error. A log whose beginning the
// register knows is counted again: the report says when it was imported.
PlanImport PlanEntier(const Base& base, SourceJournal& source, PlanImport plan) {
    plan.VideEstErreur = true;
    if (plan.Rang >= 0) {
        plan.Rendu.DejaImporteLe = Rangee(base, plan.Rang).Date;
    }
    source.PositionneA(0);
    return plan;
}

// Only what is new: from the end the register recorded, when the log still holds it; else the
// whole log, as a new one. A last line without its line end waits for a later import.
PlanImport PlanNouveau(const Base& base, SourceJournal& source, PlanImport plan) {
    plan.Boucle.AttendFin = true;
    if (plan.Rang >= 0) {
        const RRegistre r = Rangee(base, plan.Rang);
        if (RetrouveFin(source, r)) {
            Reprend(plan, r);
            return plan;
        }
        plan.Rendu.Reecrit = true; // rewritten or truncated in place: a new log
    }
    source.PositionneA(0);
    return plan;
}

// Exactly the bytes an earlier import counted, checked before anything is counted: a log that
// changed is told as such, not by what its changes make of its lines. A replay of an import of
// what was new passes over what the register counts now (another program counted it meanwhile),
// and never takes back what the register counts beyond it.
PlanImport PlanRejeu(const Base& base, SourceJournal& source, const std::string& chemin,
                     const DemandeImport& demande, PlanImport plan) {
    const PlageJournal& plage = demande.Plage;
    VerifiePlage(source, chemin, plage);
    plan.Depart = plage.Debut;
    plan.Boucle.Fin = plage.Fin;
    plan.Rendu.DejaComptees = plage.LignesAvant;
    if (plan.Rang >= 0) {
        const RRegistre r = Rangee(base, plan.Rang);
        plan.RegistreAu = r.Octets;
        if (demande.SautDejaComptees && r.Octets >= plage.Fin) {
            plan.AFaire = false; // counted whole by another import meanwhile
            plan.Rendu.Connu = true;
            plan.Rendu.Plage = {plage.Fin, plage.Fin, EmpreinteDe({}), r.Lignes};
            return plan;
        }
        if (demande.SautDejaComptees && r.Octets > plan.Depart && RetrouveFin(source, r)) {
            Reprend(plan, r);
            return plan;
        }
    }
    // Back to the beginning of the bytes checked: a compressed log is inflated again.
    if (!source.PositionneA(plan.Depart)) {
        LeveJournalChange(chemin);
    }
    return plan;
}

} // namespace

DebutJournal LitDebut(SourceJournal& source, bool ignoreIllisibles, bool completes) {
    DebutJournal debut;
    std::string_view ligne;
    while (source.Suivante(ligne)) {
        if (debut.octets.size() < static_cast<std::size_t>(kOctetsEmpreinte)) {
            const std::string_view avecFin = source.AvecFin();
            debut.octets.append(avecFin.substr(
                0, std::min(avecFin.size(), kOctetsEmpreinte - debut.octets.size())));
        }
        const bool candidate = !completes || source.DerniereTerminee();
        if (!debut.connu && candidate &&
            (!ignoreIllisibles ||
             (!source.DerniereAvecNul() && !source.DerniereTropLongue() && LigneLisible(ligne)))) {
            debut.nombreChamps = CompteNombreChamps(ligne);
            debut.connu = true;
        }
        if (debut.connu && debut.octets.size() >= static_cast<std::size_t>(kOctetsEmpreinte)) {
            break;
        }
    }
    return debut;
}

PlanImport Planifie(const Base& base, SourceJournal& source, const std::string& chemin,
                    const DebutJournal& debut, const DemandeImport& demande) {
    PlanImport plan;
    plan.Rang = ChercheRegistre(base.ListeRegistre, debut.octets);
    plan.ChampsConnus = debut.connu;
    plan.Boucle.NombreChamps = debut.nombreChamps;
    plan.Boucle.IgnoreIllisibles = demande.IgnoreIllisibles;
    switch (demande.Mode) {
    case ModeImport::Nouveau:
        return PlanNouveau(base, source, plan);
    case ModeImport::Plage:
        return PlanRejeu(base, source, chemin, demande, plan);
    case ModeImport::Entier:
        break;
    }
    return PlanEntier(base, source, plan);
}

bool PremiereLigne(SourceJournal& source, PlanImport& plan, std::string_view& ligne) {
    const bool encore =
        plan.Reprise ? PremiereLigneApresFin(source, ligne) : source.Suivante(ligne);
    plan.Depart = encore ? source.DebutDerniere() : source.Position();
    return encore && (!plan.Boucle.AttendFin || (source.DerniereTerminee() && plan.ChampsConnus));
}

bool PremiereLigneApresFin(SourceJournal& source, std::string_view& ligne) {
    if (!source.Suivante(ligne)) {
        return false;
    }
    const std::string_view avant = source.QueueAvantDerniere();
    const bool auMilieu = !avant.empty() && !FinDeLigne(avant.back());
    const bool lfSeul = !avant.empty() && avant.back() == '\r' && source.AvecFin() == "\n";
    return auMilieu || lfSeul ? source.Suivante(ligne) : true;
}

bool RetrouveFin(SourceJournal& source, const RRegistre& r) {
    if (!source.PositionneA(r.Octets)) {
        return false;
    }
    const std::string_view queue = source.Queue();
    return static_cast<std::int64_t>(queue.size()) ==
               std::min<std::int64_t>(r.Octets, static_cast<std::int64_t>(kOctetsQueue)) &&
           EmpreinteDe(queue) == r.Fin;
}

void LeveJournalChange(const std::string& chemin) {
    throw ErreurJournalChange("Le journal " + chemin + " a changé depuis qu'il a été importé.");
}

} // namespace sillage
