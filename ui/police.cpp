#include "ui/police.h"

#include <QApplication>

namespace sillage {

QFont PoliceSillage() {
    QFont police = QApplication::font();
    police.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                        QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica")});
    police.setStyleHint(QFont::SansSerif);
    police.setPixelSize(11);
    return police;
}

} // namespace sillage
