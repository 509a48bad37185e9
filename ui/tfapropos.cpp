#include "ui/tfapropos.h"

namespace sillage {

TFApropos::TFApropos(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("A Propos"));
}

} // namespace sillage
