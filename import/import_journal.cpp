// The import of a log file: whole, only what is new since the register's row, or the exact bytes
// of an earlier import; the register's row written with the tables.
#include "import/cibles.h"
#include "import/empreinte.h"
#include "import/import.h"
#include "import/importation.h"
#include "import/lecture_anticipee.h"
#include "import/registre_journaux.h"
#include "import/source_log.h"

#include <algorithm>

namespace sillage {

namespace {

// What a log begins with: its first bytes (up to kOctetsEmpreinte), and the number of fields of
// its first line, or of its first line that can be counted when unreadable lines are passed over.
struct DebutJournal {
    std::string octets;
    int nombreChamps = 0;
    bool connu = false; // a line gave the number of fields
};

// completes: only lines with their line end may give the number of fields (an import that leaves
// the last line without one for later judges none by it).
DebutJournal LitDebut(const std::string& chemin, bool ignoreIllisibles, bool completes) {
    DebutJournal debut;
    const std::unique_ptr<SourceJournal> source = OuvreSourceFichier(chemin);
    std::string_view ligne;
    bool trouve = false;
    while (source->Suivante(ligne)) {
        if (debut.octets.size() < static_cast<std::size_t>(kOctetsEmpreinte)) {
            const std::string_view avecFin = source->AvecFin();
            debut.octets.append(avecFin.substr(
                0, std::min(avecFin.size(), kOctetsEmpreinte - debut.octets.size())));
        }
        const bool candidate = !completes || source->DerniereTerminee();
        if (!trouve && candidate &&
            (!ignoreIllisibles || (!source->DerniereAvecNul() && LigneLisible(ligne)))) {
            debut.nombreChamps = CompteNombreChamps(ligne);
            trouve = true;
            debut.connu = true;
        }
        if (trouve && debut.octets.size() >= static_cast<std::size_t>(kOctetsEmpreinte)) {
            break;
        }
    }
    return debut;
}

bool FinDeLigne(char c) {
    return c == '\n' || c == '\r';
}

// Goes to the recorded end of row r in source; true when the log is still the one recorded
// there (its text reaches that end, and the bytes before it are those recorded).
bool RetrouveFin(SourceJournal& source, const RJournal& r) {
    if (!source.PositionneA(r.Octets)) {
        return false;
    }
    const std::string_view queue = source.Queue();
    return static_cast<std::int64_t>(queue.size()) ==
               std::min<std::int64_t>(r.Octets, static_cast<std::int64_t>(kOctetsQueue)) &&
           EmpreinteDe(queue) == r.Fin;
}

// True when the store's rows are many more than a small import reads lines: building the name
// indexes would then cost more than the import.
bool GrandeBase(const Base& base) {
    const std::size_t rangs = base.ListeNom.Count() + base.ListePage.Count() +
                              base.ListeImage.Count() + base.ListeDownload.Count() +
                              base.ListeOrigine.Count() + base.ListeLanpSearch.Count() +
                              base.ListeErreur.Count();
    return rangs > static_cast<std::size_t>(4 * kLignesCibles);
}

void LeveJournalChange(const std::string& chemin) {
    throw ErreurJournalChange("Le journal " + chemin + " a changé depuis qu'il a été importé.");
}

// Raises ErreurJournalChange unless the log's bytes [Debut, Fin) are those recorded.
void VerifiePlage(const std::string& chemin, const PlageJournal& plage) {
    const std::unique_ptr<SourceJournal> source = OuvreSourceFichier(chemin);
    if (!source->PositionneA(plage.Debut)) {
        LeveJournalChange(chemin);
    }
    Empreinte empreinte;
    std::string_view ligne;
    while (source->Position() < plage.Fin && source->Suivante(ligne)) {
        empreinte.Ajoute(source->AvecFin());
    }
    if (source->Position() != plage.Fin || empreinte.Valeur() != plage.Empreinte) {
        LeveJournalChange(chemin);
    }
}

} // namespace

CompteRenduImport ImporteJournal(Base& base, const std::string& chemin,
                                 const DemandeImport& demande,
                                 const RappelProgression& progression) {
    const DebutJournal debut =
        LitDebut(chemin, demande.IgnoreIllisibles, demande.Mode == ModeImport::Nouveau);
    std::unique_ptr<SourceJournal> source = OuvreSourceFichier(chemin);
    CompteRenduImport rendu;
    const std::int64_t rang = ChercheJournal(base.ListeJournaux, debut.octets);
    std::int64_t depart = 0;
    bool reprise = false; // starts at an end recorded by an earlier import
    if (demande.Mode == ModeImport::Nouveau && rang >= 0) {
        const RJournal r = LitJournal(base.ListeJournaux[static_cast<std::size_t>(rang)]);
        if (RetrouveFin(*source, r)) {
            depart = r.Octets;
            rendu.DejaComptees = r.Lignes;
            rendu.Connu = true;
            reprise = true;
        } else {
            source = OuvreSourceFichier(chemin); // rewritten or truncated: a new log
            rendu.Reecrit = true;
        }
    } else if (demande.Mode == ModeImport::Plage) {
        // The bytes are checked before anything is counted: a log that changed is told as such,
        // not by what its changes make of its lines.
        const PlageJournal& plage = demande.Plage;
        VerifiePlage(chemin, plage);
        depart = plage.Debut;
        rendu.DejaComptees = plage.LignesAvant;
        if (demande.SautDejaComptees && rang >= 0) {
            const RJournal r = LitJournal(base.ListeJournaux[static_cast<std::size_t>(rang)]);
            if (r.Octets >= plage.Fin) {
                rendu.Connu = true;
                rendu.Plage = {plage.Fin, plage.Fin, EmpreinteDe({}), r.Lignes};
                return rendu; // counted whole by another import meanwhile
            }
            if (r.Octets > depart && RetrouveFin(*source, r)) {
                depart = r.Octets;
                rendu.DejaComptees = r.Lignes;
                rendu.Connu = true;
                reprise = true;
            } else {
                source = OuvreSourceFichier(chemin);
            }
        }
        if (!reprise && !source->PositionneA(depart)) {
            LeveJournalChange(chemin);
        }
    }

    std::string_view ligne;
    bool encore = source->Suivante(ligne);
    if (reprise && encore) {
        // The recorded end may fall inside a line (the last line of a log imported whole, still
        // being written then): that line was counted. A CR LF cut after its CR leaves its LF.
        const std::string_view avant = source->QueueAvantDerniere();
        const bool auMilieu = !avant.empty() && !FinDeLigne(avant.back());
        const bool lfSeul =
            !avant.empty() && avant.back() == '\r' && ligne.empty() && source->AvecFin() == "\n";
        if (auMilieu || lfSeul) {
            depart = source->Position();
            encore = source->Suivante(ligne);
        }
    }

    const bool partielle = demande.Mode == ModeImport::Nouveau;
    // Until a whole line gives the number of fields, no line can be judged: the lines wait for
    // the run that sees one (passed over now, they might have been counted by that number).
    if (!encore || (partielle && (!source->DerniereTerminee() || !debut.connu))) {
        if (demande.Mode == ModeImport::Entier) {
            LeveErreurIndice(0);
        }
        if (demande.Mode == ModeImport::Plage && demande.Plage.Fin != depart) {
            LeveJournalChange(chemin);
        }
        rendu.Plage = {depart, depart, EmpreinteDe({}), rendu.DejaComptees};
        return rendu; // nothing new
    }

    // The lines to come are read ahead on a second thread while these are counted.
    auto anticipee = std::make_unique<SourceAnticipee>(
        std::move(source), ligne, static_cast<bool>(progression), debut.nombreChamps);
    SourceAnticipee& lecture = *anticipee;
    source = std::move(anticipee);
    source->Suivante(ligne);
    SuiviProgression suivi(progression, *source);
    // A small import into a large store whose name indexes are not built: its names, read ahead,
    // find their stored rows in one pass over the rows, without the indexes.
    CiblesImport cibles;
    bool petit = false;
    if (!base.IndexAJour() && GrandeBase(base)) {
        const std::unique_ptr<SourceJournal> avance = OuvreSourceFichier(chemin);
        petit = avance->PositionneA(depart) && LitCibles(*avance, debut.nombreChamps, cibles);
    }
    if (!petit) {
        base.AssureIndex();
    }
    Importation importation(base, petit ? &cibles : nullptr);
    std::int64_t fin = depart;
    std::uint64_t empreinteFin = 0;
    std::int64_t lues = 0;
    bool compte = false; // at least one line was counted
    do {
        if (partielle && !source->DerniereTerminee()) {
            // The last line, still being written: left for the next import.
            empreinteFin = EmpreinteDe(source->QueueAvantDerniere());
            break;
        }
        if (demande.Mode == ModeImport::Plage && source->Position() > demande.Plage.Fin) {
            LeveJournalChange(chemin);
        }
        suivi.Ligne(lues);
        const std::int64_t numero = rendu.DejaComptees + lues + 1;
        ++lues;
        try {
            if (source->DerniereAvecNul()) {
                LeveErreurLigne(numero);
            }
            importation.TraiteLigne(lecture.Preparee(), numero);
            compte = true;
        } catch (const ErreurLigne&) {
            if (!demande.IgnoreIllisibles) {
                source->VerifieReste();
                throw;
            }
            if (rendu.Illisibles++ == 0) {
                rendu.PremiereIllisible = numero;
            }
        } catch (const ErreurSillage&) {
            source->VerifieReste();
            throw;
        }
        fin = source->Position();
        if (demande.Mode == ModeImport::Plage && fin == demande.Plage.Fin) {
            break;
        }
    } while (source->Suivante(ligne));
    if (fin == source->Position()) {
        empreinteFin = EmpreinteDe(source->Queue());
    }

    rendu.Lignes = lues;
    rendu.Plage = {depart, fin, lecture.EmpreinteDes(lues), rendu.DejaComptees};
    // The reading is done with: its memory goes before the new tables take theirs.
    source.reset();
    if (demande.Mode == ModeImport::Plage && fin != demande.Plage.Fin) {
        LeveJournalChange(chemin);
    }
    if (!compte && demande.Mode == ModeImport::Entier) {
        LeveErreurIndice(0); // every line passed over: as an empty log
    }

    // The register's row: a replay never takes back what the register counts beyond it.
    bool note = true;
    if (demande.Mode == ModeImport::Plage && rang >= 0) {
        note = LitJournal(base.ListeJournaux[static_cast<std::size_t>(rang)]).Octets <= fin;
    }
    if (note) {
        RJournal r;
        const std::size_t couverts = std::min(
            debut.octets.size(), static_cast<std::size_t>(std::min(fin, kOctetsEmpreinte)));
        r.Debut = EmpreinteDe(std::string_view(debut.octets).substr(0, couverts));
        r.OctetsDebut = static_cast<std::int64_t>(couverts);
        r.Octets = fin;
        r.Lignes = rendu.DejaComptees + lues;
        r.Fin = empreinteFin;
        r.Nom = chemin;
        r.Date = DateMaintenant();
        importation.NoteJournal(rang, r);
    }
    importation.Valide();
    suivi.Fin();
    rendu.Change = true;
    return rendu;
}

EtatJournal ExamineJournal(const Base& base, const std::string& chemin) {
    EtatJournal etat;
    const DebutJournal debut = LitDebut(chemin, false, false);
    const std::int64_t rang = ChercheJournal(base.ListeJournaux, debut.octets);
    if (rang < 0) {
        return etat;
    }
    const RJournal r = LitJournal(base.ListeJournaux[static_cast<std::size_t>(rang)]);
    const std::unique_ptr<SourceJournal> source = OuvreSourceFichier(chemin);
    if (!RetrouveFin(*source, r)) {
        return etat;
    }
    etat.Connu = true;
    etat.Ligne = r;
    std::string_view ligne;
    bool premiere = true;
    while (source->Suivante(ligne)) {
        if (!source->DerniereTerminee()) {
            break;
        }
        if (premiere) {
            premiere = false;
            const std::string_view avant = source->QueueAvantDerniere();
            if (!avant.empty() && (!FinDeLigne(avant.back()) ||
                                   (avant.back() == '\r' && source->AvecFin() == "\n"))) {
                continue; // the rest of a line counted already
            }
        }
        ++etat.LignesNouvelles;
    }
    return etat;
}

} // namespace sillage
