// The hits of an import for analytical engines (sillage-import --hits): one CSV row per line the
// import counts, with the columns the Elastic Common Schema names (the hit's time in ISO 8601
// with its zone, the client, the path, the status, the whole referrer, the agent), and the
// system's own: the kind of resource and the search words the keywords table keeps. UTF-8 (texts
// shown as the window shows them), ',' between fields, RFC 4180 quoting, no byte-order mark.
//
// The file follows the imports: the rows of a log whose import fails are taken back, and the file
// appears (renamed into place) only when the tables it describes are saved.
#pragma once

#include "import/lecture/ligne_log.h"
#include "import/moteur/parcours.h"
#include "rapports/sortie.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace sillage {

class Base;

// The column titles, in order.
inline constexpr std::string_view kColonnesHits =
    "@timestamp,source.address,url.original,http.response.status_code,http.request.referrer,"
    "user_agent.original,sillage.kind,sillage.keywords";

// The counting thread only copies each counted line into a lot; a thread of its own cuts the
// lines again, writes their rows (compressing them) and has the disk write them as they come, so
// that the import waits for none of it.
class Classificateur;

class FichierHits final : public ObservateurLignes {
  public:
    // The file chemin, gzip-compressed when its name ends with ".gz"; the referrers that
    // base's option excludes (the site's own address) carry no search words, as in the store.
    // Raises "Impossible de créer le fichier ..." when its temporary cannot be made. With
    // classement, each row also says whether its agent is a robot's (the column sillage.robot);
    // it is used by the writing thread alone, so it must be a classifier of its own.
    FichierHits(const std::string& chemin, const Base& base, Classificateur* classement = nullptr);
    ~FichierHits() override;
    FichierHits(const FichierHits&) = delete;
    FichierHits& operator=(const FichierHits&) = delete;

    // Raises, on a later line, what writing the rows raised (a full disk).
    void LigneComptee(std::string_view ligne, int nombreChamps,
                      const LignePreparee& preparee) override;

    // Before each log's import: where its rows begin.
    void DebutJournal();
    // After an import that failed: its rows are taken back.
    void AnnuleJournal();
    // Before the tables are saved: every row written and the file made durable, so that little
    // is left to fail; raises what writing them raised.
    void Prepare();
    // Once the tables are saved: the file takes its place.
    void Termine();

    std::int64_t Rangees() const { return rangees_; }

  private:
    struct Lot {
        std::string lignes; // each followed by a line feed, which no line of a log holds
        int nombreChamps = 0;
    };
    void Envoie();        // the lot being filled, to the thread
    void Attend();        // until the thread has written every lot sent
    void Ecrit(Lot& lot); // the thread: the rows of a lot
    void Boucle();        // the thread's loop

    FichierAtomique fichier_;
    std::string exclu_;
    Classificateur* const classement_;
    std::int64_t marque_ = 0;
    std::int64_t rangees_ = 0, rangeesMarque_ = 0;

    Lot courant_;
    std::mutex verrou_;
    std::condition_variable change_;
    std::deque<Lot> envoyes_; // written by the thread in order
    std::vector<Lot> libres_; // lots written, their memory kept
    bool occupe_ = false;     // the thread is writing a lot
    bool arret_ = false;
    std::exception_ptr erreur_; // what writing raised; the lots after it are dropped
    std::thread fil_;
};

// Room for the texts of a row that must be rewritten, kept from row to row.
struct TamponsHits {
    std::string origine, texte;
};
// Appends the row of one counted line (ligne, without its line end, cut with nombreChamps into
// hit), CR LF included; with robot 0 or 1, the sillage.robot cell ("false", "true") last.
void AjouteRangeeHits(std::string& sortie, std::string_view ligne, int nombreChamps,
                      const RHitsVues& hit, std::string_view exclu, TamponsHits& tampons,
                      int robot = -1);

} // namespace sillage
