// The thread that counts the periods of an import: the store's engine hands it each line it has
// counted, copied into lots, and goes on with the next line while the year's and the month's
// engines count this one, so that the two cores share the three counts of a line. The lines are
// counted by the thread in the order they were handed over.
#pragma once

#include "import/lecture/ligne_preparee.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sillage {

class FilPeriodes {
  public:
    // compte counts one line (prepared, its number), on the thread; what it raises stops the
    // counting: the lines after it are dropped, and Termine raises it.
    explicit FilPeriodes(std::function<void(const LignePreparee&, std::int64_t)> compte);
    // Stops the thread, the lines not counted yet dropped.
    ~FilPeriodes();
    FilPeriodes(const FilPeriodes&) = delete;
    FilPeriodes& operator=(const FilPeriodes&) = delete;

    // Copies line p (its texts into the lot being filled) to be counted, with the store's
    // records of its names (given to the counting as LignePreparee::racine); sends the lot when
    // full, waiting while the thread has several to count.
    void Ajoute(const LignePreparee& p, std::int64_t numero, const RangsRacine& racine = {});
    // Sends what is left and waits until every line handed over is counted; raises what
    // counting raised.
    void Termine();

  private:
    // A line of a lot: its numbers, and its texts as places in the lot's bytes.
    struct Entree {
        std::int64_t numero = 0;
        std::uint64_t hHote = 0, hPage = 0, hOrigine = 0, hAgent = 0;
        bool image = false, download = false, illisible = false;
        RangsRacine racine;
        std::uint32_t debut[8] = {}, taille[8] = {};
    };
    struct Lot {
        std::string octets;
        std::vector<Entree> entrees;
    };

    void Envoie(); // the lot being filled, to the thread
    void Boucle(); // the thread
    void Compte(Lot& lot);

    std::function<void(const LignePreparee&, std::int64_t)> compte_;
    Lot courant_;
    std::mutex verrou_;
    std::condition_variable aCompter_, place_;
    std::deque<Lot> pleins_;
    std::vector<Lot> libres_;
    bool occupe_ = false; // the thread is counting a lot
    bool arret_ = false;
    std::exception_ptr erreur_;
    std::thread fil_;
};

} // namespace sillage
