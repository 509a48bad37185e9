// Any bytes as a date text: LitDate raises the conversion error or gives a date; the import's
// packed form, when it applies, gives back the same date and the same text.
#include "store/date.h"
#include "store/date_compacte.h"
#include "store/erreur.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    using namespace sillage;
    const std::string_view texte(reinterpret_cast<const char*>(donnees), taille);
    RDate d;
    bool comptable = false;
    try {
        d = LitDate(texte, comptable);
    } catch (const ErreurSillage&) {
        DateCompacte c = 0;
        if (CompacteDate(texte, c)) {
            std::abort(); // a packed date always reads
        }
        return 0;
    }
    (void)MoisVersNumero(d.NomMois);
    DateCompacte c = 0;
    if (CompacteDate(texte, c)) {
        std::string s;
        AjouteDateCompacte(s, c);
        if (s != texte || !(DecompacteDate(c) == d)) {
            std::abort();
        }
    }
    return 0;
}
