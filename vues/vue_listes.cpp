#include "vues/vue_listes.h"

#include "store/champs.h"
#include "vues/texte_affiche.h"
#include "vues/vue_texte.h"

#include <algorithm>
#include <array>
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

namespace {

// The first place of each tag "\k;" (k < kEtiquettes) in a line, found in one pass: a tag is
// found only at a backslash, followed by k written as Etiquette writes it, then a semicolon.
constexpr int kEtiquettes = 16;

struct Etiquettes {
    std::array<std::int64_t, kEtiquettes> place; // from 1, 0 when absent, as ExtraitChamp counts
};

void Cherche(std::string_view ligne, Etiquettes& e) {
    e.place.fill(0);
    // Backslashes are close to one another in a row: a plain loop, rather than a search each.
    for (std::size_t i = 0; i < ligne.size(); ++i) {
        if (ligne[i] != '\\') {
            continue;
        }
        std::size_t j = i + 1;
        int k = 0;
        while (j < ligne.size() && ligne[j] >= '0' && ligne[j] <= '9' && j - i <= 3) {
            k = k * 10 + (ligne[j] - '0');
            ++j;
        }
        const std::size_t chiffres = j - i - 1;
        // "\07;" is no tag: Etiquette writes no zero in front.
        if (chiffres == 0 || j >= ligne.size() || ligne[j] != ';' ||
            (chiffres > 1 && ligne[i + 1] == '0') || k >= kEtiquettes || e.place[k] != 0) {
            continue;
        }
        e.place[k] = static_cast<std::int64_t>(i) + 1;
    }
}

// ExtraitChamp's rule, from the places found.
std::string_view Champ(std::string_view ligne, const Etiquettes& e, int n) {
    if (n + 1 >= kEtiquettes) {
        return ExtraitChamp(ligne, n);
    }
    const std::int64_t s = e.place[n];
    const std::int64_t l = static_cast<std::int64_t>(Etiquette(n).longueur);
    std::int64_t depart = s + l;
    const std::int64_t longueur = e.place[n + 1] - s - l;
    if (longueur <= 0) {
        return {};
    }
    depart = std::max<std::int64_t>(depart, 1);
    const auto taille = static_cast<std::int64_t>(ligne.size());
    if (depart > taille) {
        return {};
    }
    return ligne.substr(static_cast<std::size_t>(depart - 1),
                        static_cast<std::size_t>(std::min(longueur, taille - depart + 1)));
}

} // namespace

void TextesCellules(const Table& table, std::uint32_t ligne,
                    const std::vector<ColonneListe>& colonnes, std::string_view* cellules) {
    if (ligne >= table.Count()) {
        std::fill(cellules, cellules + colonnes.size(), std::string_view());
        return;
    }
    const std::string_view texte = table[ligne];
    Etiquettes e;
    Cherche(texte, e);
    for (std::size_t c = 0; c < colonnes.size(); ++c) {
        cellules[c] = Champ(texte, e, colonnes[c].champ);
    }
}

} // namespace sillage
