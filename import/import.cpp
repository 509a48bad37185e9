// The import of a log file: the log opened once, a plan made for the mode asked for, the lines
// counted by the engine's loop, and the register's row written with the tables.
#include "import/import.h"

#include "import/lecture/cibles.h"
#include "import/lecture/empreinte.h"
#include "import/lecture/lecture_anticipee.h"
#include "import/lecture/source_log.h"
#include "import/moteur/importation.h"
#include "import/moteur/parcours.h"
#include "import/parties/registre_import.h"
#include "import/plan.h"
#include "visiteurs/listes_robots.h"

#include <algorithm>
#include <memory>

namespace sillage {

namespace {

// True when the store's rows are many more than a small import reads lines: building the name
// indexes would then cost more than the import.
bool GrandeBase(const Base& base) {
    const std::size_t rangs = base.ListeNom.Count() + base.ListePage.Count() +
                              base.ListeImage.Count() + base.ListeDownload.Count() +
                              base.ListeOrigine.Count() + base.ListeLanpSearch.Count() +
                              base.ListeErreur.Count();
    return rangs > static_cast<std::size_t>(4 * kLignesCibles);
}

// A small import into a large store whose name indexes are not built finds its stored rows by
// its names, read ahead (cibles.h), in one pass over the rows, without the indexes. They are
// read from plan.Depart, where the source then goes back (a compressed log being inflated again
// up to there). False when the import is to go through the name indexes.
bool LitCiblesSiPetitImport(const Base& base, SourceJournal& source, const PlanImport& plan,
                            CiblesImport& cibles) {
    if (base.IndexAJour() || !GrandeBase(base)) {
        return false;
    }
    const bool petit = LitCibles(source, plan.Boucle.NombreChamps, cibles);
    if (!source.PositionneA(plan.Depart)) {
        LeveErreurLecture(plan.Rendu.DejaComptees + 1); // the log was cut short meanwhile
    }
    return petit;
}

// What an import that found nothing to count answers; raises when that is an error (a whole
// import of an empty log: the only way it finds no line).
CompteRenduImport RienANouveau(const PlanImport& plan, const std::string& chemin,
                               const DebutJournal& debut) {
    if (plan.VideEstErreur) {
        throw ErreurSillage(chemin + " est vide");
    }
    if (plan.Boucle.Fin >= 0 && plan.Boucle.Fin != plan.Depart) {
        LeveJournalChange(chemin);
    }
    CompteRenduImport rendu = plan.Rendu;
    rendu.Plage = {plan.Depart, plan.Depart, EmpreinteDe({}), rendu.DejaComptees};
    rendu.Vide = debut.octets.empty();
    return rendu;
}

// What the loop counted, as a report.
CompteRenduImport Bilan(const PlanImport& plan, const Parcouru& parcouru,
                        const SourceAnticipee& lecture) {
    CompteRenduImport rendu = plan.Rendu;
    rendu.Lignes = parcouru.Lues;
    rendu.Illisibles = parcouru.Illisibles;
    rendu.PremiereIllisible = parcouru.PremiereIllisible;
    rendu.Plage = {plan.Depart, parcouru.Fin, lecture.EmpreinteDes(parcouru.Lues),
                   rendu.DejaComptees};
    rendu.Change = true;
    return rendu;
}

// Who tells robots apart in an import as demande asks: its classifier, else for SansRobots one of
// the import's own, made in propre.
RobotsImport Robots(const Base& base, const DemandeImport& demande,
                    std::unique_ptr<Classificateur>& propre) {
    RobotsImport robots{demande.Classement, demande.SansRobots};
    if (robots.sansRobots && robots.classement == nullptr) {
        propre = std::make_unique<Classificateur>(FichiersDonnees::ParDefaut(),
                                                  base.CheminFichier(kFichierRobotsUtilisateur));
        robots.classement = propre.get();
    }
    return robots;
}

// The fingerprint of the bytes before the end the import reached, which the register checks at
// the next import (0 when the loop stopped short of the line it read last).
std::uint64_t EmpreinteDeFin(const SourceAnticipee& lecture, const Parcouru& parcouru) {
    if (parcouru.Attente) {
        return EmpreinteDe(lecture.QueueAvantDerniere());
    }
    return parcouru.Fin == lecture.Position() ? EmpreinteDe(lecture.Queue()) : 0;
}

// A replay ends exactly where the import it replays ended; a whole import counts a line at the
// least (a log whose every line was passed over is no access log).
void VerifieBilan(const PlanImport& plan, const Parcouru& parcouru, const std::string& chemin) {
    if (plan.Boucle.Fin >= 0 && parcouru.Fin != plan.Boucle.Fin) {
        LeveJournalChange(chemin);
    }
    if (plan.VideEstErreur && !parcouru.Compte) {
        LevePasUnJournal(chemin, parcouru.PremiereIllisible, false);
    }
}

// The register's row of the log, applied with the tables; a replay never takes back what the
// register counts beyond it.
void NoteAuRegistre(Importation& importation, const PlanImport& plan, const DebutJournal& debut,
                    const CompteRenduImport& rendu, std::uint64_t empreinteFin,
                    const std::string& chemin) {
    const std::int64_t fin = rendu.Plage.Fin;
    if (plan.RegistreAu > fin) {
        return;
    }
    const std::size_t couverts =
        std::min(debut.octets.size(), static_cast<std::size_t>(std::min(fin, kOctetsEmpreinte)));
    RRegistre r;
    r.Debut = EmpreinteDe(std::string_view(debut.octets).substr(0, couverts));
    r.OctetsDebut = static_cast<std::int64_t>(couverts);
    r.Octets = fin;
    r.Lignes = rendu.DejaComptees + rendu.Lignes;
    r.Fin = empreinteFin;
    r.Nom = chemin;
    r.Date = DateMaintenant();
    importation.NoteRegistre(plan.Rang, r);
}

} // namespace

CompteRenduImport ImporteJournal(Base& base, const std::string& chemin,
                                 const DemandeImport& demande,
                                 const RappelProgression& progression) {
    // The log is opened once: every step below reads it through this source, moving in it. Only
    // what is new is counted up to where a compressed log is cut; the rest waits.
    OptionsSource options;
    options.LongueurMaxLigne = demande.LongueurMaxLigne;
    options.CoupureToleree = demande.Mode == ModeImport::Nouveau;
    std::unique_ptr<SourceJournal> source = OuvreSourceFichier(chemin, options);
    const DebutJournal debut =
        LitDebut(*source, demande.IgnoreIllisibles, demande.Mode == ModeImport::Nouveau);
    PlanImport plan = Planifie(base, *source, chemin, debut, demande);
    plan.Boucle.Observateur = demande.Observateur;
    if (!plan.AFaire) {
        return plan.Rendu;
    }
    CiblesImport cibles;
    const bool parCibles = LitCiblesSiPetitImport(base, *source, plan, cibles);
    if (parCibles && !base.EstPeriode()) {
        // The periods of a small import are read while the store's rows are looked through.
        base.PrechargePeriodes(cibles.periodes);
    }
    std::string_view ligne;
    if (!PremiereLigne(*source, plan, ligne)) {
        CompteRenduImport rendu = RienANouveau(plan, chemin, debut);
        rendu.Coupe = options.CoupureToleree && source->Coupe();
        rendu.Vide = rendu.Vide && !rendu.Coupe; // cut before its first line: not empty
        return rendu;
    }
    plan.Boucle.DejaComptees = plan.Rendu.DejaComptees; // line numbers from the log's first
    plan.Boucle.Journal = chemin;

    // The lines to come are read ahead on a second thread while these are counted, and while
    // the name indexes are built.
    auto lecture = std::make_unique<SourceAnticipee>(
        std::move(source), ligne, static_cast<bool>(progression), plan.Boucle.NombreChamps);
    lecture->Suivante(ligne); // the line it was given, again
    SuiviProgression suivi(progression, *lecture);
    std::unique_ptr<Classificateur> classementPropre;
    Importation importation(base, parCibles ? &cibles : nullptr,
                            Robots(base, demande, classementPropre));
    const Parcouru parcouru = CompteLignes(*lecture, plan.Boucle, importation, suivi);
    CompteRenduImport rendu = Bilan(plan, parcouru, *lecture);
    rendu.Coupe = options.CoupureToleree && lecture->Coupe();
    rendu.Periodes = importation.Periodes();
    const std::uint64_t empreinteFin = EmpreinteDeFin(*lecture, parcouru);
    lecture.reset(); // its memory goes before the new tables take theirs
    // (With the reading thread gone, the agents still unknown are classified on both cores.)
    rendu.Robots = importation.AccesRobots();

    VerifieBilan(plan, parcouru, chemin);
    NoteAuRegistre(importation, plan, debut, rendu, empreinteFin, chemin);
    importation.Valide();
    suivi.Fin();
    return rendu;
}

EtatRegistre ConsulteRegistre(const Base& base, const std::string& chemin) {
    EtatRegistre etat;
    const std::unique_ptr<SourceJournal> source = OuvreSourceFichier(chemin);
    const DebutJournal debut = LitDebut(*source, false, false);
    const std::int64_t rang = ChercheRegistre(base.ListeRegistre, debut.octets);
    if (rang < 0) {
        return etat;
    }
    const RRegistre r = LitRegistre(base.ListeRegistre[static_cast<std::size_t>(rang)]);
    if (!RetrouveFin(*source, r)) {
        return etat;
    }
    etat.Connu = true;
    etat.Ligne = r;
    std::string_view ligne;
    for (bool encore = PremiereLigneApresFin(*source, ligne); encore && source->DerniereTerminee();
         encore = source->Suivante(ligne)) {
        ++etat.LignesNouvelles;
    }
    return etat;
}

std::int64_t ImporteListeLog(Base& base, const RappelProgression& progression) {
    SourceTable source(base.ListeLog);
    return Importe(base, source, progression);
}

} // namespace sillage
