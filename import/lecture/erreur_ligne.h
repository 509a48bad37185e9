// The error of a line of the log that cannot be counted: unreadable (a NUL byte, longer than the
// limit of the reading, fields out of layout), or a date that does not convert or cannot be
// counted. It is raised before the line changed anything, so that an import may also pass over
// such lines.
#pragma once

#include "store/erreur.h"

#include <cstdint>
#include <string>

namespace sillage {

// What() is the message the import stops with.
class ErreurLigne : public ErreurSillage {
  public:
    explicit ErreurLigne(const std::string& message, bool horsFormat = false)
        : ErreurSillage(message), HorsFormat(horsFormat) {}
    // The line cannot be read as an access-log line at all (a NUL byte, too long, a date whose
    // numbers do not convert), rather than holding a date that cannot be counted.
    bool HorsFormat;
    // Some lines of the log can be counted: passing over the others would import something.
    bool LignesComptables = true;
};

// Raises ErreurLigne with "Erreur à la lecture du fichier (ligne N)", N = numero.
[[noreturn]] void LeveErreurLigne(std::int64_t numero, bool horsFormat = false);

// Raises ErreurLigne, out of format, with "<journal> ne ressemble pas à un journal d'accès
// (ligne N)": the first line of the log, number numero, cannot be read as one. comptables: some
// later line can be counted.
[[noreturn]] void LevePasUnJournal(const std::string& journal, std::int64_t numero,
                                   bool comptables);

} // namespace sillage
