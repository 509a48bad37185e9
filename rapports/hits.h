// The hits of an import for analytical engines (sillage-import --hits): one CSV row per line the
// import counts, with the columns the Elastic Common Schema names (the hit's time in ISO 8601
// with its zone, the client, the path, the status, the whole referrer, the agent), and the
// system's own: the kind of resource and the search words the keywords table keeps. UTF-8 (texts
// shown as the window shows them), ',' between fields, RFC 4180 quoting, no byte-order mark.
//
// The file follows the imports: the rows of a log whose import fails are taken back, and the file
// appears (renamed into place) only when the tables it describes are saved.
#pragma once

#include "import/moteur/parcours.h"
#include "rapports/sortie.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace sillage {

class Base;

// The column titles, in order.
inline constexpr std::string_view kColonnesHits =
    "@timestamp,source.address,url.original,http.response.status_code,http.request.referrer,"
    "user_agent.original,sillage.kind,sillage.keywords";

class FichierHits final : public ObservateurLignes {
  public:
    // The file chemin, gzip-compressed when its name ends with ".gz"; the referrers that
    // base's option excludes (the site's own address) carry no search words, as in the store.
    // Raises "Impossible de créer le fichier ..." when its temporary cannot be made.
    FichierHits(const std::string& chemin, const Base& base);

    void LigneComptee(std::string_view ligne, int nombreChamps,
                      const LignePreparee& preparee) override;

    // Before each log's import: where its rows begin.
    void DebutJournal();
    // After an import that failed: its rows are taken back.
    void AnnuleJournal();
    // Before the tables are saved: the file is made durable, so that little is left to fail.
    void Prepare();
    // Once the tables are saved: the file takes its place.
    void Termine();

    std::int64_t Rangees() const { return rangees_; }

  private:
    FichierAtomique fichier_;
    std::string exclu_;
    std::string ligne_;
    std::int64_t marque_ = 0;
    std::int64_t rangees_ = 0, rangeesMarque_ = 0;
};

// The row of one counted line (without its line end), for tests and for FichierHits.
void AjouteRangeeHits(std::string& sortie, std::string_view ligne, int nombreChamps,
                      const LignePreparee& preparee, std::string_view exclu);

} // namespace sillage
