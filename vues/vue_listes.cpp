#include "vues/vue_listes.h"

#include "store/champs.h"
#include "vues/texte_affiche.h"
#include "vues/vue_texte.h"

#include <numeric>

namespace sillage {

namespace {

const std::vector<ColonneListe> kColonnesPages = {{"Nom", 470, 2, false}, {"Acces", 120, 3, true}};
const std::vector<ColonneListe> kColonnesImages = {
    {"Nom", 420, 2, false}, {"Acces", 70, 3, false}, {"Dernier", 90, 4, false, true}};
const std::vector<ColonneListe> kColonnesIP = {
    {"Nom", 400, 2, false}, {"Acces", 50, 3, false}, {"Dernier", 100, 4, false, true}};
const std::vector<ColonneListe> kColonnesOrigines = {{"Référent", 350, 2, false},
                                                     {"Accès", 50, 3, false}};
const std::vector<ColonneListe> kColonnesDownloads = {
    {"Nom", 400, 2, false}, {"Acces", 50, 3, false}, {"Dernier", 100, 4, false, true}};

} // namespace

const std::vector<ColonneListe>& ColonnesListe(Liste liste) {
    switch (liste) {
    case Liste::Pages:
        return kColonnesPages;
    case Liste::Images:
        return kColonnesImages;
    case Liste::IP:
        return kColonnesIP;
    case Liste::Origines:
        return kColonnesOrigines;
    case Liste::Downloads:
        break;
    }
    return kColonnesDownloads;
}

const Table& TableListe(const Base& base, Liste liste) {
    switch (liste) {
    case Liste::Pages:
        return base.ListePage;
    case Liste::Images:
        return base.ListeImage;
    case Liste::IP:
        return base.ListeNom;
    case Liste::Origines:
        return base.ListeOrigine;
    case Liste::Downloads:
        break;
    }
    return base.ListeDownload;
}

std::vector<int> ElargitDates(std::vector<int> largeurs, const std::vector<bool>& dates,
                              int largeurDate) {
    for (std::size_t c = 1; c < largeurs.size() && c < dates.size(); ++c) {
        if (dates[c] && largeurs[c] < largeurDate) {
            largeurs[0] -= largeurDate - largeurs[c];
            largeurs[c] = largeurDate;
        }
    }
    return largeurs;
}

std::vector<std::uint32_t> LignesListe(const Table& table, std::string_view filtre) {
    const std::size_t n = NombreEnregistrements(table.Count());
    std::vector<std::uint32_t> lignes;
    if (filtre.empty()) {
        lignes.resize(n);
        std::iota(lignes.begin(), lignes.end(), 0u);
        return lignes;
    }
    const FiltreAffiche f(filtre);
    for (std::size_t i = 0; i < n; ++i) {
        if (f.Accepte(ExtraitChamp(table[i], 2))) {
            lignes.push_back(static_cast<std::uint32_t>(i));
        }
    }
    return lignes;
}

std::string_view TexteCellule(const Table& table, std::uint32_t ligne,
                              const ColonneListe& colonne) {
    if (ligne >= table.Count()) {
        return {};
    }
    return ExtraitChamp(table[ligne], colonne.champ);
}

} // namespace sillage
