#include "store/date.h"

#include "store/champs.h"

namespace sillage {

int MoisVersNumero(std::string_view mois) {
    for (int i = 0; i < 12; ++i) {
        if (mois == kNomsMois[i]) {
            return i + 1;
        }
    }
    return 0;
}

namespace {

// The text before the first separator, which is then dropped with it; with no separator the
// text before it is empty and nothing is dropped.
std::string_view Coupe(std::string_view& reste, char separateur) {
    const std::size_t p = reste.find(separateur);
    if (p == std::string_view::npos) {
        return {};
    }
    const std::string_view avant = reste.substr(0, p);
    reste.remove_prefix(p + 1);
    return avant;
}

} // namespace

RDate LitDate(std::string_view texte, bool& comptable) {
    RDate d;
    std::string_view reste = texte;
    const std::int32_t jour = ConvertitEntier(Coupe(reste, '/'));
    d.NomMois = Coupe(reste, '/');
    d.Mois = static_cast<std::uint8_t>(MoisVersNumero(d.NomMois));
    d.Annee = ConvertitEntier(Coupe(reste, ':'));
    const std::int32_t heure = ConvertitEntier(Coupe(reste, ':'));
    const std::int32_t minute = ConvertitEntier(Coupe(reste, ':'));
    const std::int32_t seconde = ConvertitEntier(reste);
    d.Jour = static_cast<std::uint8_t>(jour);
    d.Heure = static_cast<std::uint8_t>(heure);
    d.Minute = static_cast<std::uint8_t>(minute);
    d.Seconde = static_cast<std::uint8_t>(seconde);
    comptable = d.Mois != 0 && jour >= 1 && jour <= 31 && heure >= 0 && heure <= 23;
    return d;
}

RDate LitDate(std::string_view texte) {
    bool comptable = false;
    return LitDate(texte, comptable);
}

} // namespace sillage
