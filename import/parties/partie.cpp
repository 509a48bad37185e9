#include "import/parties/partie.h"

#include "store/champs.h"
#include "store/enregistrements.h"
#include "store/erreur.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <stdexcept>

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

void Touchees::Insere(std::uint32_t position, std::uint32_t rang) {
    // A slot keeps position + 1 in 32 bits.
    if (position == UINT32_MAX) {
        throw std::length_error("Touchees");
    }
    if ((taille_ + 1) * 2 > cases_.size()) {
        Agrandit();
    }
    std::size_t i = Place(position);
    while (cases_[i] != 0) {
        i = (i + 1) & masque_;
    }
    cases_[i] = (std::uint64_t{position} + 1) << 32 | rang;
    ++taille_;
}

void Touchees::Agrandit() {
    std::vector<std::uint64_t> anciennes;
    anciennes.swap(cases_);
    const std::size_t capacite = anciennes.empty() ? 64 : anciennes.size() * 2;
    cases_.assign(capacite, 0);
    masque_ = capacite - 1;
    decalage_ = 64 - static_cast<unsigned>(std::countr_zero(capacite));
    for (const std::uint64_t c : anciennes) {
        if (c == 0) {
            continue;
        }
        std::size_t i = Place(static_cast<std::uint32_t>((c >> 32) - 1));
        while (cases_[i] != 0) {
            i = (i + 1) & masque_;
        }
        cases_[i] = c;
    }
}

std::vector<std::pair<std::uint32_t, std::uint32_t>> Touchees::ParPosition() const {
    // The slots sort by position as they are: it holds their high half.
    std::vector<std::uint64_t> pleines;
    pleines.reserve(taille_);
    for (const std::uint64_t c : cases_) {
        if (c != 0) {
            pleines.push_back(c);
        }
    }
    std::sort(pleines.begin(), pleines.end());
    std::vector<std::pair<std::uint32_t, std::uint32_t>> v;
    v.reserve(pleines.size());
    for (const std::uint64_t c : pleines) {
        v.emplace_back(static_cast<std::uint32_t>((c >> 32) - 1), static_cast<std::uint32_t>(c));
    }
    return v;
}

} // namespace sillage
