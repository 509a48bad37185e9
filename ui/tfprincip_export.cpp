// Exports: what a tab shows, written as CSV (rapports/csv.h) from the same view functions that
// fill the tab, to a file chosen in a save dialog. "Exporter…" in the menu bar exports the
// current tab; the lists, the results, the error rows, the charts and the summary offer it in
// their context menus too.
#include "ui/tfprincip.h"

#include "rapports/csv.h"
#include "rapports/vues_rapport.h"
#include "store/base.h"
#include "store/champs.h"
#include "store/emplacement.h"
#include "ui/choix_liste.h"
#include "ui/copie.h"
#include "ui/curseur.h"
#include "ui/dialogues.h"
#include "ui/onglets.h"
#include "ui/protege.h"
#include "ui/texte_qt.h"
#include "vues/vue_chiffres.h"

#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>

namespace sillage {

namespace {

// The tabs, from 0 (TabSheet1).
constexpr int kOngletGeneral = 0;
constexpr int kOngletInfos = 5;
constexpr int kOngletGraphiques = 6;
constexpr int kOngletRetours = 8;
constexpr int kOngletVisiteurs = 9;

QString NomVue(VueRapport vue) {
    const std::string_view nom = DescriptionDe(vue).Nom;
    return QString::fromLatin1(nom.data(), static_cast<qsizetype>(nom.size())) + ".csv";
}

VueRapport VueDeListe(Liste liste) {
    switch (liste) {
    case Liste::Pages:
        return VueRapport::Pages;
    case Liste::Images:
        return VueRapport::Images;
    case Liste::IP:
        return VueRapport::IP;
    case Liste::Origines:
        return VueRapport::Referents;
    case Liste::Downloads:
        break;
    }
    return VueRapport::Downloads;
}

} // namespace

void TFPrincip::Exporte(const QString& nom, const std::function<void(EcrivainTableau&)>& ecrit) {
    if (dossierExport_.isEmpty()) {
        dossierExport_ = QFile::decodeName(QByteArray::fromStdString(DossierPersonnel()));
    }
    const QString chemin = Dialogues::EnregistreFichier(
        this, QStringLiteral("Exporter"), dossierExport_, nom,
        QStringLiteral("Fichiers CSV (*.csv);;Tous les fichiers (*)"), QStringLiteral("csv"));
    if (chemin.isEmpty()) {
        return;
    }
    dossierExport_ = QFileInfo(chemin).absolutePath();
    Protege(this, [&] {
        CurseurOccupe occupe;
        FichierAtomique fichier(QFile::encodeName(chemin).toStdString());
        EcrivainCsv csv(fichier);
        ecrit(csv);
        fichier.Termine();
    });
}

void TFPrincip::Exporter1Click() {
    const int onglet = PageControl1->currentIndex();
    for (const ListeFenetre& liste : listes_) {
        if (liste.description->onglet == onglet) {
            ExporteListe(liste);
            return;
        }
    }
    switch (onglet) {
    case kOngletGeneral:
        ExporteResume();
        break;
    case kOngletInfos:
        ExporteResultats();
        break;
    case kOngletGraphiques:
        ExporteGraphique();
        break;
    case kOngletRetours:
        ExporteRetours();
        break;
    case kOngletVisiteurs: {
        // The list that has the focus, else the first.
        std::size_t choisie = 0;
        for (std::size_t i = 0; i < visiteursListes_.size(); ++i) {
            if (focusWidget() == visiteursListes_[i].vue) { // (the last focused, in the window)
                choisie = i;
            }
        }
        ExporteVisiteurs(choisie);
        break;
    }
    default:
        break;
    }
}

void TFPrincip::ExporteResume() {
    if (!chargee_) {
        return;
    }
    Exporte(NomVue(VueRapport::Resume),
            [this](EcrivainTableau& e) { EcritVue(Affichee(), VueRapport::Resume, e); });
}

void TFPrincip::ExporteListe(const ListeFenetre& liste) {
    const Table* table = liste.modele->TableMontree();
    if (table == nullptr) {
        return;
    }
    // The rows the list shows, in its order: all, or those its filter let through.
    Exporte(NomVue(VueDeListe(liste.description->liste)), [&](EcrivainTableau& e) {
        EcritListe(*table, liste.modele->Lignes(), liste.description->liste, e);
    });
}

void TFPrincip::ExporteResultats() {
    Exporte(QStringLiteral("infos.csv"),
            [this](EcrivainTableau& e) { EcritResultatsInfos(Infos.Resultats, e); });
}

void TFPrincip::ExporteRetours() {
    if (StatutChoisi == nullptr) {
        Dialogues::Information(this, QStringLiteral("Rien à exporter : choisissez d'abord un "
                                                    "statut."));
        return;
    }
    // The captions are digits only.
    const std::string statut = StatutChoisi->text().toStdString();
    Exporte(QStringLiteral("retours-%1.csv").arg(StatutChoisi->text()),
            [&](EcrivainTableau& e) { EcritRetours(CalculeRetours(Affichee(), statut), e); });
}

void TFPrincip::ExporteVisiteurs(std::size_t i) {
    if (!visiteursAJour_) {
        RafraichitVisiteurs();
    }
    const ListeVisiteursFenetre& liste = visiteursListes_[i];
    const VueRapport vue = liste.liste == ListeVisiteurs::Navigateurs ? VueRapport::Navigateurs
                           : liste.liste == ListeVisiteurs::Systemes  ? VueRapport::Systemes
                           : liste.liste == ListeVisiteurs::Robots    ? VueRapport::Robots
                                                                      : VueRapport::Pays;
    Exporte(NomVue(vue), [&](EcrivainTableau& e) {
        EcritVisiteurs(visiteurs_, liste.liste, liste.modele->Rangs(), e);
    });
}

void TFPrincip::ExporteGraphique() {
    // The figures of the chart shown: a year's months, or a month's days.
    if (Graphique.ModeGraphique == GenreGraphique::Annee) {
        const int rangee = ChoixListe::RangeeChoisie(LBListAnnee);
        if (rangee >= 0) {
            const std::string annee = VersWindows1252Substitue(LBListAnnee->item(rangee)->text());
            Exporte(QStringLiteral("graphique-%1.csv").arg(LBListAnnee->item(rangee)->text()),
                    [&](EcrivainTableau& e) {
                        EcritChiffresMois(ChiffresDesMois(Affichee(), ConvertitEntier(annee)), e);
                    });
            return;
        }
    } else if (Graphique.ModeGraphique == GenreGraphique::Mois) {
        const int rangee = ChoixListe::RangeeChoisie(LBListMois);
        if (rangee >= 0 && static_cast<std::size_t>(rangee) < Affichee().ListeGraphHeure.Count()) {
            const std::string_view ligne =
                Affichee().ListeGraphHeure[static_cast<std::size_t>(rangee)];
            const QString nom =
                Affiche(ExtraitChamp(ligne, 1)) + "-" + Affiche(ExtraitChamp(ligne, 2));
            Exporte(QStringLiteral("graphique-%1.csv").arg(nom), [&](EcrivainTableau& e) {
                EcritChiffresJours(ChiffresDesJours(Affichee(), rangee), e);
            });
            return;
        }
    }
    Dialogues::Information(this, QStringLiteral("Rien à exporter : choisissez d'abord une année "
                                                "ou un mois."));
}

} // namespace sillage
