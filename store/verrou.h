// The store's lock: one program at a time changes a store. It is an exclusive flock on a lock
// file of the store folder (kFichierVerrou), which only the store's owner can open, and the
// kernel releases it when the process ends, however it ends.
#pragma once

#include "store/confiance.h"

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace sillage {

inline constexpr std::string_view kFichierVerrou = "sillage.verrou";

class Verrou {
  public:
    // Not held.
    Verrou() = default;
    ~Verrou() { Libere(); }
    Verrou(Verrou&& autre) noexcept;
    Verrou& operator=(Verrou&& autre) noexcept;
    Verrou(const Verrou&) = delete;
    Verrou& operator=(const Verrou&) = delete;

    bool Tenu() const { return fd_ >= 0 || fd_ == kSansFichier; }
    void Libere();

    // Takes the lock of dossier, a store folder whose owner is proprietaire (the folder's owner
    // when not given). When another program holds it, enAttente is called once and the wait
    // goes on for at most attente (as long as needed when attente is negative); when the wait
    // runs out the lock answered is not held. A folder on a read-only file system is held at
    // once, without a lock file: nobody can change it. Raises "Impossible d'ouvrir le fichier
    // %s" when the folder or the lock file cannot be opened or made, and a message naming the
    // lock file when it is a link or not a regular file of the owner (LeveFichierEtranger).
    static Verrou Prend(const std::string& dossier, std::chrono::milliseconds attente,
                        const std::function<void()>& enAttente = {},
                        Proprietaire proprietaire = {});

  private:
    static constexpr int kSansFichier = -2;
    explicit Verrou(int fd) : fd_(fd) {}
    int fd_ = -1;
};

} // namespace sillage
