// "Visiteurs" tab: who visits, in four lists (browsers and systems of the persons, robots,
// countries of the hosts: CalculeVisiteurs, vue_visiteurs.h) under one filter of their names; and
// the summary's robot line. The lists are computed when the tab is shown, once per change of the
// tables: the countries of every host cost more than the rest of a refresh.
#include "ui/tfprincip.h"

#include "store/base.h"
#include "ui/construction.h"
#include "ui/copie.h"
#include "ui/curseur.h"
#include "ui/onglets.h"
#include "ui/protege.h"
#include "ui/texte_utf8.h"
#include "visiteurs/listes_robots.h"
#include "vues/vue_messages.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace sillage {

namespace {

// Each list's place on the page, and its title.
struct PlaceListe {
    ListeVisiteurs liste;
    const char* titre; // the label's name
    const char* vue;
    QRect place;
    const char* texte;
};
constexpr int kOngletVisiteurs = 9;
const std::array<PlaceListe, 4> kPlaces = {{
    {ListeVisiteurs::Navigateurs, "LTitreNavigateurs", "LVNavigateurs", QRect(8, 80, 305, 245),
     "Navigateurs des personnes"},
    {ListeVisiteurs::Systemes, "LTitreSystemes", "LVSystemes", QRect(8, 349, 305, 244),
     "Systèmes des personnes"},
    {ListeVisiteurs::Robots, "LTitreRobots", "LVRobots", QRect(321, 80, 312, 245), "Robots"},
    {ListeVisiteurs::Pays, "LTitrePays", "LVPays", QRect(321, 349, 312, 244), "Pays des hôtes"},
}};

} // namespace

void TFPrincip::CreeVisiteurs(QWidget* page) {
    Libelle(page, "Label92", 8, 8, QStringLiteral("Filtre :"));
    EFiltre6 = Edit(page, "EFiltre6", QRect(8, 32, 473, 21));
    QPushButton* bouton =
        Bouton(page, "BFiltre6", QRect(488, 32, 145, 21), QStringLiteral("Appliquer"));
    connect(bouton, &QPushButton::clicked, this, &TFPrincip::BFiltre6Click);
    new ToucheRelachee(EFiltre6, [this](int key) { EFiltre6KeyUp(key); });

    for (std::size_t i = 0; i < kPlaces.size(); ++i) {
        const PlaceListe& p = kPlaces[i];
        ListeVisiteursFenetre& l = visiteursListes_[i];
        l.liste = p.liste;
        l.titre =
            LibelleVariable(page, p.titre, p.place.left(), p.place.top() - 16, p.place.width());
        l.titre->setText(QString::fromUtf8(p.texte));
        std::vector<int> largeurs;
        std::vector<bool> dates;
        for (const ColonneListe& c : ColonnesVisiteurs(p.liste)) {
            largeurs.push_back(c.largeur);
            dates.push_back(c.date);
        }
        l.modele = new ModeleVisiteurs(p.liste, this);
        l.modele->setObjectName(QStringLiteral("Modele%1").arg(QString::fromLatin1(p.vue)));
        l.vue = ListeRapport(page, p.vue, p.place, l.modele, largeurs, dates);
        // Rows are chosen one, a range (Shift) or several (Ctrl) at a time, or all (Ctrl+A), to
        // be copied.
        l.vue->setSelectionMode(QAbstractItemView::ExtendedSelection);
        AjouteCopie(l.vue, [this, i] { ExporteVisiteurs(i); });
    }
    connect(PageControl1, &ControleOnglets::currentChanged, this, [this](int index) {
        if (index == kOngletVisiteurs && !visiteursAJour_) {
            RafraichitVisiteurs();
        }
    });
}

Classificateur& TFPrincip::Classement() {
    if (!classement_) {
        classement_ = std::make_unique<Classificateur>(
            donnees_, base_.CheminFichier(kFichierRobotsUtilisateur));
    }
    return *classement_;
}

const Pays& TFPrincip::PaysDesHotes() {
    if (!pays_) {
        pays_ = std::make_unique<Pays>(donnees_);
    }
    return *pays_;
}

void TFPrincip::MontreRobots() {
    LRobots->setText(
        Utf8(TexteRobots(ResumeRobotsDesAgents(Affichee().ListeAgents, Classement()))));
    Classement().SauveCache(); // the next start finds the agents classified
}

void TFPrincip::RafraichitVisiteurs() {
    visiteursAJour_ = false;
    if (PageControl1->currentIndex() != kOngletVisiteurs) {
        return; // computed when the tab is shown
    }
    CurseurOccupe occupe;
    // The models show rows of visiteurs_: emptied before it changes.
    VideVisiteurs();
    Protege(this, [&] {
        visiteurs_ = CalculeVisiteurs(Affichee().ListeAgents, Affichee().ListeNom, Classement(),
                                      PaysDesHotes());
        Classement().SauveCache(); // (a cache that cannot be written costs only time)
        visiteursAJour_ = true;
    });
    RemplitVisiteurs(true);
}

void TFPrincip::VideVisiteurs() {
    for (ListeVisiteursFenetre& l : visiteursListes_) {
        l.modele->Vide();
    }
    visiteurs_ = VueVisiteurs();
}

void TFPrincip::RemplitVisiteurs(bool filtre) {
    const std::string texte = filtre ? EFiltre6->text().toStdString() : std::string();
    for (std::size_t i = 0; i < visiteursListes_.size(); ++i) {
        ListeVisiteursFenetre& l = visiteursListes_[i];
        const std::vector<LigneVisiteurs>& lignes = visiteurs_.Liste(l.liste);
        l.modele->Remplit(lignes, LignesVisiteurs(lignes, texte));
        QString titre = QString::fromUtf8(kPlaces[i].texte);
        if (!texte.empty()) {
            titre += QStringLiteral(" : ") +
                     Utf8(TexteLignesFiltrees(l.modele->rowCount(),
                                              static_cast<std::int64_t>(lignes.size())));
        }
        l.titre->setText(titre);
    }
}

void TFPrincip::BFiltre6Click() {
    RemplitVisiteurs(true);
}

void TFPrincip::EFiltre6KeyUp(int key) {
    if (key == kToucheEntree) {
        RemplitVisiteurs(true);
    }
}

} // namespace sillage
