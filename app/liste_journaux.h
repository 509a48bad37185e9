// The list of logs that a scheduled import reads (sillage-import --liste FICHIER), kept in the
// user's configuration rather than written into a service or a crontab line: one path or glob
// pattern per line, oldest first. Without Qt.
#pragma once

#include <string>
#include <vector>

namespace sillage {

// What a list names.
struct ListeJournaux {
    // The files to import, in order, each once (the first place it is named).
    std::vector<std::string> fichiers;
    // For each line that named no file present, what it named: "LISTE, ligne 3 : aucun fichier
    // ne correspond à /var/log/apache2/access.log.*.gz" or "LISTE, ligne 4 : /x.log est absent".
    std::vector<std::string> remarques;
};

// Reads the list at chemin (a path in the platform's encoding). Each line is taken without the
// blanks at its ends; an empty line, or one that begins with '#', is passed over. A line that
// begins with "~/" starts from the home folder; a relative path starts from the list's own
// folder. A line holding '*', '?' or '[' is a glob(7) pattern: its matches that are not folders
// come in the order of PrecedeEnRotation, the oldest first. A line that names nothing present (a
// log not rotated yet, a pattern without a match, a folder that does not exist) gives a remark.
// Raises ErreurSillage with the message to show ("Impossible de lire la liste des journaux
// LISTE : fichier introuvable"), naming the line where one is at fault, when the list cannot be
// read, a line holds a NUL byte, a folder of a pattern cannot be read, or no line names a file
// present.
ListeJournaux LitListeJournaux(const std::string& chemin);

// Whether a is an older log than b, for names that log rotation gives: a trailing ".gz" is passed
// over; a trailing ".N" (one to four digits) is a rotation number, the greater the older, and a
// name without one is newer than the same name with one (access.log.2.gz, access.log.1,
// access.log); otherwise names compare byte by byte, a name that is the beginning of another
// being the newer (access.log-20260101.gz, access.log-20260108, access.log). A strict weak
// order over any names.
bool PrecedeEnRotation(const std::string& a, const std::string& b);

} // namespace sillage
