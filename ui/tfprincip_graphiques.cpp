// Charts tab: the yearly and monthly bar charts on PaintBox1. EtatGraphique (vue_graphiques.h)
// decides what to draw and which labels to show; here the commands are painted and the labels
// set.
#include "ui/tfprincip.h"

#include "store/base.h"
#include "ui/choix_liste.h"
#include "ui/dialogues.h"
#include "ui/surface_dessin.h"
#include "ui/texte_qt.h"

#include <QLabel>
#include <QListWidget>
#include <QPainter>

#include <exception>
#include <optional>

namespace sillage {

namespace {

QColor Teinte(Couleur c) {
    return QColor(c.R, c.G, c.B);
}

// Paints the commands exactly: a rectangle covers [X1, X2) x [Y1, Y2); a line covers every pixel
// from its start to the one before its end. Lines are horizontal or vertical, so each is painted
// as the one-pixel-wide rectangle it covers, whatever the painter's rules for line ends.
void Trace(QPainter& p, const Dessin& d, const QFont& police) {
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const CommandeDessin& c : d.Commandes) {
        if (c.Type == CommandeDessin::Genre::Rectangle) {
            p.fillRect(QRect(c.X1, c.Y1, c.X2 - c.X1, c.Y2 - c.Y1), Teinte(c.Teinte));
        } else {
            const std::array<int, 2> fin = DernierPoint(c);
            p.fillRect(QRect(QPoint(std::min(c.X1, fin[0]), std::min(c.Y1, fin[1])),
                             QPoint(std::max(c.X1, fin[0]), std::max(c.Y1, fin[1]))),
                       Teinte(c.Teinte));
        }
    }
    if (d.Valeurs.empty()) {
        return;
    }
    QFont petite = police;
    petite.setPixelSize(kTaillePoliceValeur);
    p.setFont(petite);
    p.setPen(Teinte(kNoir));
    const int hauteur = QFontMetrics(petite).height();
    constexpr int kLarge = 1000; // room enough for any value text
    for (const TexteValeur& v : d.Valeurs) {
        const QRect place = v.AligneDroite ? QRect(v.X - kLarge, v.Y - hauteur / 2, kLarge, hauteur)
                                           : QRect(v.X, v.Y - hauteur / 2, kLarge, hauteur);
        p.drawText(place, Qt::AlignVCenter | (v.AligneDroite ? Qt::AlignRight : Qt::AlignLeft),
                   QString::fromStdString(v.Texte));
    }
}

// The text of a list's selected item in Windows-1252 bytes, none when nothing is selected.
std::optional<std::string> TexteChoisi(const QListWidget* liste) {
    const int rangee = ChoixListe::RangeeChoisie(liste);
    if (rangee < 0) {
        return std::nullopt;
    }
    // The items were made from table text, so they go back to it whole.
    return VersWindows1252(liste->item(rangee)->text());
}

} // namespace

void TFPrincip::MontreEtiquettes(const EtiquettesGraphique& etiquettes) {
    const std::array<QLabel*, 3> montrees = etiquettes.Annuelle
                                                ? std::array{LHCalc1, LHCalc2, LHCalc3}
                                                : std::array{LVCalc1, LVCalc2, LVCalc3};
    const std::array<QLabel*, 3> cachees = etiquettes.Annuelle
                                               ? std::array{LVCalc1, LVCalc2, LVCalc3}
                                               : std::array{LHCalc1, LHCalc2, LHCalc3};
    for (std::size_t i = 0; i < 3; ++i) {
        montrees[i]->setText(QString::fromStdString(etiquettes.Echelle[i]));
        montrees[i]->show();
        cachees[i]->hide();
    }
    for (QLabel* l : LabelsMois) {
        l->setVisible(etiquettes.Annuelle);
    }
    for (QLabel* l : LabelsJours) {
        l->setVisible(!etiquettes.Annuelle);
    }
}

void TFPrincip::LBListAnneeClick() {
    const std::optional<std::string> annee = TexteChoisi(LBListAnnee);
    if (!annee) {
        return;
    }
    try {
        const Dessin d = Graphique.CliqueAnnee(base_, *annee);
        if (d.Etiquettes) {
            MontreEtiquettes(*d.Etiquettes);
        }
    } catch (const std::exception& e) {
        Dialogues::Erreur(this, QString::fromUtf8(e.what()));
    }
    PaintBox1->update();
}

void TFPrincip::LBListMoisClick() {
    const int rangee = ChoixListe::RangeeChoisie(LBListMois);
    if (rangee < 0) {
        return;
    }
    try {
        const Dessin d = Graphique.CliqueMois(base_, rangee);
        if (d.Etiquettes) {
            MontreEtiquettes(*d.Etiquettes);
        }
    } catch (const std::exception& e) {
        Dialogues::Erreur(this, QString::fromUtf8(e.what()));
    }
    PaintBox1->update();
}

void TFPrincip::PaintBox1Paint(QPainter& p) {
    const std::optional<std::string> annee = TexteChoisi(LBListAnnee);
    const std::optional<std::string_view> anneeChoisie =
        annee ? std::optional<std::string_view>(*annee) : std::nullopt;
    // The labels were set by the click that chose the chart; painting only draws.
    Trace(p, Graphique.Peint(base_, anneeChoisie, ChoixListe::RangeeChoisie(LBListMois)), font());
}

} // namespace sillage
