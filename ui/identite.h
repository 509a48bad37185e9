// How the desktop knows the program: its icon (the one the package installs, in three sizes)
// and the name of its desktop entry, which docks and task bars match to its windows.
#pragma once

#include <QIcon>
#include <QString>

namespace sillage {

// The name of the program's desktop entry, without ".desktop".
inline constexpr const char* kEntreeBureau = "sillage";

QIcon IconeSillage();

// Gives the application its desktop entry's name and its icon (every window of it takes it).
void IdentifieApplication();

} // namespace sillage
