// The two kinds of log file a source reads: plain text, and gzip-compressed text inflated as it is
// read. OuvreSourceFichier (source_log.h) chooses between them.
#pragma once

#include "import/lecture/decoupeur_lignes.h"
#include "import/lecture/source_log.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <zlib.h>

namespace sillage {

// A plain file, read through its descriptor fd (closed with the source), lines longer than
// longueurMax given cut short. Its lines are counted (for the progress) only when Total is asked
// for.
class SourceFichier : public SourceJournal {
  public:
    explicit SourceFichier(int fd, std::size_t longueurMax = kLongueurMaxLigne)
        : fd_(fd), decoupeur_(longueurMax) {}
    ~SourceFichier() override;
    SourceFichier(const SourceFichier&) = delete;
    SourceFichier& operator=(const SourceFichier&) = delete;

    bool PositionneA(std::int64_t p) override;
    bool Suivante(std::string_view& ligne) override;
    std::int64_t Total() const override;
    std::string_view AvecFin() const override { return decoupeur_.AvecFin(); }
    bool DerniereAvecNul() const override { return decoupeur_.DerniereAvecNul(); }
    bool DerniereTropLongue() const override { return decoupeur_.DerniereTropLongue(); }
    std::int64_t Position() const override { return decoupeur_.Position(); }
    std::int64_t DebutDerniere() const override {
        return decoupeur_.Position() - decoupeur_.LongueurAvecFin();
    }
    std::string_view Queue() const override { return decoupeur_.Queue(); }
    std::string_view QueueAvantDerniere() const override { return decoupeur_.QueueAvantDerniere(); }

  private:
    // Reads up to n more bytes of the file at p; a read error stops the import at the line being
    // read.
    std::size_t Lit(char* p, std::size_t n);
    // Counts the lines from where the first line began (or from where the reading stands, when
    // none was asked for yet), once, on a pass of its own: only a reader that shows its progress
    // asks for it.
    void Compte();

    int fd_;
    DecoupeurLignes decoupeur_;
    std::int64_t total_ = -1;
    std::int64_t lues_ = 0;
    bool premiere_ = false;          // a line was asked for
    std::int64_t debutPremiere_ = 0; // where the first line asked for began
};

// A gzip-compressed file chemin of taille bytes, read through its descriptor fd (closed with the
// source) and inflated as it is read (one pass: its line count is not known ahead, so progress
// follows the compressed bytes read), lines longer than options.LongueurMaxLigne given cut short.
// Concatenated members are read one after the other. A damaged stream, or one cut short unless
// options.CoupureToleree, raises ErreurCompression naming the file and the line being read.
class SourceGzip : public SourceJournal {
  public:
    SourceGzip(int fd, std::int64_t taille, std::string chemin, const OptionsSource& options = {});
    ~SourceGzip() override;
    SourceGzip(const SourceGzip&) = delete;
    SourceGzip& operator=(const SourceGzip&) = delete;

    bool PositionneA(std::int64_t p) override;
    bool Suivante(std::string_view& ligne) override;
    std::string_view AvecFin() const override { return decoupeur_.AvecFin(); }
    bool DerniereAvecNul() const override { return decoupeur_.DerniereAvecNul(); }
    bool DerniereTropLongue() const override { return decoupeur_.DerniereTropLongue(); }
    std::int64_t Position() const override { return decoupeur_.Position(); }
    std::int64_t DebutDerniere() const override {
        return decoupeur_.Position() - decoupeur_.LongueurAvecFin();
    }
    std::string_view Queue() const override { return decoupeur_.Queue(); }
    std::string_view QueueAvantDerniere() const override { return decoupeur_.QueueAvantDerniere(); }
    bool Coupe() override { return coupe_; }
    std::int64_t Total() const override { return -1; }
    void VerifieReste() override;
    bool LitPourVerifier() const override { return true; }
    double Fraction() const override;

  private:
    // Starts the stream again from the file's first byte.
    void Rembobine();
    // Inflates up to n bytes into sortie; 0 at the end of the stream.
    std::size_t Inflate(char* sortie, std::size_t n);
    // Reads the next compressed bytes; 0 at the end of the file.
    ssize_t Lit();
    // Raises ErreurCompression: the stream is cut short (coupe) or damaged.
    [[noreturn]] void Echoue(bool coupe) const;

    int fd_;
    std::int64_t taille_;
    std::string chemin_;
    bool tolere_;
    bool coupe_ = false;
    std::int64_t consommes_ = 0;
    z_stream flux_{};
    std::string entree_;
    DecoupeurLignes decoupeur_;
    std::int64_t lues_ = 0;
    bool fini_ = false;
    bool entreMembres_ = true; // no member begun yet, or the last one ended
};

} // namespace sillage
