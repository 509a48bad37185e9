// Charts tab: the yearly and monthly bar charts on PaintBox1. EtatGraphique (vue_graphiques.h)
// decides what to draw and which labels to show; here the commands are painted and the labels
// set.
#include "ui/tfprincip.h"

#include "store/base.h"
#include "ui/choix_liste.h"
#include "ui/construction.h"
#include "ui/copie.h"
#include "ui/protege.h"
#include "ui/surface_dessin.h"
#include "ui/texte_qt.h"
#include "ui/texte_utf8.h"
#include "vues/vue_chiffres.h"
#include "vues/vue_resume.h"

#include <QLabel>
#include <QListWidget>
#include <QPainter>

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

void TFPrincip::CreeGraphiques(QWidget* page) {
    Libelle(page, "Label39", 24, 8, QStringLiteral("Cliquez sur l'année :"));
    Libelle(page, "Label40", 240, 8,
            QStringLiteral("Cliquez sur le mois pour lequel vous souhaitez avoir le graphique :"));
    LBListAnnee = Nomme(new QListWidget(page), "LBListAnnee");
    LBListAnnee->setGeometry(24, 32, 201, 201);
    LBListMois = Nomme(new QListWidget(page), "LBListMois");
    LBListMois->setGeometry(240, 32, 393, 201);
    for (QListWidget* l : {LBListAnnee, LBListMois}) {
        l->setSelectionMode(QAbstractItemView::SingleSelection);
    }

    PaintBox1 =
        Nomme(new SurfaceDessin([this](QPainter& p) { PaintBox1Paint(p); }, page), "PaintBox1");
    PaintBox1->setGeometry(64, 272, 495, 289);

    for (int m = 0; m < 12; ++m) {
        const QByteArray nom = "Label" + QByteArray::number(3 + m);
        QLabel* l = Libelle(page, nom.constData(), 0, 272 + 24 * m,
                            Utf8(kMoisFrancais[static_cast<std::size_t>(m)]));
        l->move(57 - l->width(), l->y()); // right edge at x 57
        LabelsMois[static_cast<std::size_t>(m)] = l;
    }
    // Day labels: Label42 to Label45, Label50 to Label53, Label58 to Label69, Label81 to Label91.
    static const int kPremiers[4][2] = {{42, 4}, {50, 4}, {58, 12}, {81, 11}};
    int jour = 0;
    for (const auto& bloc : kPremiers) {
        for (int k = 0; k < bloc[1]; ++k, ++jour) {
            const QByteArray nom = "Label" + QByteArray::number(bloc[0] + k);
            LabelsJours[static_cast<std::size_t>(jour)] =
                Libelle(page, nom.constData(), 64 + 16 * jour, 568, QString::number(jour + 1));
        }
    }

    LHCalc1 = LibelleVariable(page, "LHCalc1", 208, 256, 80);
    LHCalc2 = LibelleVariable(page, "LHCalc2", 384, 256, 80);
    LHCalc3 = LibelleVariable(page, "LHCalc3", 544, 256, 80);
    LVCalc1 = LibelleVariable(page, "LVCalc1", 568, 456, 70);
    LVCalc2 = LibelleVariable(page, "LVCalc2", 568, 368, 70);
    LVCalc3 = LibelleVariable(page, "LVCalc3", 568, 272, 70);

    // The legend's texts and colours follow the chart shown (MontreEtiquettes). It stands 4
    // pixels above its first place (592), where the page's bottom cut the letters' descenders,
    // and still below the day numbers.
    static const char* const kLegende[5] = {"LExpl0", "lExpl1", "LExpl2", "LExpl5", "LExpl6"};
    for (std::size_t i = 0; i < Legende.size(); ++i) {
        Legende[i] = Libelle(page, kLegende[i], 8, 588, QString());
        Legende[i]->hide();
    }

    new ChoixListe(LBListAnnee, [this] { LBListAnneeClick(); });
    new ChoixListe(LBListMois, [this] { LBListMoisClick(); });
    // After the click handlers: a choice undone (Ctrl+click) leaves the empty frame.
    for (QListWidget* l : {LBListAnnee, LBListMois}) {
        connect(l->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &TFPrincip::MontreEtiquettesSansChoix);
        AjouteCopie(l, [this] { ExporteGraphique(); });
    }
    AjouteExport(PaintBox1, [this] { ExporteGraphique(); });
}

