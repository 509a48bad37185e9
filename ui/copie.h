// Copying a list's selected rows, so that they can be pasted into a spreadsheet.
#pragma once

#include <QString>

class QAbstractItemView;

namespace sillage {

// The rows of vue that hold a selected cell, top to bottom, as tab-separated text ending every
// line with a line feed: first the column titles (for a list that has them), then each row whole,
// every column of it. A tab or a line break inside a cell becomes a space, so that each cell
// stays in its column. Empty when nothing is selected.
QString TexteCopie(const QAbstractItemView& vue);

// Gives vue its copy command: Ctrl+C, and "Copier" in its context menu, put TexteCopie on the
// clipboard; with nothing selected they do nothing.
void AjouteCopie(QAbstractItemView* vue);

} // namespace sillage
