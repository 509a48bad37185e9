// The error of a line of the log that cannot be counted: unreadable (a NUL byte, fields out of
// layout), or a date that does not convert or cannot be counted. It is raised before the line
// changed anything, so that an import may also pass over such lines.
#pragma once

#include "store/erreur.h"

#include <cstdint>

namespace sillage {

// What() is the message the import stops with.
class ErreurLigne : public ErreurSillage {
  public:
    using ErreurSillage::ErreurSillage;
};

// Raises ErreurLigne with "Erreur à la lecture du fichier (ligne N)", N = numero.
[[noreturn]] void LeveErreurLigne(std::int64_t numero);

} // namespace sillage
