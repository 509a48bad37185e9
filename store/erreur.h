// Errors raised by the store and the import. Every message is UTF-8 text, ready to show.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace sillage {

// The one exception type of the store and the import; what() is the message to show the user.
class ErreurSillage : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// "'<texte>' n'est pas une valeur entière correcte"; texte is Windows-1252 bytes from a table or a
// log.
[[noreturn]] void LeveErreurEntier(std::string_view texte);
// "Impossible d'ouvrir le fichier <fichier>", then " : <raison>" when a reason is given (see
// RaisonSysteme); fichier is a path in the platform's encoding.
[[noreturn]] void LeveErreurOuverture(std::string_view fichier, std::string_view raison = {});
// "Impossible de créer le fichier <fichier>", then " : <raison>" when a reason is given.
[[noreturn]] void LeveErreurCreation(std::string_view fichier, std::string_view raison = {});
// "Indice de liste hors limites (<indice>)".
[[noreturn]] void LeveErreurIndice(std::int64_t indice);
// "Erreur à la lecture du fichier (ligne <ligne>)", ligne counted from 1.
[[noreturn]] void LeveErreurLecture(std::int64_t ligne);

// Why a system call failed (an errno value), in French: "fichier introuvable", "permission
// refusée", "c'est un répertoire", "disque plein"...; "erreur système N" for the rare ones.
std::string RaisonSysteme(int erreur);
// The same for a call on chemin, with a hint where it helps: a log of /var/log refused to a user
// is readable by the members of the adm group.
std::string RaisonSysteme(int erreur, std::string_view chemin);
// The reason for a path that opened as something else than a regular file (st_mode of fstat):
// "c'est un répertoire", or "ce n'est pas un fichier ordinaire".
std::string RaisonPasFichier(unsigned mode);

// Windows-1252 bytes to UTF-8; the five bytes that code page leaves undefined become U+FFFD.
std::string Windows1252VersUtf8(std::string_view texte);
// The same, appended to s.
void AjouteWindows1252EnUtf8(std::string& s, std::string_view texte);

} // namespace sillage
