// The file operations by which a save changes the store folder. A save calls them in an order
// that keeps the store whole after a crash at any of them (see transaction.h); tests put their
// own Disque in place to stop a save at any step, or to make a write fail as a full disk does.
#pragma once

#include <cstddef>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace sillage {

class Disque {
  public:
    virtual ~Disque() = default;

    // mkstemp: creates a new file from modele (ending in XXXXXX, replaced by the name given);
    // answers its descriptor, or -1 with errno set.
    virtual int CreeTemporaire(std::string& modele);
    // Writes the n bytes whole; false with errno set on failure (ENOSPC on a full disk).
    virtual bool Ecrit(int fd, const char* octets, std::size_t n);
    virtual bool Synchronise(int fd);
    // Closes fd; false when the close reports a failure of the writes before it.
    virtual bool Ferme(int fd);
    virtual bool Renomme(const std::string& de, const std::string& vers);
    // A second name for an existing file (link); false with errno set when the file system
    // has no such names (EPERM, ENOTSUP...) or vers exists.
    virtual bool Lie(const std::string& de, const std::string& vers);
    // false with errno set when chemin could not be removed (ENOENT when it was absent).
    virtual bool Supprime(const std::string& chemin);
    virtual bool SynchroniseDossier(const std::string& dossier);
    // What is at chemin itself, a link not followed (lstat); false with errno set when nothing
    // is there.
    virtual bool Etat(const std::string& chemin, struct stat& st);
    // Gives the new file fd the permission bits mode and, when proprietaire is not -1, that owner
    // and groupe; false with errno set.
    virtual bool FixeDroits(int fd, mode_t mode, uid_t proprietaire, gid_t groupe);
    // Reads the regular file at chemin whole into texte, a link not followed, and tells what it
    // is in st; false with errno set when it cannot be (ELOOP for a link, EINVAL for what is not
    // a regular file).
    virtual bool LitFichier(const std::string& chemin, std::string& texte, struct stat& st);
    // The names in dossier, "." and ".." left out; false with errno set when it cannot be read.
    virtual bool Liste(const std::string& dossier, std::vector<std::string>& noms);
    // Creates the folder chemin with the permission bits mode (mkdir) and, when proprietaire is
    // not -1, that owner and groupe; false with errno set (EEXIST when something is there
    // already).
    virtual bool CreeDossier(const std::string& chemin, mode_t mode, uid_t proprietaire,
                             gid_t groupe);
    // Removes the empty folder chemin (rmdir); false with errno set.
    virtual bool SupprimeDossier(const std::string& chemin);

    // The real file system.
    static Disque& Systeme();
};

} // namespace sillage
