// The font of the whole program: the window's layout, its dialogs and its message boxes are made
// for an 11-pixel sans-serif font. A window does not take its parent's font, so each one is
// given this one.
#pragma once

#include <QFont>

namespace sillage {

QFont PoliceSillage();

} // namespace sillage
