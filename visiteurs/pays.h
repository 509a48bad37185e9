// The country of a client host: an IPv4 or IPv6 address through libloc's offline database, a
// host name through its top-level domain where that names a country, else none. Country names
// in French from iso-codes (its ISO 3166-1 list and its French catalogue).
#pragma once

#include "visiteurs/fichiers_donnees.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace sillage {

// A country as its two-letter ISO 3166-1 code packed in 16 bits ('F' << 8 | 'R'); 0 for none.
using CodePays = std::uint16_t;

// "FR" for the code of France, "" for 0.
std::string TexteCodePays(CodePays code);

class Pays {
  public:
    // Reads the names now; the networks of the database the first time an address is looked up
    // (from the cache folder when it holds them for this database, else from the database,
    // which takes a second, then kept in the cache folder). Files that cannot be read add a
    // message; without them, addresses (or names) are of no country and names show the codes.
    explicit Pays(const FichiersDonnees& fichiers);
    ~Pays();
    Pays(const Pays&) = delete;
    Pays& operator=(const Pays&) = delete;

    // The country of a host (as stored in the host table), 0 when it has none. Safe to call from
    // several threads at once.
    CodePays Code(std::string_view hote) const;
    // The country's French name ("France", "États-Unis"), "Inconnu" for 0 or a code that is no
    // country of ISO 3166-1 (libloc's special codes).
    const std::string& Nom(CodePays code) const;
    // What could not be read, in French, each naming its file.
    std::vector<std::string> Messages() const;
    // Reads the networks now (Code does it on the first address otherwise).
    void ChargeReseaux() const;
    // How many ranges of addresses the table holds (IPv4, IPv6), after ChargeReseaux.
    std::pair<std::size_t, std::size_t> Plages() const;

  private:
    void LitNoms();
    void ConstruitReseaux() const;
    bool LitCacheReseaux(const std::string& chemin, std::uint64_t cle) const;
    void EcritCacheReseaux(const std::string& chemin, std::uint64_t cle) const;
    CodePays CodeIpv4(std::uint32_t adresse) const;
    CodePays CodeIpv6(std::uint64_t haut, std::uint64_t bas) const;

    FichiersDonnees fichiers_;
    std::unordered_map<CodePays, std::string> noms_;
    std::string inconnu_ = "Inconnu";
    mutable std::once_flag reseauxCharges_;
    mutable std::mutex messagesVerrou_;
    mutable std::vector<std::string> messages_;
    // The address space cut into ranges, each starting at debuts[k] and running to the next
    // start, with its country: built once, under reseauxCharges_, then only read.
    mutable std::vector<std::uint32_t> debuts4_;
    mutable std::vector<CodePays> codes4_;
    mutable std::vector<std::uint64_t> debuts6haut_, debuts6bas_;
    mutable std::vector<CodePays> codes6_;
};

} // namespace sillage
