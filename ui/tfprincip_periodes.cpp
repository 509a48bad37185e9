// The period selector at the right end of the menu bar: "Tout l'historique", then each year and
// each month that holds hits, newest first (ChoixPeriodes, vue_periodes.h). Every tab shows the
// store of the period chosen, read from its folder the first time it is shown, under the store's
// lock; the commands keep working on the whole store and its periods.
#include "ui/tfprincip.h"

#include "store/base.h"
#include "ui/construction.h"
#include "ui/curseur.h"
#include "ui/dialogues.h"
#include "ui/protege.h"
#include "ui/texte_utf8.h"
#include "vues/vue_periodes.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSignalBlocker>

#include <algorithm>

namespace sillage {

namespace {

constexpr int kLargeurChoix = 150; // pixels: "septembre 2024" and more
constexpr int kChoixVisibles = 24;

} // namespace

void TFPrincip::CreePeriodes() {
    QMenuBar* barre = menuBar();
    // As high as the bar's commands: the selector must not make the bar taller, nor the window.
    const int hauteur = barre->sizeHint().height();
    auto* coin = Nomme(new QWidget(barre), "Periode");
    auto* rangee = new QHBoxLayout(coin);
    rangee->setContentsMargins(0, 0, 4, 0);
    rangee->setSpacing(4);
    LPeriode = Nomme(new QLabel(QStringLiteral("&Période :"), coin), "LPeriode");
    LPeriode->setTextFormat(Qt::PlainText);
    CBPeriode = Nomme(new QComboBox(coin), "CBPeriode");
    CBPeriode->setFixedSize(kLargeurChoix, std::max(hauteur - 4, 16));
    CBPeriode->setMaxVisibleItems(kChoixVisibles);
    CBPeriode->setFocusPolicy(Qt::StrongFocus);
    LPeriode->setBuddy(CBPeriode); // Alt+P
    rangee->addWidget(LPeriode);
    rangee->addWidget(CBPeriode);
    barre->setCornerWidget(coin, Qt::TopRightCorner);
    CBPeriode->addItem(Utf8(kToutLHistorique), QString());
    CBPeriode->setEnabled(false); // until the tables are loaded
    // A choice by the user only (a click, the keyboard), not the program's own changes.
    connect(CBPeriode, &QComboBox::activated, this, &TFPrincip::CBPeriodeChoix);
}

const Base& TFPrincip::Affichee() const {
    if (!periode_.empty()) {
        if (const auto p = base_.Chargees().find(periode_); p != base_.Chargees().end()) {
            return *p->second;
        }
    }
    return base_;
}

void TFPrincip::CBPeriodeChoix(int index) {
    const std::string nom = CBPeriode->itemData(index).toString().toStdString();
    if (nom == periode_) {
        return;
    }
    if (LitPeriode(nom, false)) {
        MontrePeriode(nom);
    } else {
        MajPeriodes(); // the period shown stays, the one chosen is told unavailable
    }
}

bool TFPrincip::LitPeriode(const std::string& nom, bool verrouTenu) {
    if (nom.empty() || base_.Chargees().count(nom) != 0) {
        return true;
    }
    std::optional<Verrou> verrou;
    if (!verrouTenu && (!Protege(this, [&] { verrou = Reserve(); }) || !verrou)) {
        return false; // the user gave up waiting for another program
    }
    std::optional<QString> erreur;
    try {
        {
            CurseurOccupe occupe;
            const std::vector<std::string> noms = base_.Periodes();
            if (std::find(noms.begin(), noms.end(), nom) != noms.end()) {
                base_.Periode(nom);
                indisponibles_.erase(nom);
                return true;
            }
        }
        // Another program reset the store since the choices were made: nothing to read, and
        // nothing to make (an empty period would be saved).
        Dialogues::Erreur(this, Utf8(TextePeriodeDisparue(nom)));
        return false;
    } catch (const ErreurManifeste& e) {
        // Its files changed since they were saved (cut short, edited): read as they are only on
        // the user's word, as the store's own.
        if (Dialogues::Question(this, QStringLiteral("Période"),
                                Utf8(QuestionPeriodeModifiee(nom, e.what())),
                                QMessageBox::Yes | QMessageBox::No, QMessageBox::No,
                                QMessageBox::Warning) != QMessageBox::Yes) {
            indisponibles_[nom] = e.what();
            return false;
        }
        erreur = Essaie([&] {
            CurseurOccupe occupe;
            base_.Periode(nom, true);
        });
    } catch (const std::exception& e) {
        erreur = QString::fromUtf8(e.what());
    }
    if (erreur) {
        indisponibles_[nom] = erreur->toStdString();
        Dialogues::Erreur(this, *erreur);
        return false;
    }
    indisponibles_.erase(nom);
    return true;
}

void TFPrincip::MontrePeriode(const std::string& nom) {
    const std::string avant = periode_;
    periode_ = nom;
    {
        CurseurOccupe occupe;
        MajPeriodes();
        for (ListeFenetre& liste : listes_) {
            // A filter applied stays applied.
            Remplit(liste, liste.lignes != nullptr && !liste.lignes->text().isEmpty());
        }
        MontreResume();
        RemplitListesGraphiques();
        MontreRetours(StatutChoisi);
        RafraichitVisiteurs(); // now when its tab is shown, else when it next is
    }
    EvenementInfos(kEntrees | kResultats, [&] { Infos.ChangeDeBase(Affichee(), TexteFiltre2()); });
    // Nothing shows it any more: its memory goes, unless an import changed it (it is saved with
    // the store).
    if (!avant.empty() && avant != periode_) {
        base_.LaissePeriode(avant);
    }
}

void TFPrincip::MajPeriodes() {
    if (!periode_.empty() && base_.Chargees().count(periode_) == 0) {
        periode_.clear(); // reset, or the store read again: the whole history until read again
    }
    std::vector<std::string> noms;
    if (chargee_) {
        Essaie([&] { noms = base_.Periodes(); });
    }
    std::erase_if(indisponibles_, [&](const auto& p) {
        return std::find(noms.begin(), noms.end(), p.first) == noms.end();
    });

    const QSignalBlocker silence(CBPeriode);
    CBPeriode->clear();
    QFont gras = CBPeriode->font();
    gras.setBold(true);
    for (const ChoixPeriode& c : ChoixPeriodes(noms)) {
        const auto indisponible = indisponibles_.find(c.Nom);
        if (indisponible == indisponibles_.end()) {
            CBPeriode->addItem(Utf8(c.Texte), QString::fromStdString(c.Nom));
        } else {
            CBPeriode->addItem(Utf8(TextePeriodeIndisponible(c.Nom)),
                               QString::fromStdString(c.Nom));
            CBPeriode->setItemData(CBPeriode->count() - 1, Utf8(indisponible->second),
                                   Qt::ToolTipRole);
        }
        if (c.Annee) {
            CBPeriode->setItemData(CBPeriode->count() - 1, gras, Qt::FontRole);
        }
    }
    CBPeriode->setCurrentIndex(std::max(0, CBPeriode->findData(QString::fromStdString(periode_))));
    CBPeriode->setEnabled(chargee_);
    setWindowTitle(Utf8(TitreFenetre(periode_)));
}

void TFPrincip::RafraichitApresRelecture() {
    const std::string montree = periode_;
    // The periods were read again with the store: the whole history is shown until the period
    // is read again (the caller holds the store's lock).
    RafraichitVues();
    if (!montree.empty() && periode_.empty()) {
        if (LitPeriode(montree, true)) {
            MontrePeriode(montree);
        } else {
            MajPeriodes();
        }
    }
}

} // namespace sillage
