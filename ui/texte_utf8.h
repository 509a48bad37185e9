// The window's own texts at the widget boundary: what the views compose (messages, labels,
// figures) is UTF-8, unlike table text (texte_qt.h).
#pragma once

#include <QString>

#include <string_view>

namespace sillage {

inline QString Utf8(std::string_view texte) {
    return QString::fromUtf8(texte.data(), static_cast<qsizetype>(texte.size()));
}

} // namespace sillage
