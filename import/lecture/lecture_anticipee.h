// A log read ahead on a second thread: the reading, the decompression, the cutting into lines and
// into fields (PrepareLigne), and the fingerprint of the bytes go on while the import counts the
// lines already cut. The lines, their places and their errors come out exactly as the source
// underneath gives them, in the same order.
#pragma once

#include "import/lecture/arene.h"
#include "import/lecture/empreinte.h"
#include "import/lecture/ligne_preparee.h"
#include "import/lecture/source_log.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace sillage {

class SourceAnticipee : public SourceJournal {
  public:
    // Takes source over, which has just given the line `derniere` (the line the import is at):
    // the first call to Suivante gives that line again, then the lines that follow it. total:
    // Total() will be asked (the source counts its lines first, when it can). Lines are
    // prepared with nombreChamps fields.
    SourceAnticipee(std::unique_ptr<SourceJournal> source, std::string_view derniere, bool total,
                    int nombreChamps);
    ~SourceAnticipee() override;

    bool Suivante(std::string_view& ligne) override;
    std::int64_t Total() const override { return total_; }
    double Fraction() const override { return lot_ ? lot_->fraction : 0.0; }
    void VerifieReste() override;
    bool LitPourVerifier() const override { return litPourVerifier_; }
    std::string_view AvecFin() const override;
    bool DerniereAvecNul() const override { return Courante().nul; }
    bool DerniereTropLongue() const override { return Courante().tropLongue; }
    std::int64_t DebutDerniere() const override { return Courante().debutTexte; }
    // Once the last line was given: the text ended where the compressed file is cut short (waits
    // for the second thread to find the end, when it was not known yet).
    bool Coupe() override;
    // Reading ahead goes on from the line it was given: it cannot be moved.
    bool PositionneA(std::int64_t p) override;
    std::int64_t Position() const override { return Courante().position; }
    std::string_view Queue() const override;
    std::string_view QueueAvantDerniere() const override;

    // The line given last, prepared.
    const LignePreparee* Preparee() const override { return &lot_->preparees[indice_]; }
    // The fingerprint (Empreinte) of the first n lines given with their line ends; n is at most
    // the number of lines given, and at least that number less one.
    std::uint64_t EmpreinteDes(std::int64_t n) const;

  private:
    struct LigneLot {
        std::size_t debut;       // in octets
        std::size_t longueur;    // without its line end
        std::size_t avecFin;     // with it
        std::int64_t position;   // offset just after its line end
        std::int64_t debutTexte; // offset where it begins
        bool nul;
        bool tropLongue; // cut short: its bytes are its two ends (DecoupeurLignes)
    };
    // Lines that follow one another in the text, their bytes after up to kOctetsQueue bytes of the
    // text before the first of them.
    struct Lot {
        std::string octets;
        std::vector<LigneLot> lignes;
        double fraction = 0;
        std::exception_ptr erreur; // raised once the lines before it are given
        bool dernier = false;      // no line after these
        bool coupe = false;        // ... because the compressed file is cut short there
        std::vector<LignePreparee> preparees;
        Arene arene;     // texts of the prepared lines that are not the lines' own bytes
        Empreinte avant; // of the lines given before these
    };
    void Prepare(Lot& lot);

    const LigneLot& Courante() const { return lot_->lignes[indice_]; }
    std::string_view Avant(std::size_t fin) const;
    void Lit();                           // the second thread
    bool Ajoute(Lot& lot, bool premiere); // one more line of source_ into lot
    LigneLot Decrit(std::size_t debut, std::string_view ligne) const; // source_'s last line
    void Arrete();

    std::unique_ptr<SourceJournal> source_;
    std::int64_t total_;
    bool litPourVerifier_;
    const int nombreChamps_;
    Empreinte empreinte_;                // the second thread's: of every line read so far
    std::string keywords_, echappement_; // the second thread's buffers
    std::int64_t lignesAvantLot_ = 0;    // lines of the lots given before lot_
    std::unique_ptr<Lot> lot_;           // the lot of the line given last
    std::size_t indice_ = 0;
    bool redonne_ = true; // the next Suivante gives the current line again

    std::mutex mutex_;
    std::condition_variable change_;
    std::deque<std::unique_ptr<Lot>> prets_;
    std::vector<std::unique_ptr<Lot>> libres_; // lots given, their memory kept for the next
    bool arret_ = false;
    bool fini_ = false; // the second thread gave its last lot
    std::thread lecteur_;
};

} // namespace sillage
