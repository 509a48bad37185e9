// The dates an import holds in its records: the usual form packed into an integer, any other
// text kept aside and referred to by number. Both give back the exact text.
#pragma once

#include "import/lecture/arene.h"
#include "store/date.h"
#include "store/date_compacte.h"
#include "store/enregistrements.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sillage {

class DatesImport {
  public:
    explicit DatesImport(Arene& arene) : arene_(arene) {}

    // The date of texte. copier: the text is a log line's, gone at the next line (a stored
    // row's text stays while the import runs and is referred to in place).
    DateCompacte Date(std::string_view texte, bool copier);
    // The RDate that LitDate gives for the date's text.
    RDate Lit(DateCompacte d) const;
    // The date as the row writers take it.
    DateLigne Ecrite(DateCompacte d) const;

  private:
    std::string_view Texte(DateCompacte d) const;

    Arene& arene_;
    std::vector<std::string_view> textes_;
};

} // namespace sillage
