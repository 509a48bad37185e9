#include "ui/identite.h"

#include <QApplication>

namespace sillage {

QIcon IconeSillage() {
    QIcon icone;
    for (int taille : {48, 128, 256}) {
        icone.addFile(QStringLiteral(":/icones/%1/sillage.png").arg(taille), QSize(taille, taille));
    }
    return icone;
}

void IdentifieApplication() {
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kEntreeBureau));
    QApplication::setWindowIcon(IconeSillage());
}

} // namespace sillage
