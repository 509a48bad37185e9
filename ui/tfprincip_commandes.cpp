// Start-up, view refresh, the menu commands and closing.
#include "ui/tfprincip.h"

#include "import/import.h"
#include "store/base.h"
#include "store/emplacement.h"
#include "store/erreur.h"
#include "ui/curseur.h"
#include "ui/dialogues.h"
#include "ui/onglets.h"
#include "ui/protege.h"
#include "ui/tfapropos.h"
#include "ui/tfoptions.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>

#include <algorithm>
#include <optional>

namespace sillage {

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
    // The table files live in base_.Repertoire(), set by whoever made the store.
    chargee_ = Protege(this, [&] { base_.InitListes(); });
    MajCommandes();
    if (!chargee_) {
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

QString TFPrincip::DossierDialogue() const {
    return QFile::decodeName(QByteArray::fromStdString(
        DossierOuverture(base_.Repertoire(), DossierProgramme(), dossierDernierLog_)));
}

void TFPrincip::RafraichitVues() {
    CurseurOccupe occupe;
    for (Liste liste :
         {Liste::Pages, Liste::IP, Liste::Images, Liste::Origines, Liste::Downloads}) {
        const Table& table = TableListe(base_, liste);
        ModeleDe(liste).Remplit(table, LignesListe(table));
    }
    // The name indexes follow their tables when next asked for (an import that needs them
    // builds them), not at every refresh: building them costs more than the refresh itself.
    base_.MarqueIndexPerimes();
    MontreResume();
    RemplitListesGraphiques();
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

bool TFPrincip::ImporteLog(const QString& chemin) {
    dossierDernierLog_ = QFile::encodeName(QFileInfo(chemin).absolutePath()).toStdString();
    const bool fait = Protege(this, [&] {
        CurseurOccupe occupe;
        PageControl1->repaint();
        ImporteFichier(base_, QFile::encodeName(chemin).toStdString(), [this](int valeur) {
            ProgressBar1->setValue(std::clamp(valeur, 0, 100));
            ProgressBar1->repaint();
        });
        RafraichitVues();
        ProgressBar1->setValue(100);
        ProgressBar1->repaint();
    });
    if (!fait) {
        // The import leaves the tables as they were: so does the bar.
        ProgressBar1->setValue(0);
    }
    return fait;
}

void TFPrincip::Enregistrer1Click() {
    if (!chargee_) {
        return;
    }
    Protege(this, [&] {
        CurseurOccupe occupe;
        base_.SauveListes();
    });
}

void TFPrincip::Reinitialiser1Click() {
    if (Dialogues::Question(this, QStringLiteral("Reinitialisation"),
                            QStringLiteral("Voulez-vous réinitialiser la base ?"),
                            QMessageBox::Yes | QMessageBox::No,
                            QMessageBox::No) != QMessageBox::Yes) {
        return;
    }
    const std::optional<QString> erreur = Essaie([&] {
        CurseurOccupe occupe;
        base_.ReinitialiseListes();
        EcritEnTetesResume(); // not yet written when the start-up could not load the tables
    });
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
        // A save that fails keeps the window open, with Modifie still 1.
        CanClose = Protege(this, [&] {
            CurseurOccupe occupe;
            base_.SauveListes();
        });
        break;
    case QMessageBox::No:
        break;
    default:
        CanClose = false;
        break;
    }
}

void TFPrincip::Libere() {
    for (Liste liste :
         {Liste::Pages, Liste::Images, Liste::IP, Liste::Origines, Liste::Downloads}) {
        ModeleDe(liste).Vide();
    }
    base_.IndexImage.Efface();
    base_.IndexNom.Efface();
    base_.IndexOrigine.Efface();
    base_.IndexDownload.Efface();
    base_.LibereListes();
}

} // namespace sillage
