#include "vues/vue_resume.h"

#include "store/champs.h"
#include "vues/vue_texte.h"

namespace sillage {

std::array<std::size_t, 5> ComptesResume(const Base& base) {
    return {NombreEnregistrements(base.ListePage.Count()),
            NombreEnregistrements(base.ListeNom.Count()),
            NombreEnregistrements(base.ListeImage.Count()),
            NombreEnregistrements(base.ListeOrigine.Count()),
            NombreEnregistrements(base.ListeDownload.Count())};
}

std::vector<std::string> TextesAnnees(const Table& graphMois) {
    std::vector<std::string> textes;
    textes.reserve(graphMois.Count());
    for (std::size_t i = 0; i < graphMois.Count(); ++i) {
        textes.emplace_back(ExtraitChamp(graphMois[i], 1));
    }
    return textes;
}

std::vector<std::string> TextesMois(const Table& graphHeure) {
    std::vector<std::string> textes;
    textes.reserve(graphHeure.Count());
    for (std::size_t i = 0; i < graphHeure.Count(); ++i) {
        const std::string_view ligne = graphHeure[i];
        std::string texte(ExtraitChamp(ligne, 2));
        texte += ' ';
        texte += ExtraitChamp(ligne, 1);
        texte += " (max: ";
        texte += ExtraitChamp(ligne, 3);
        texte += ')';
        textes.push_back(std::move(texte));
    }
    return textes;
}

} // namespace sillage
