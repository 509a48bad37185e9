// Any bytes as a stored row: field extraction never fails, and every reader either raises the
// conversion error or gives a record that its writer turns into a line read back the same.
#include "store/champs.h"
#include "store/enregistrements.h"
#include "store/erreur.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

template <class R, class Lit, class Ecrit>
void AllerRetour(std::string_view ligne, Lit lit, Ecrit ecrit) {
    R r;
    try {
        r = lit(ligne);
    } catch (const sillage::ErreurSillage&) {
        return;
    }
    const std::string texte = ecrit(r);
    if (!(lit(texte) == r) || ecrit(lit(texte)) != texte) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    using namespace sillage;
    const std::string_view ligne(reinterpret_cast<const char*>(donnees), taille);
    for (int n = 1; n <= 60; ++n) {
        const std::string_view champ = ExtraitChamp(ligne, n);
        if (!champ.empty() && (champ.data() < ligne.data() ||
                               champ.data() + champ.size() > ligne.data() + ligne.size())) {
            std::abort();
        }
    }
    std::int32_t v = 0;
    if (EssaieEntier(ligne, v)) {
        std::string s;
        AjouteEntier(s, v);
        if (ConvertitEntier(s) != v) {
            std::abort();
        }
    }
    AllerRetour<RNom>(ligne, LitNom, EcritNom);
    AllerRetour<RPage>(ligne, LitPage, EcritPage);
    AllerRetour<ROrigine>(ligne, LitOrigine, EcritOrigine);
    AllerRetour<RErreur>(ligne, LitErreur, EcritErreur);
    AllerRetour<RLANP>(ligne, LitLanp, EcritLanp);
    AllerRetour<RGraph>(ligne, LitGraph, EcritGraph);
    AllerRetour<RGraphMois>(ligne, LitGraphMois, EcritGraphMois);
    return 0;
}
