#include "ui/texte_qt.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace sillage {

namespace {
constexpr const char* kCodePage = "windows-1252";
}

QString DepuisWindows1252(std::string_view octets) {
    // A single-byte code page keeps no state between calls, so one decoder serves them all.
    static thread_local QStringDecoder decodeur(kCodePage);
    return decodeur.decode(QByteArrayView(octets.data(), static_cast<qsizetype>(octets.size())));
}

std::optional<std::string> VersWindows1252(const QString& texte) {
    QStringEncoder encodeur(kCodePage);
    const QByteArray octets = encodeur.encode(texte);
    if (encodeur.hasError()) {
        return std::nullopt;
    }
    return octets.toStdString();
}

std::string VersWindows1252Substitue(const QString& texte) {
    QStringEncoder encodeur(kCodePage);
    return QByteArray(encodeur.encode(texte)).toStdString();
}

QString Infobulle(const QString& texte) {
    if (texte.isEmpty()) {
        return {}; // no tooltip at all
    }
    return QStringLiteral("<p style='white-space:pre'>%1</p>").arg(texte.toHtmlEscaped());
}

} // namespace sillage
