#include "ui/tfoptions.h"

#include "store/base.h"

namespace sillage {

TFOptions::TFOptions(Base& base, QWidget* parent) : QDialog(parent), base_(base) {
    setWindowTitle(QStringLiteral("Options"));
}

} // namespace sillage
