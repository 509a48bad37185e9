// Whom a store trusts: its owner only. A store folder that another user can write, or that
// belongs to neither the running user nor root, is refused before anything in it is read; a
// file of the store is read, carried out or removed only when it is a regular file of the
// store's owner, checked on the opened descriptor (never on the path, which may change between
// the check and the use), and a link in a file's place is never followed.
#pragma once

#include <string>
#include <sys/stat.h>
#include <sys/types.h>

namespace sillage {

// The owner of a store: the owner and group of its folder.
struct Proprietaire {
    uid_t uid = static_cast<uid_t>(-1);
    gid_t gid = static_cast<gid_t>(-1);
};

// Checks that the store folder dossier (a link to a folder is followed: the path is the user's
// choice) belongs to the running user or to root (root itself may use any user's store) and that
// no other user can write it (neither
// its group, unless that group is its owner's own group with no other member, nor others).
// Answers its owner; raises ErreurSillage with a message that says why and how to mend it.
Proprietaire VerifieDossierPrive(const std::string& dossier);
// Raises "Impossible d'ouvrir le fichier DOSSIER : répertoire introuvable" (or the reason erreur
// gives, "ce n'est pas un répertoire" for ENOTDIR), dossier named without its final separator.
[[noreturn]] void LeveErreurDossier(const std::string& dossier, int erreur);

// True when st is a regular file that belongs to p.
bool FichierDe(const struct stat& st, const Proprietaire& p);

// Opens the file chemin of a store whose owner is p, for reading: a link in its place is not
// followed, and the descriptor must be a regular file of p (st tells what it is). Answers -1
// with errno ENOENT when nothing is there; raises ErreurSillage with a message naming the file
// when it is a link, not a regular file, another user's, or cannot be opened.
int OuvreFichierBase(const std::string& chemin, const Proprietaire& p, struct stat& st);

// "Le fichier %s n'appartient pas au propriétaire des tables... : Sillage ne l'exécute ni ne le
// supprime...", for a transaction file or a temporary that is not a regular file of the owner.
[[noreturn]] void LeveFichierEtranger(const std::string& chemin);

// The name of the user uid ("UID n" when the system does not know it).
std::string NomUtilisateur(uid_t uid);

} // namespace sillage
