#include "import/parties/dates_import.h"

namespace sillage {

DateCompacte DatesImport::Date(std::string_view texte, bool copier) {
    DateCompacte d = 0;
    if (CompacteDate(texte, d)) {
        return d;
    }
    textes_.push_back(copier ? arene_.Copie(texte) : texte);
    return kDateTexte | (textes_.size() - 1);
}

std::string_view DatesImport::Texte(DateCompacte d) const {
    return textes_[static_cast<std::size_t>(d & ~kDateTexte)];
}

RDate DatesImport::Lit(DateCompacte d) const {
    return (d & kDateTexte) ? LitDate(Texte(d)) : DecompacteDate(d);
}

DateLigne DatesImport::Ecrite(DateCompacte d) const {
    return (d & kDateTexte) ? DateLigne(Texte(d)) : DateLigne::Compacte(d);
}

} // namespace sillage
