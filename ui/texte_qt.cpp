#include "ui/texte_qt.h"

#include "vues/texte_affiche.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

namespace sillage {

namespace {
constexpr const char* kCodePage = "windows-1252";
}

QString DepuisWindows1252(std::string_view octets) {
    // A single-byte code page keeps no state between calls, so one decoder serves them all.
    static thread_local QStringDecoder decodeur(kCodePage);
    return decodeur.decode(QByteArrayView(octets.data(), static_cast<qsizetype>(octets.size())));
}

QString Affiche(std::string_view octets) {
    const std::string texte = TexteAffiche(octets);
    return QString::fromUtf8(texte.data(), static_cast<qsizetype>(texte.size()));
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
    // The text cut into lines of at most kColonnesInfobulle characters, each cut made at the last
    // place a line may break before that width (or at the width itself when there is none).
    const auto coupable = [](QChar c) {
        return c == u' ' || c == u'/' || c == u'?' || c == u'&' || c == u'=' || c == u';' ||
               c == u',';
    };
    QStringList lignes;
    qsizetype debut = 0;
    while (texte.size() - debut > kColonnesInfobulle) {
        qsizetype coupe = debut + kColonnesInfobulle;
        for (qsizetype i = coupe - 1; i > debut + kColonnesInfobulle / 2; --i) {
            if (coupable(texte[i])) {
                coupe = i + 1;
                break;
            }
        }
        lignes.append(texte.mid(debut, coupe - debut).toHtmlEscaped());
        debut = coupe;
    }
    lignes.append(texte.mid(debut).toHtmlEscaped());
    return QStringLiteral("<p style='white-space:pre'>%1</p>").arg(lignes.join(u"<br>"));
}

} // namespace sillage
