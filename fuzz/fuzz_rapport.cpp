// Any bytes as the store's tables: the report and every view as CSV are written, or the store is
// refused with a message (ErreurSillage); nothing else is thrown, and the page holds no markup
// but its own: every "<" of it opens or closes one of the elements the report writes.
#include "rapports/csv.h"
#include "rapports/rapport_html.h"
#include "rapports/vues_rapport.h"
#include "store/base.h"
#include "store/erreur.h"

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

namespace {

bool BalisesDuRapport(std::string_view page) {
    static const std::set<std::string_view> kBalises = {
        "!DOCTYPE", "html",       "head",  "meta",  "title", "style", "body",  "header",  "h1",
        "h2",       "h3",         "p",     "nav",   "ul",    "li",    "a",     "main",    "section",
        "div",      "table",      "thead", "tbody", "tr",    "th",    "td",    "details", "summary",
        "figure",   "figcaption", "svg",   "g",     "rect",  "text",  "tspan", "footer"};
    for (std::size_t i = page.find('<'); i != std::string_view::npos; i = page.find('<', i + 1)) {
        std::size_t debut = i + 1;
        if (debut < page.size() && page[debut] == '/') {
            ++debut;
        }
        const std::size_t fin = page.find_first_of(" >/", debut);
        if (fin == std::string_view::npos || !kBalises.count(page.substr(debut, fin - debut))) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    using namespace sillage;
    // The bytes cut into the fourteen tables at each 0xFF byte, in the catalogue's order.
    const std::string_view octets(reinterpret_cast<const char*>(donnees), taille);
    Base base;
    std::size_t debut = 0;
    for (const EntreeCatalogue& e : Base::Catalogue()) {
        const std::size_t fin = std::min(octets.find('\xFF', debut), octets.size());
        (base.*e.table)
            .ChargeOctets(debut < octets.size() ? octets.substr(debut, fin - debut)
                                                : std::string_view());
        debut = fin + 1;
    }
    try {
        SortieTexte page;
        EcritRapportHtml(base, OptionsRapport{}, page);
        if (page.Texte.find("<script") != std::string::npos || !BalisesDuRapport(page.Texte)) {
            std::abort();
        }
    } catch (const ErreurSillage&) {
    }
    for (const DescriptionVue& d : VuesRapport()) {
        try {
            SortieTexte sortie;
            EcrivainCsv csv(sortie);
            EcritVue(base, d.Vue, csv);
        } catch (const ErreurSillage&) {
        }
    }
    return 0;
}