void TFPrincip::RemplitListesGraphiques() {
    LBListAnnee->clear();
    for (const std::string& texte : TextesAnnees(Affichee().ListeGraphMois)) {
        LBListAnnee->addItem(DepuisWindows1252(texte));
    }
    LBListMois->clear();
    for (const std::string& texte : TextesMois(Affichee().ListeGraphHeure)) {
        LBListMois->addItem(DepuisWindows1252(texte));
    }
    // Both lists lost their selection: the chart shows the empty frame of its mode, without
    // the numbers of the chart it showed.
    MontreEtiquettesSansChoix();
    PaintBox1->update();
}

void TFPrincip::MontreEtiquettes(const EtiquettesGraphique& etiquettes) {
    const bool annuelle = etiquettes.Genre == GenreGraphique::Annee;
    const bool mensuelle = etiquettes.Genre == GenreGraphique::Mois;
    const std::array<QLabel*, 3> horizontales = {LHCalc1, LHCalc2, LHCalc3};
    const std::array<QLabel*, 3> verticales = {LVCalc1, LVCalc2, LVCalc3};
    for (std::size_t i = 0; i < 3; ++i) {
        if (annuelle || mensuelle) {
            (annuelle ? horizontales : verticales)[i]->setText(
                QString::fromStdString(etiquettes.Echelle[i]));
        }
        horizontales[i]->setVisible(annuelle);
        verticales[i]->setVisible(mensuelle);
    }
    for (QLabel* l : LabelsMois) {
        l->setVisible(annuelle);
    }
    for (QLabel* l : LabelsJours) {
        l->setVisible(mensuelle);
    }
    MontreLegende(LegendeGraphique(etiquettes.Genre));
}

void TFPrincip::MontreLegende(const std::vector<EntreeLegende>& entrees) {
    constexpr int kEcart = 6; // between two entries
    int x = 8;
    for (std::size_t i = 0; i < Legende.size(); ++i) {
        QLabel* l = Legende[i];
        if (i >= entrees.size()) {
            l->hide();
            continue;
        }
        l->setText(Utf8(entrees[i].Texte));
        QPalette palette = l->parentWidget()->palette();
        if (entrees[i].Teinte) {
            palette.setColor(QPalette::WindowText, Teinte(*entrees[i].Teinte));
        }
        l->setPalette(palette);
        l->adjustSize();
        l->move(x, l->y());
        l->show();
        x += l->width() + kEcart;
    }
}

void TFPrincip::MontreEtiquettesSansChoix() {
    const std::optional<EtiquettesGraphique> etiquettes = Graphique.EtiquettesSansChoix(
        ChoixListe::RangeeChoisie(LBListAnnee) >= 0, ChoixListe::RangeeChoisie(LBListMois) >= 0);
    if (etiquettes) {
        MontreEtiquettes(*etiquettes);
    }
}

void TFPrincip::LBListAnneeClick() {
    const std::optional<std::string> annee = TexteChoisi(LBListAnnee);
    if (!annee) {
        return;
    }
    Protege(this, [&] {
        const Dessin d = Graphique.CliqueAnnee(Affichee(), *annee);
        if (d.Etiquettes) {
            MontreEtiquettes(*d.Etiquettes);
        }
    });
    PaintBox1->update();
}

void TFPrincip::LBListMoisClick() {
    const int rangee = ChoixListe::RangeeChoisie(LBListMois);
    if (rangee < 0) {
        return;
    }
    Protege(this, [&] {
        const Dessin d = Graphique.CliqueMois(Affichee(), rangee);
        if (d.Etiquettes) {
            MontreEtiquettes(*d.Etiquettes);
        }
    });
    PaintBox1->update();
}

void TFPrincip::PaintBox1Paint(QPainter& p) {
    const std::optional<std::string> annee = TexteChoisi(LBListAnnee);
    const std::optional<std::string_view> anneeChoisie =
        annee ? std::optional<std::string_view>(*annee) : std::nullopt;
    // The labels were set by the click that chose the chart; painting only draws.
    Trace(p, Graphique.Peint(Affichee(), anneeChoisie, ChoixListe::RangeeChoisie(LBListMois)),
          font());
}

} // namespace sillage
