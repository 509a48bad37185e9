#include "vues/vue_retours.h"

#include "store/base.h"
#include "store/champs.h"
#include "store/enregistrements.h"

namespace sillage {

namespace {

constexpr std::array<StatutRetour, 24> kStatuts = {{
    {"400", "Bad Request"},
    {"401", "Unauthorized"},
    {"402", "Payment Required"},
    {"403", "Forbidden"},
    {"404", "Not Found"},
    {"405", "Method Not Allowed"},
    {"406", "Not Acceptable"},
    {"407", "Proxy Authentification Required"},
    {"408", "Request Time-Out"},
    {"409", "Conflict"},
    {"410", "Gone"},
    {"411", "Length Required"},
    {"412", "Precondition Failed"},
    {"413", "Request Entity Too Large"},
    {"414", "Request URI Too Large"},
    {"415", "Unsupported Media Type"},
    {"416", "Requested Range Not Satisfiable"},
    {"417", "Expectation Failed"},
    {"500", "Internal Server Error"},
    {"501", "Not Implemented"},
    {"502", "Bad Gateway"},
    {"503", "Service Unavailable"},
    {"504", "Gateway Time-out"},
    {"505", "HTTP Version not supported"},
}};

} // namespace

const std::array<StatutRetour, 24>& StatutsRetours() {
    return kStatuts;
}

std::string_view NomStatut(int code) {
    const std::string texte = std::to_string(code);
    for (const StatutRetour& s : kStatuts) {
        if (s.Legende == texte) {
            return s.Nom;
        }
    }
    return {};
}

VueRetours CalculeRetours(const Base& base, std::string_view legende) {
    const std::int32_t code = ConvertitEntier(legende);
    VueRetours vue;
    vue.LExpl3 = "Erreur " + std::to_string(code);
    vue.LExpl4 = std::string(NomStatut(code));
    std::string cle = "\\5;";
    cle.append(legende).append("\\6;");
    const Table& erreurs = base.ListeErreur;
    for (std::size_t i = 0; i + 1 < erreurs.Count(); ++i) {
        const std::string_view ligne = erreurs[i];
        if (ligne.find(cle) != std::string_view::npos) {
            RErreur e = LitErreur(ligne);
            vue.Lignes.push_back(
                {std::move(e.Chemin), std::to_string(e.Acces), std::move(e.Dernier)});
        }
    }
    vue.LCount3 = "Il y a " + std::to_string(vue.Lignes.size()) + " fichier(s)";
    return vue;
}

} // namespace sillage
