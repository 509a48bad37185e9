#include "import/parties/partie.h"

#include "store/champs.h"
#include "store/enregistrements.h"
#include "store/erreur.h"

#include <algorithm>
#include <limits>

namespace sillage {

CompteurInitial::CompteurInitial(const Table& table)
    : texte_(table.Vide() ? std::string() : std::string(table.Derniere())),
      present_(!table.Vide()) {}

std::int32_t CompteurInitial::Ident(std::size_t ajoutees) const {
    if (!present_) {
        LeveErreurIndice(-1);
    }
    const std::int64_t n = static_cast<std::int64_t>(ConvertitEntier(ExtraitChamp(texte_, 1))) +
                           static_cast<std::int64_t>(ajoutees);
    if (n > std::numeric_limits<std::int32_t>::max()) {
        LeveErreurEntier(std::to_string(n));
    }
    return static_cast<std::int32_t>(n);
}

bool CompteurInitial::LigneFin(std::size_t ajoutees, std::int64_t dernier,
                               std::string& ligne) const {
    ligne.clear();
    if (ajoutees == 0) {
        ligne = texte_;
        return present_;
    }
    AjouteLigneCompteur(ligne, dernier + 1);
    return true;
}

void CompteurInitial::AjouteFin(Table& table, std::size_t ajoutees, std::int64_t dernier) const {
    std::string ligne;
    if (LigneFin(ajoutees, dernier, ligne)) {
        table.Ajoute(ligne);
    }
}

std::vector<std::pair<std::uint32_t, std::uint32_t>> ParPosition(const Touchees& touchees) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> v(touchees.begin(), touchees.end());
    std::sort(v.begin(), v.end());
    return v;
}

} // namespace sillage
