// The import of one log into a store, line by line, as one all-or-nothing change.
//
// While it works, the rows it touches are held decoded beside the tables (the tables themselves
// stay as they were, except keyword rows, which are only ever appended); Valide writes them
// back, so that the tables that result are exactly those of the line-by-line text algorithm,
// and an import abandoned on an error leaves the store as it found it.
#pragma once

#include "import/date_compacte.h"
#include "import/ligne_log.h"
#include "store/base.h"
#include "store/enregistrements.h"
#include "store/hachage.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace sillage {

// Copies of texts that stay at their address until the arena goes.
class Arene {
  public:
    std::string_view Copie(std::string_view texte);

  private:
    std::vector<std::unique_ptr<char[]>> blocs_;
    char* courant_ = nullptr;
    std::size_t reste_ = 0;
};

// Field 3 of a row read for sorting: its leading digits (an optional minus sign first); an empty
// field counts as 0.
std::int64_t AccesPourTri(std::string_view ligne);

class Importation {
  public:
    explicit Importation(Base& base);
    // Undoes everything unless Valide ran.
    ~Importation();
    Importation(const Importation&) = delete;
    Importation& operator=(const Importation&) = delete;

    // Folds line number `numero` (from 1) into the tables. NombreChamps comes from the log's
    // first line. Raises ErreurSillage on a date that cannot be read or counted, or on a stored
    // row that does not read.
    void TraiteLigne(std::string_view ligne, int NombreChamps, std::int64_t numero);
    // Writes every change into the tables, sorts the ranked ones, marks the name indexes for
    // rebuilding and sets Modifie to 1. The store's indexes must be up to date (AssureIndex)
    // when the import begins.
    void Valide();

    // The counters of one hit, for the host and page pair and for the calendar tables.
    void MajLanp(std::int32_t hote, std::int32_t ressource, std::int32_t type, DateCompacte date);
    void MajGraph(const RDate& D, std::int32_t ressource);

    // True when the hit being counted opens a new visit of its host.
    bool NouveauVisiteur = false;

  private:
    struct RecCle {
        std::int32_t ident;
        std::int32_t acces;
        DateCompacte date;
        std::string_view nom; // field 2 as the row's reader gives it
        std::string_view cle; // the name the row is found by
    };
    struct RecErreur {
        std::int32_t ident;
        std::int32_t acces;
        DateCompacte date;
        std::string_view chemin;
        std::string_view statut;
        std::int32_t ressource;
        std::int32_t cleRessource; // the resource id and path the row is found by
        std::string_view cleChemin;
    };
    struct RecLanp {
        std::int32_t hote;
        std::int32_t ressource;
        std::int32_t acces;
        std::int32_t type;
        DateCompacte date;
    };

    // A keyed table: the rows this import touched or added, found by name through a hash of
    // the names met so far; a name met for the first time is looked up in the table's index.
    struct TableCle {
        TableCle(Table& t, IndexNoms& i);
        Table& table;
        const IndexNoms& index;
        std::size_t n0;       // data rows at the start (the counter row excluded)
        std::string compteur; // the counter row at the start ("" for an empty table)
        bool aCompteur;
        std::vector<RecCle> recs;             // in the order of first use
        std::vector<std::uint32_t> nouvelles; // the added rows, as indexes into recs
        std::unordered_map<std::uint32_t, std::uint32_t> parPosition; // stored row -> recs
        HachagePositions memo;                                        // folded name -> recs
    };

    // Counts one hit of cle in t; answers the row's identifier, whether the row is new, and the
    // date it held before this hit.
    std::int32_t Compte(TableCle& t, std::string_view cle, std::uint64_t h, DateCompacte date,
                        bool& nouveau, DateCompacte& precedente);
    std::uint32_t RangCle(TableCle& t, std::int64_t p);
    std::int64_t IdentSuivant(const TableCle& t) const;
    void AjouteMotsCles(std::int32_t origine, std::string_view keywords);
    void CompteErreur(const RHitsVues& h, std::int32_t ressource, DateCompacte date);
    RecLanp& RangLanp(std::int64_t p);

    DateCompacte Date(std::string_view texte, bool copier);
    RDate LitDateCompacte(DateCompacte d);
    void AjouteDate(std::string& s, DateCompacte d) const;
    std::size_t TailleDate(DateCompacte d) const;
    std::string_view TexteDate(DateCompacte d) const;

    void EcritCle(TableCle& t, bool trie);
    void EcritErreurs();
    void EcritLanp();
    void EcritGraphs();

    Base& base_;
    bool valide_ = false;
    Arene arene_;
    std::vector<std::string_view> datesTexte_;

    TableCle noms_, pages_, images_, downloads_, origines_;

    // Keyword rows are appended to their table at once; what to restore on failure:
    std::size_t motsClesInitial_;
    std::string compteurMotsCles_;

    // Error rows: the first stored row of each resource id and case-folded path, then the rows
    // this import touched or added, found through a hash of the pairs met so far.
    std::size_t erreurs0_;
    std::string compteurErreurs_;
    bool aCompteurErreurs_;
    HachagePositions hachageErreurs_;
    std::vector<RecErreur> erreurs_;
    std::size_t erreursNouvelles_ = 0;
    std::unordered_map<std::uint32_t, std::uint32_t> erreursParPosition_;
    HachagePositions memoErreurs_;

    // Host and page pairs: stored keys by their text, added pairs by their numbers.
    std::size_t lanp0_;
    std::size_t lanpSearch0_;
    HachagePositions hachageLanp_;
    std::unordered_map<std::uint32_t, std::uint32_t> lanpParPosition_;
    std::vector<RecLanp> lanpTouchees_;
    std::vector<RecLanp> lanpNouvelles_;
    HachagePositions memoLanp_;

    // Calendar rows, decoded as the scans reach them.
    std::vector<RGraph> annees_;
    std::vector<bool> anneesModifiees_;
    std::size_t anneesLues_ = 0;
    std::size_t annees0_;
    std::unordered_map<std::int32_t, std::uint32_t> parAnnee_;
    std::vector<RGraphMois> mois_;
    std::vector<bool> moisModifies_;
    std::size_t moisLus_ = 0;
    std::size_t mois0_;
    std::unordered_map<std::int64_t, std::uint32_t> parMois_;

    // Buffers reused from line to line.
    RHitsVues hit_;
    std::string tamponKeywords_;
    std::string tamponEchappement_;
    std::string tampon_;
    std::string tamponCle_;
};

} // namespace sillage
