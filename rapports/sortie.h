// Where the exports and the reports write: bytes given in pieces. A file appears whole or not at
// all (written beside its place, then renamed), so that a program or a web server reading it
// never sees half of it, and a failure leaves the file that was there as it was.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace sillage {

class Sortie {
  public:
    virtual ~Sortie() = default;
    // Takes octets in; a failure to write raises ErreurSillage with the message to show.
    virtual void Ecrit(std::string_view octets) = 0;
};

// Bytes kept in memory (tests, small pieces).
class SortieTexte final : public Sortie {
  public:
    void Ecrit(std::string_view octets) override { Texte.append(octets); }
    std::string Texte;
};

// An open descriptor (the standard output), written as the bytes come, in large pieces; nom
// names it in the messages.
class SortieDescripteur final : public Sortie {
  public:
    SortieDescripteur(int fd, std::string nom) : fd_(fd), nom_(std::move(nom)) {}
    ~SortieDescripteur() override;
    void Ecrit(std::string_view octets) override;
    // Writes what is held; raises "Impossible d'écrire sur NOM : raison".
    void Vide();

  private:
    int fd_;
    std::string nom_;
    std::string tampon_;
};

// A file written to a temporary in its folder, then put in the place of chemin (Termine). Until
// then the file at chemin, if any, is left alone; a file left unfinished (an error, an exception)
// loses its temporary.
class FichierAtomique final : public Sortie {
  public:
    enum class Compression { Aucune, Gzip };

    // Makes the temporary, readable as umask allows (mode 0666 less the umask). Raises
    // "Impossible de créer le fichier CHEMIN : raison" when it cannot be made.
    explicit FichierAtomique(std::string chemin, Compression compression = Compression::Aucune);
    ~FichierAtomique() override;
    FichierAtomique(const FichierAtomique&) = delete;
    FichierAtomique& operator=(const FichierAtomique&) = delete;

    // Raises the creation error above on a write that fails (a full disk).
    void Ecrit(std::string_view octets) override;
    // Where the bytes given so far end, for RevientA; a compressed file ends its gzip member
    // there (the file is a series of members, which gzip reads as one text).
    std::int64_t Marque();
    // Drops every byte given after marque (a Marque of this file).
    void RevientA(std::int64_t marque);
    // Writes what is held and makes the file durable, ready for Termine (which has little left
    // that can fail); raises the creation error. Nothing may be written after it.
    void Prepare();
    // Prepares the file, renames it to chemin, then makes the folder durable; raises the
    // creation error.
    void Termine();

    const std::string& Chemin() const { return chemin_; }

  private:
    void EcritBrut(std::string_view octets);
    void VideTampon();
    void EcritSurDisque(std::string_view octets);
    [[noreturn]] void Echec(int erreur) const;

    struct Gzip;
    std::string chemin_;
    std::string temporaire_;
    int fd_ = -1;
    std::string tampon_;
    std::int64_t ecrits_ = 0;       // bytes of the temporary file written or held in tampon_
    std::int64_t synchronises_ = 0; // bytes the disk was asked to write already
    std::unique_ptr<Gzip> gzip_;
    bool prepare_ = false;
    bool termine_ = false;
};

// What a system call's failure to write means, in French: "permission refusée", "plus de place
// sur le disque"...
std::string RaisonEcriture(int erreur);

} // namespace sillage
