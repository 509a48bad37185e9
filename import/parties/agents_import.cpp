#include "import/parties/agents_import.h"

#include "store/agents.h"
#include "store/casse.h"
#include "store/champs.h"

#include <algorithm>
#include <limits>

namespace sillage {

namespace {

// A stored count and the import's, kept within the range of a count.
std::int32_t Somme(std::int32_t stocke, std::int32_t ajoute) {
    const std::int64_t s = static_cast<std::int64_t>(stocke) + ajoute;
    return static_cast<std::int32_t>(std::min<std::int64_t>(s, INT32_MAX));
}

} // namespace

AgentsImport::AgentsImport(Table& table, DatesImport& dates, Arene& arene, RobotsImport robots)
    : table_(table), dates_(dates), arene_(arene), robots_(robots) {
    memo_.Reserve(1024);
}

bool AgentsImport::Robot(RecAgent& r) {
    if (r.robot < 0) {
        r.robot = robots_.classement->Classe(r.agent).Robot ? 1 : 0;
    }
    return r.robot == 1;
}

bool AgentsImport::Compte(std::string_view agent, std::uint64_t h, bool page, DateCompacte date,
                          std::int32_t racine, std::int32_t& rang) {
    std::int64_t trouve = parRacine_.Cherche(racine);
    if (trouve < 0) {
        trouve = memo_.Cherche(h, [&](std::uint32_t r) { return recs_[r].agent == agent; });
        if (trouve < 0) {
            trouve = static_cast<std::int64_t>(recs_.size());
            RecAgent r;
            r.agent = arene_.Copie(agent);
            recs_.push_back(r);
            memo_.Insere(h, static_cast<std::uint32_t>(trouve));
            if (robots_.classement != nullptr && !robots_.sansRobots &&
                robots_.classement->Connu(agent) == nullptr) {
                // An agent to classify once the lines are counted: the lists are read meanwhile.
                robots_.classement->ChargeListesEnFond();
            }
        }
        parRacine_.Note(racine, static_cast<std::uint32_t>(trouve));
    }
    rang = static_cast<std::int32_t>(trouve);
    RecAgent& r = recs_[static_cast<std::size_t>(trouve)];
    Incremente(r.acces);
    if (page) {
        Incremente(r.pages);
    }
    r.date = date;
    return !robots_.sansRobots || !Robot(r);
}

std::int64_t AgentsImport::AccesRobots() {
    if (robots_.classement == nullptr) {
        return -1;
    }
    std::vector<std::string_view> inconnus;
    for (const RecAgent& r : recs_) {
        if (r.robot < 0) {
            inconnus.push_back(r.agent);
        }
    }
    robots_.classement->ClasseTous(inconnus);
    std::int64_t acces = 0;
    for (RecAgent& r : recs_) {
        if (r.robot < 0) {
            const Classement* c = robots_.classement->Connu(r.agent);
            r.robot = c != nullptr && c->Robot ? 1 : 0;
        }
        acces += r.robot == 1 ? r.acces : 0;
    }
    return acces;
}

void AgentsImport::Prepare() {
    if (recs_.empty()) {
        return;
    }
    // The stored row of each agent counted here, in one pass over the rows.
    std::vector<std::uint32_t> touchees;
    for (std::size_t i = 0; i < table_.Count(); ++i) {
        LecteurChamps l(table_[i]);
        const std::string_view agent = l.Suivant();
        const std::int64_t rang = memo_.Cherche(
            HachageExact(agent), [&](std::uint32_t r) { return recs_[r].agent == agent; });
        if (rang >= 0 && recs_[static_cast<std::size_t>(rang)].position < 0) {
            recs_[static_cast<std::size_t>(rang)].position = static_cast<std::int64_t>(i);
            touchees.push_back(static_cast<std::uint32_t>(rang));
        }
    }
    memo_.Efface();
    std::size_t octets = table_.Octets();
    for (const RecAgent& r : recs_) {
        octets += r.agent.size() + 64;
    }
    Table& nouvelle = nouvelle_.table;
    nouvelle.Reserve(table_.Count() + recs_.size() - touchees.size(), octets);
    std::string tampon;
    std::size_t copiees = 0; // stored rows copied so far
    for (const std::uint32_t rang : touchees) {
        const RecAgent& r = recs_[rang];
        const auto position = static_cast<std::size_t>(r.position);
        nouvelle.AjouteLignes(table_, copiees, position);
        const RAgent stocke = LitAgent(table_[position]);
        tampon.clear();
        AjouteLigneAgent(tampon, stocke.Agent, Somme(stocke.Acces, r.acces),
                         Somme(stocke.Pages, r.pages), dates_.Ecrite(r.date));
        nouvelle.Ajoute(tampon);
        copiees = position + 1;
    }
    nouvelle.AjouteLignes(table_, copiees, table_.Count());
    for (const RecAgent& r : recs_) {
        if (r.position < 0) {
            tampon.clear();
            AjouteLigneAgent(tampon, r.agent, r.acces, r.pages, dates_.Ecrite(r.date));
            nouvelle.Ajoute(tampon);
        }
    }
    nouvelle_.prete = true;
}

void AgentsImport::Applique() noexcept {
    nouvelle_.MetEnPlace(table_);
}

} // namespace sillage
