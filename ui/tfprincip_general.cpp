// "Général" tab: the import's progress bar, the general summary (LignesResume, vue_resume.h) and
// the robots' share of the hits (MontreRobots, tfprincip_visiteurs.cpp).
#include "ui/tfprincip.h"

#include "store/base.h"
#include "ui/construction.h"
#include "ui/copie.h"
#include "ui/texte_utf8.h"
#include "vues/vue_resume.h"

#include <QHeaderView>
#include <QProgressBar>
#include <QTableWidget>

namespace sillage {

void TFPrincip::CreeGeneral(QWidget* page) {
    Libelle(page, "Label41", 24, 16, QStringLiteral("Chargement :"));
    ProgressBar1 = Nomme(new QProgressBar(page), "ProgressBar1");
    ProgressBar1->setGeometry(96, 16, 489, 16);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    Libelle(page, "Label93", 24, 44, QStringLiteral("Accès des robots :"));
    LRobots = LibelleVariable(page, "LRobots", 128, 44, 457);

    SGGen = Nomme(new QTableWidget(6, 4, page), "SGGen");
    SGGen->setGeometry(24, 72, 561, 497);
    SGGen->horizontalHeader()->hide();
    SGGen->verticalHeader()->hide();
    SGGen->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SGGen->setSelectionMode(QAbstractItemView::NoSelection);
    SGGen->setFocusPolicy(Qt::NoFocus);
    SGGen->setWordWrap(false);
    const int largeurs[4] = {64, 164, 189, 132};
    for (int c = 0; c < 4; ++c) {
        SGGen->setColumnWidth(c, largeurs[c]);
    }
    AjouteExport(SGGen, [this] { ExporteResume(); });
    for (int r = 0; r < 6; ++r) {
        SGGen->setRowHeight(r, 24);
        for (int c = 0; c < 4; ++c) {
            auto* cellule = new QTableWidgetItem;
            cellule->setFlags(Qt::ItemIsEnabled);
            if (r == 0 || c == 0) {
                // The fixed first row and column: header cells.
                cellule->setBackground(SGGen->palette().button());
            }
            SGGen->setItem(r, c, cellule);
        }
    }
}

void TFPrincip::EcritEnTetesResume() {
    for (int r = 0; r < 5; ++r) {
        SGGen->item(r + 1, 0)->setText(Utf8(kTitresLignesResume[static_cast<std::size_t>(r)]));
    }
    for (int c = 0; c < 3; ++c) {
        SGGen->item(0, c + 1)->setText(Utf8(kTitresColonnesResume[static_cast<std::size_t>(c)]));
    }
}

void TFPrincip::MontreResume() {
    const std::array<LigneResume, 5> lignes = LignesResume(Affichee());
    for (int r = 0; r < 5; ++r) {
        const LigneResume& l = lignes[static_cast<std::size_t>(r)];
        SGGen->item(r + 1, 1)->setText(QString::fromStdString(l.Nombre));
        SGGen->item(r + 1, 2)->setText(QString::fromStdString(l.Total));
        SGGen->item(r + 1, 3)->setText(QString::fromStdString(l.Moyenne));
    }
    MontreRobots();
}

} // namespace sillage
