// Start-up, view refresh, the menu commands and closing.
#include "ui/tfprincip.h"

#include "import/import.h"
#include "store/base.h"
#include "store/emplacement.h"
#include "store/erreur.h"
#include "store/fichiers.h"
#include "store/options_robots.h"
#include "store/registre.h"
#include "ui/curseur.h"
#include "ui/dialogues.h"
#include "ui/onglets.h"
#include "ui/protege.h"
#include "ui/texte_utf8.h"
#include "ui/tfapropos.h"
#include "ui/tfoptions.h"
#include "vues/vue_messages.h"
#include "vues/vue_registre.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>

#include <algorithm>
#include <ctime>
#include <optional>

namespace sillage {

namespace {

std::string Option(const Base& base) {
    return base.ListeOptions.Vide() ? std::string() : std::string(base.ListeOptions[0]);
}

} // namespace

void TFPrincip::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!montree_) {
        montree_ = true;
        FormShow();
    }
}

void TFPrincip::FormShow() {
    base_.Modifie = 0;
    PageControl1->setCurrentIndex(0);
    base_.IndexImage.Efface();
    base_.IndexNom.Efface();
    base_.IndexOrigine.Efface();
    base_.IndexDownload.Efface();
    // The table files live in base_.Repertoire(), set by whoever made the store; they are read
    // under the store's lock, so that a save of another program is read whole.
    // A user who gives up waiting for another program gets the window of a load that failed.
    chargee_ = false;
    std::optional<ErreurManifeste> modifiees;
    Protege(this, [&] {
        const std::optional<Verrou> verrou = Reserve();
        if (!verrou) {
            return;
        }
        try {
            base_.InitListes();
        } catch (const ErreurManifeste& e) {
            modifiees = e; // asked once the lock is released: nobody waits for the answer
            return;
        }
        Synchronise();
        chargee_ = true;
    });
    const bool montre = modifiees ? AccepteModifications(*modifiees) : chargee_;
    MajCommandes();
    if (!montre) {
        return;
    }
    EcritEnTetesResume();
    RafraichitVues();
    for (QLabel* l :
         {LExpl3, LExpl4, LCount3, LHCalc1, LHCalc2, LHCalc3, LVCalc1, LVCalc2, LVCalc3}) {
        l->clear();
    }
    for (QLabel* l : LabelsMois) {
        l->hide();
    }
    for (QLabel* l : LabelsJours) {
        l->hide();
    }
    OpenDialog1->setDirectory(DossierDialogue());
}

bool TFPrincip::AccepteModifications(const ErreurManifeste& e) {
    const QMessageBox::StandardButton reponse = Dialogues::Question(
        this, QStringLiteral("Tables modifiées"), Utf8(QuestionManifeste(e.what())),
        QMessageBox::Yes | QMessageBox::Save | QMessageBox::No, QMessageBox::No,
        QMessageBox::Warning,
        {{QMessageBox::Yes, Utf8(kReponseAccepter)},
         {QMessageBox::Save, Utf8(kReponseGarderCopies)},
         {QMessageBox::No, Utf8(kReponseNePasAccepter)}});
    if (reponse != QMessageBox::Yes && reponse != QMessageBox::Save) {
        // The tables as read, to be looked at; the commands that would save them stay off.
        Dialogues::Information(this, Utf8(TexteTablesNonAcceptees()));
        return true;
    }
    std::vector<std::string> copies;
    Protege(this, [&] {
        const std::optional<Verrou> verrou = Reserve();
        if (!verrou) {
            return;
        }
        CurseurOccupe occupe;
        if (reponse == QMessageBox::Save) {
            copies = base_.GardeCopies(e.Differences, std::time(nullptr));
        }
        base_.InitListes(true);
        Synchronise();
        chargee_ = true;
    });
    if (!copies.empty()) {
        Dialogues::Information(this, Utf8(TexteCopiesGardees(copies)));
    }
    return chargee_;
}

QString TFPrincip::DossierDialogue() const {
    return QFile::decodeName(QByteArray::fromStdString(
        DossierOuverture(base_.Repertoire(), DossierProgramme(), dossierDernierLog_)));
}

void TFPrincip::RafraichitVues() {
    CurseurOccupe occupe;
    MajPeriodes();
    for (ListeFenetre& liste : listes_) {
        Remplit(liste, false);
    }
    // The name indexes follow their tables when next asked for (an import that needs them
    // builds them), not at every refresh: building them costs more than the refresh itself.
    base_.MarqueIndexPerimes();
    MontreResume();
    RemplitListesGraphiques();
    // The rows of the chosen status were copied from the tables: they would outlive them.
    MontreRetours(StatutChoisi);
    RafraichitVisiteurs();
}

void TFPrincip::Synchronise() {
    session_.Synchronise(base_);
    registreSynchronise_ = base_.ListeRegistre;
}

void TFPrincip::MajCommandes() {
    // After a start-up that could not read every table file, the tables in memory are partial:
    // importing into them or saving them would overwrite good files with partial tables.
    Ouvrir1->setEnabled(chargee_);
    Enregistrer1->setEnabled(chargee_);
}

