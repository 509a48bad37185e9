// The store's lock: one program at a time changes a store. It is an exclusive flock on the store
// folder itself, so no file is added for it, and the kernel releases it when the process ends,
// however it ends.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace sillage {

class Verrou {
  public:
    // Not held.
    Verrou() = default;
    ~Verrou() { Libere(); }
    Verrou(Verrou&& autre) noexcept;
    Verrou& operator=(Verrou&& autre) noexcept;
    Verrou(const Verrou&) = delete;
    Verrou& operator=(const Verrou&) = delete;

    bool Tenu() const { return fd_ >= 0; }
    void Libere();

    // Takes the lock of dossier. When another program holds it, enAttente is called once and
    // the wait goes on for at most attente (as long as needed when attente is negative); when
    // the wait runs out the lock answered is not held. Raises "Impossible d'ouvrir le fichier
    // %s" when the folder cannot be opened.
    static Verrou Prend(const std::string& dossier, std::chrono::milliseconds attente,
                        const std::function<void()>& enAttente = {});

  private:
    explicit Verrou(int fd) : fd_(fd) {}
    int fd_ = -1;
};

} // namespace sillage
