// How the window's handlers meet failures: the store and the import throw ErreurSillage with the
// user's message; anything else thrown (memory) is shown the same way. Every handler that can
// fail goes through here.
#pragma once

#include "ui/dialogues.h"

#include <QString>

#include <exception>
#include <optional>
#include <utility>

namespace sillage {

// Runs etape; returns the message of what stopped it, nothing when it completed.
template <typename Etape> std::optional<QString> Essaie(Etape&& etape) {
    try {
        std::forward<Etape>(etape)();
        return std::nullopt;
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
}

// Runs etape; a failure ends it with its message shown in a box over fenetre. Returns whether
// the step completed.
template <typename Etape> bool Protege(QWidget* fenetre, Etape&& etape) {
    const std::optional<QString> erreur = Essaie(std::forward<Etape>(etape));
    if (erreur) {
        Dialogues::Erreur(fenetre, *erreur);
    }
    return !erreur;
}

} // namespace sillage