void TFPrincip::Ouvrir1Click() {
    if (!chargee_) {
        return;
    }
    OpenDialog1->setDirectory(DossierDialogue());
    const QString chemin = Dialogues::OuvreFichier(*OpenDialog1);
    if (chemin.isEmpty()) {
        return;
    }
    ImporteLog(chemin);
}

void TFPrincip::ImporteFichiers(const QStringList& chemins) {
    for (const QString& chemin : chemins) {
        if (!chargee_ || !ImporteLog(chemin)) {
            return;
        }
    }
}

std::optional<Verrou> TFPrincip::Reserve() {
    for (;;) {
        std::optional<Verrou> verrou;
        {
            CurseurOccupe occupe;
            verrou.emplace(base_.Verrouille(attenteVerrou_));
        }
        if (verrou->Tenu()) {
            return verrou;
        }
        if (Dialogues::Question(this, QStringLiteral("Sillage"),
                                Utf8(TexteTablesOccupees(base_.Repertoire())),
                                QMessageBox::Retry | QMessageBox::Cancel,
                                QMessageBox::Retry) != QMessageBox::Retry) {
            return std::nullopt;
        }
    }
}

std::optional<QString> TFPrincip::ImporteAvecProgression(const std::string& chemin,
                                                         const DemandeImport& demande,
                                                         bool& ligneIllisible) {
    ligneIllisible = false;
    try {
        CurseurOccupe occupe;
        PageControl1->repaint();
        const std::string option = Option(base_);
        // The option of robots in force now, as the option of referrers is: a replay of this
        // import does as it did.
        DemandeImport effective = demande;
        effective.SansRobots = LitSansRobots(base_.ListeOptionsRobots);
        effective.Classement = effective.SansRobots ? &Classement() : nullptr;
        const CompteRenduImport rendu =
            ImporteJournal(base_, chemin, effective, [this](int valeur) {
                ProgressBar1->setValue(std::clamp(valeur, 0, 100));
                ProgressBar1->repaint();
            });
        if (rendu.Change) {
            session_.NoteImport({chemin, effective, option, rendu.Plage});
            RafraichitVues();
        }
        ProgressBar1->setValue(100);
        ProgressBar1->repaint();
        if (rendu.Illisibles > 0) {
            Dialogues::Information(
                this, Utf8(TexteIllisiblesIgnorees(rendu.Illisibles, rendu.PremiereIllisible)));
        }
        return std::nullopt;
    } catch (const ErreurLigne& e) {
        ligneIllisible = e.LignesComptables;
        return QString::fromUtf8(e.what());
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
}

std::optional<ModeImport> TFPrincip::ModeDuJournal(const QString& chemin,
                                                   const std::string& fichier) {
    std::optional<ModeImport> mode = ModeImport::Entier;
    // (A log that cannot be read is told by the import itself.)
    Essaie([&] {
        const EtatRegistre etat = ConsulteRegistre(base_, fichier);
        if (!etat.Connu) {
            return;
        }
        const std::string nom = QFileInfo(chemin).fileName().toStdString();
        if (etat.LignesNouvelles == 0) {
            // The only import left would count its lines a second time.
            Dialogues::Information(this, Utf8(TexteRienDeNouveau(nom, etat.Ligne.Lignes)));
            mode.reset();
            return;
        }
        switch (
            Dialogues::Question(this, QStringLiteral("Ouverture"),
                                Utf8(QuestionJournalConnu(nom, etat.Ligne.Date, etat.Ligne.Lignes,
                                                          etat.LignesNouvelles)),
                                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                QMessageBox::Yes, QMessageBox::Question,
                                {{QMessageBox::Yes, Utf8(kReponseLignesNouvelles)},
                                 {QMessageBox::No, Utf8(kReponseToutCompter)},
                                 {QMessageBox::Cancel, Utf8(kReponseAnnuler)}})) {
        case QMessageBox::Yes:
            mode = ModeImport::Nouveau;
            break;
        case QMessageBox::No:
            break;
        default:
            mode.reset();
            break;
        }
    });
    return mode;
}

bool TFPrincip::ImporteLog(const QString& chemin) {
    dossierDernierLog_ = QFile::encodeName(QFileInfo(chemin).absolutePath()).toStdString();
    const std::string fichier = QFile::encodeName(chemin).toStdString();
    // What could not be saved is not worth counting.
    if (!Protege(this, [&] { base_.VerifieEcrivable(); })) {
        return false;
    }
    DemandeImport demande;
    if (const std::optional<ModeImport> mode = ModeDuJournal(chemin, fichier)) {
        demande.Mode = *mode;
    } else {
        return true;
    }
    bool ligneIllisible = false;
    std::optional<QString> erreur = ImporteAvecProgression(fichier, demande, ligneIllisible);
    if (erreur) {
        Dialogues::Erreur(this, *erreur);
    }
    if (erreur && ligneIllisible &&
        Dialogues::Question(this, QStringLiteral("Ouverture"), Utf8(QuestionSansIllisibles()),
                            QMessageBox::Yes | QMessageBox::No,
                            QMessageBox::No) == QMessageBox::Yes) {
        demande.IgnoreIllisibles = true;
        erreur = ImporteAvecProgression(fichier, demande, ligneIllisible);
        if (erreur) {
            Dialogues::Erreur(this, *erreur);
        }
    }
    if (erreur) {
        // The import leaves the tables as they were: so does the bar.
        ProgressBar1->setValue(0);
    }
    return !erreur;
}

std::optional<std::vector<ImportEntreTemps>> TFPrincip::ImportsDuDisque() const {
    try {
        Table disque;
        const std::string chemin = base_.CheminFichier(kFichierRegistre);
        if (FichierExiste(chemin)) {
            disque.ChargeFichier(chemin);
        }
        return ImportsEntreTemps(registreSynchronise_, disque);
    } catch (const std::exception&) {
        return std::nullopt; // the save that follows reads it again, and says what fails
    }
}

bool TFPrincip::Enregistre() {
    bool enregistre = false;
    Protege(this, [&] {
        const std::optional<Verrou> verrou = Reserve();
        if (!verrou) {
            return;
        }
        ResultatEnregistrement resultat;
        std::optional<std::vector<ImportEntreTemps>> autres;
        {
            CurseurOccupe occupe;
            if (session_.DisqueChange(base_)) {
                autres = ImportsDuDisque();
            }
            resultat = session_.Enregistre(base_);
        }
        switch (resultat.issue) {
        case IssueEnregistrement::Enregistre:
            enregistre = true;
            break;
        case IssueEnregistrement::Fusionne:
        case IssueEnregistrement::Relu:
            // The tables are those of the disk with this window's imports: show them, and say
            // where the figures that changed come from.
            enregistre = true;
            RafraichitApresRelecture();
            Dialogues::Information(this, Utf8(TexteEnregistrementFusionne(
                                             autres.value_or(std::vector<ImportEntreTemps>{}),
                                             resultat.issue == IssueEnregistrement::Fusionne)));
            break;
        case IssueEnregistrement::Impossible:
            if (Dialogues::Question(this, QStringLiteral("Enregistrement"),
                                    Utf8(QuestionRejeuImpossible(resultat.chemin, resultat.raison)),
                                    QMessageBox::Yes | QMessageBox::No,
                                    QMessageBox::No) == QMessageBox::Yes) {
                CurseurOccupe occupe;
                session_.Remplace(base_);
                enregistre = true;
            }
            break;
        }
        if (enregistre) {
            registreSynchronise_ = base_.ListeRegistre;
        }
    });
    return enregistre;
}

void TFPrincip::Enregistrer1Click() {
    if (!chargee_) {
        return;
    }
    Enregistre();
}

void TFPrincip::Reinitialiser1Click() {
    if (Dialogues::Question(this, QStringLiteral("Reinitialisation"),
                            QStringLiteral("Voulez-vous réinitialiser la base ?"),
                            QMessageBox::Yes | QMessageBox::No,
                            QMessageBox::No) != QMessageBox::Yes) {
        return;
    }
    std::optional<Verrou> verrou;
    if (!Protege(this, [&] { verrou = Reserve(); }) || !verrou) {
        return; // nothing changed
    }
    const std::optional<QString> erreur = Essaie([&] {
        CurseurOccupe occupe;
        base_.ReinitialiseListes();
        Synchronise();
        EcritEnTetesResume(); // not yet written when the start-up could not load the tables
    });
    // Nothing is loaded from a log any more.
    ProgressBar1->setValue(0);
    chargee_ = !erreur;
    MajCommandes();
    // Also after a failure: the lists must not show rows of tables that were released.
    RafraichitVues();
    if (erreur) {
        Dialogues::Erreur(this, *erreur);
    }
}

void TFPrincip::Options1Click() {
    if (options_ != nullptr) {
        options_->exec();
    }
}

void TFPrincip::APropos1Click() {
    if (apropos_ != nullptr) {
        apropos_->exec();
    }
}

void TFPrincip::Quitter1Click() {
    close();
}

void TFPrincip::closeEvent(QCloseEvent* event) {
    bool CanClose = true;
    FormCloseQuery(CanClose);
    if (!CanClose) {
        event->ignore();
        return;
    }
    Libere();
    event->accept();
}

void TFPrincip::FormCloseQuery(bool& CanClose) {
    if (base_.Modifie != 1) {
        return;
    }
    switch (Dialogues::Question(this, QStringLiteral("Enregistrement"),
                                QStringLiteral("Voulez-vous enregistrer les modifications ?"),
                                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                QMessageBox::Yes, QMessageBox::NoIcon)) {
    case QMessageBox::Yes:
        // A save that fails, or that the user declined, keeps the window open, Modifie still 1.
        CanClose = Enregistre();
        break;
    case QMessageBox::No:
        break;
    default:
        CanClose = false;
        break;
    }
}

void TFPrincip::Libere() {
    for (ListeFenetre& liste : listes_) {
        liste.modele->Vide();
    }
    VideVisiteurs();
    base_.IndexImage.Efface();
    base_.IndexNom.Efface();
    base_.IndexOrigine.Efface();
    base_.IndexDownload.Efface();
    base_.LibereListes();
}

} // namespace sillage
