#include "store/agents.h"

#include "store/champs.h"

namespace sillage {

namespace {

// True when a tag-like sequence (backslash, one or more digits, semicolon) begins at texte[i].
bool EtiquetteEn(std::string_view texte, std::size_t i) {
    std::size_t k = i + 1;
    while (k < texte.size() && texte[k] >= '0' && texte[k] <= '9') {
        ++k;
    }
    return k > i + 1 && k < texte.size() && texte[k] == ';';
}

} // namespace

RAgent LitAgent(std::string_view ligne) {
    LecteurChamps l(ligne);
    RAgent r;
    l.Lit(r.Agent, r.Acces, r.Pages, r.Dernier);
    return r;
}

std::string EcritAgent(const RAgent& r) {
    std::string s;
    AjouteLigneAgent(s, r.Agent, r.Acces, r.Pages, r.Dernier);
    return s;
}

void AjouteLigneAgent(std::string& s, std::string_view agent, std::int32_t acces,
                      std::int32_t pages, DateLigne dernier) {
    s += "\\1;";
    for (std::size_t i = 0; i < agent.size(); ++i) {
        if (agent[i] == '\\' && EtiquetteEn(agent, i)) {
            s += "%5C";
        } else {
            s += agent[i];
        }
    }
    s += "\\2;";
    AjouteEntier(s, acces);
    s += "\\3;";
    AjouteEntier(s, pages);
    s += "\\4;";
    dernier.AjouteA(s);
    s += "\\5;";
}

bool LitAgentVues(std::string_view ligne, std::string_view& agent, std::int32_t& acces,
                  std::int32_t& pages, std::string_view& dernier) {
    LecteurChamps l(ligne);
    agent = l.Suivant();
    const std::string_view a = l.Suivant(), p = l.Suivant();
    dernier = l.Suivant();
    return EssaieEntier(a, acces) && EssaieEntier(p, pages);
}

} // namespace sillage
