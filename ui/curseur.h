// The busy cursor over the whole screen for the life of a scope, restored on every way out.
#pragma once

#include <QApplication>

namespace sillage {

class CurseurOccupe {
  public:
    CurseurOccupe() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CurseurOccupe() { QApplication::restoreOverrideCursor(); }
    CurseurOccupe(const CurseurOccupe&) = delete;
    CurseurOccupe& operator=(const CurseurOccupe&) = delete;
};

} // namespace sillage
