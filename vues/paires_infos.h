// The Infos search's working list of pairs (other identifier, link row), in link-table order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace sillage {

// Identifiers are compared without regard to letter case (as the name indexes compare); each
// look-up takes the first unused pair of an identifier and uses it up. Identifiers are nearly
// always the decimal numbers the store gives, below the related table's counter: those index an
// array, any other text (leading zeros, letters, larger numbers) goes to a map.
class PairesInfos {
  public:
    // borne: numbers below it are kept in the array (the related table's size, or a little more).
    explicit PairesInfos(std::size_t borne) : borne_(borne) {}

    void Ajoute(std::string_view ident, std::size_t lien);
    // The link row of the first unused pair of ident, which is then used up; -1 when none.
    std::int64_t Prend(std::string_view ident);
    // No unused pair is left.
    bool Vide() const { return restantes_ == 0; }

  private:
    struct Chaine {
        std::int64_t tete = -1;
        std::int64_t queue = -1;
    };

    // The value of a decimal number written without leading zeros, below borne_; -1 otherwise.
    std::int64_t Nombre(std::string_view s) const;
    Chaine& Trouve(std::string_view ident, bool cree);

    std::size_t borne_;
    std::vector<std::size_t> liens_;
    std::vector<std::int64_t> suivants_;
    std::vector<Chaine> parNombre_;
    std::unordered_map<std::string, Chaine> parTexte_;
    Chaine absente_; // what a look-up of an unknown identifier sees; never changed
    std::size_t restantes_ = 0;
};

} // namespace sillage
