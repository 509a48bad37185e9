#include "ui/construction.h"

#include "ui/police.h"
#include "vues/vue_listes.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTableView>

namespace sillage {

QLabel* Libelle(QWidget* parent, const char* nom, int x, int y, const QString& texte) {
    auto* l = Nomme(new QLabel(parent), nom);
    l->setTextFormat(Qt::PlainText);
    l->setText(texte);
    l->move(x, y);
    l->adjustSize();
    return l;
}

QLabel* LibelleVariable(QWidget* parent, const char* nom, int x, int y, int largeur) {
    auto* l = Nomme(new QLabel(parent), nom);
    l->setTextFormat(Qt::PlainText);
    l->setGeometry(x, y, largeur, l->fontMetrics().height() + 2);
    return l;
}

QPushButton* Bouton(QWidget* parent, const char* nom, const QRect& place, const QString& texte) {
    auto* b = Nomme(new QPushButton(texte, parent), nom);
    b->setGeometry(place);
    b->setAutoDefault(false);
    return b;
}

QLineEdit* Edit(QWidget* parent, const char* nom, const QRect& place) {
    auto* e = Nomme(new QLineEdit(parent), nom);
    e->setGeometry(place);
    return e;
}

QTableView* ListeRapport(QWidget* parent, const char* nom, const QRect& place,
                         QAbstractItemModel* modele, const std::vector<int>& largeurs,
                         const std::vector<bool>& dates) {
    auto* v = Nomme(new QTableView(parent), nom);
    v->setGeometry(place);
    v->setModel(modele);
    v->setSelectionBehavior(QAbstractItemView::SelectRows);
    v->setSelectionMode(QAbstractItemView::SingleSelection);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setShowGrid(false);
    v->setWordWrap(false);
    v->setTabKeyNavigation(false);
    v->setCornerButtonEnabled(false);
    v->setSortingEnabled(false);
    v->verticalHeader()->hide();
    // Fixed row heights: the view never asks a row for its size, whatever the row count.
    v->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    v->verticalHeader()->setDefaultSectionSize(v->fontMetrics().height() + 4);
    QHeaderView* entetes = v->horizontalHeader();
    entetes->setSectionsClickable(false);
    entetes->setHighlightSections(false);
    entetes->setStretchLastSection(false);
    entetes->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const std::vector<int> finales = ElargitDates(largeurs, dates, LargeurDate(*v));
    for (std::size_t c = 0; c < finales.size(); ++c) {
        entetes->resizeSection(static_cast<int>(c), finales[c]);
    }
    return v;
}

int LargeurDate(const QAbstractItemView& vue) {
    const QFontMetrics mesure = vue.fontMetrics();
    const auto plusLarge = [&](const QStringList& textes) {
        QString large;
        for (const QString& t : textes) {
            if (mesure.horizontalAdvance(t) > mesure.horizontalAdvance(large)) {
                large = t;
            }
        }
        return large;
    };
    const QString chiffre = plusLarge(QString("0123456789").split(QString(), Qt::SkipEmptyParts));
    const QString mois = plusLarge(
        {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"});
    const QString date = QString("00/%1/0000:00:00:00").arg(mois).replace('0', chiffre);
    // The views leave this margin on each side of a cell's text before they cut it short.
    const int marge = vue.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &vue) + 1;
    return mesure.horizontalAdvance(date) + 2 * marge + 1;
}

void MetEnFenetreOutil(QWidget* fenetre, const QPoint& place, const QSize& taille) {
    fenetre->setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowCloseButtonHint);
    fenetre->setFont(PoliceSillage());
    fenetre->setFixedSize(taille);
    fenetre->move(place); // and not centred over the main window when shown
}

void MetEnGras(QPushButton* bouton, bool gras) {
    QFont police = bouton->font();
    if (police.bold() != gras) {
        police.setBold(gras);
        bouton->setFont(police);
    }
}

} // namespace sillage
