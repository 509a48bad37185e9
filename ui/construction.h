// Building blocks of the window and its dialogs: each widget gets its system name as its
// objectName and its place. Positions are left, top inside the parent; sizes width x height.
#pragma once

#include <QString>

#include <vector>

class QAbstractItemModel;
class QAbstractItemView;
class QLabel;
class QLineEdit;
class QPoint;
class QPushButton;
class QRect;
class QSize;
class QTableView;
class QWidget;

namespace sillage {

template <typename W> W* Nomme(W* widget, const char* nom) {
    widget->setObjectName(QString::fromLatin1(nom));
    return widget;
}

// A label that takes the size of its text. Labels show their text as plain text, whatever it
// holds: some quote a log's text, which a client of the site chose.
QLabel* Libelle(QWidget* parent, const char* nom, int x, int y, const QString& texte);
// A label whose text comes later: wide enough for it, one line high.
QLabel* LibelleVariable(QWidget* parent, const char* nom, int x, int y, int largeur);
// A button that Enter does not press unless it is made the default one.
QPushButton* Bouton(QWidget* parent, const char* nom, const QRect& place, const QString& texte);
QLineEdit* Edit(QWidget* parent, const char* nom, const QRect& place);
// A report list over modele: column headers that do not sort, one whole row selected at a time,
// columns of the given widths. The columns that dates tells are dates are widened, at the first
// column's expense, until a whole date fits in them (ElargitDates, vue_listes.h).
QTableView* ListeRapport(QWidget* parent, const char* nom, const QRect& place,
                         QAbstractItemModel* modele, const std::vector<int>& largeurs,
                         const std::vector<bool>& dates = {});
// The width a cell of vue needs to show any stored date ("29/Feb/2004:21:41:50") whole.
int LargeurDate(const QAbstractItemView& vue);
// A small secondary window: a tool-window frame with a title and a close box, the program's
// font, a client area of the given size that cannot be resized, at the given place on screen.
void MetEnFenetreOutil(QWidget* fenetre, const QPoint& place, const QSize& taille);
// The button's font made bold or regular.
void MetEnGras(QPushButton* bouton, bool gras);

} // namespace sillage
