// Copying a list's selected rows, so that they can be pasted into a spreadsheet; and the context
// menu that offers it, with "Exporter…" where a list can be exported whole.
#pragma once

#include <QString>

#include <functional>

class QAbstractItemView;
class QWidget;

namespace sillage {

// The rows of vue that hold a selected cell, top to bottom, as tab-separated text ending every
// line with a line feed: first the column titles (for a list that has them), then each row whole,
// every column of it. A tab or a line break inside a cell becomes a space, so that each cell
// stays in its column. Empty when nothing is selected.
QString TexteCopie(const QAbstractItemView& vue);

// The text of the export command in the context menus and the menu bar.
inline const QString kTexteExporter = QStringLiteral("Exporter…");

// Gives vue its copy command: Ctrl+C, and "Copier" in its context menu, put TexteCopie on the
// clipboard; with nothing selected they do nothing. With exporte, the menu also offers
// "Exporter…", which calls it.
void AjouteCopie(QAbstractItemView* vue, std::function<void()> exporte = {});
// Gives widget (a chart, the summary's grid) a context menu of "Exporter…" alone.
void AjouteExport(QWidget* widget, std::function<void()> exporte);

} // namespace sillage
