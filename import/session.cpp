#include "import/session.h"

#include "store/erreur.h"

#include <utility>

namespace sillage {

namespace {

std::string Option(const Base& base) {
    return base.ListeOptions.Vide() ? std::string() : std::string(base.ListeOptions[0]);
}

void FixeOption(Base& base, const std::string& option) {
    if (base.ListeOptions.Vide()) {
        base.ListeOptions.Ajoute(option);
    } else {
        base.ListeOptions.Remplace(0, option);
    }
}

} // namespace

void Session::Synchronise(const Base& base) {
    empreinte_ = base.LitEmpreinte();
    option_ = Option(base);
    robots_ = base.ListeOptionsRobots;
    imports_.clear();
}

bool Session::DisqueChange(const Base& base) const {
    return base.LitEmpreinte() != empreinte_;
}

ResultatEnregistrement Session::Enregistre(Base& base) {
    if (!DisqueChange(base)) {
        base.SauveListes();
        Synchronise(base);
        return {};
    }
    // Another program saved meanwhile: its tables, with this program's imports done again.
    Base relue(base.Repertoire());
    relue.FixeDisque(base.DisqueUtilise());
    relue.InitListes();
    const bool optionChangee = Option(base) != option_;
    const std::string option = optionChangee ? Option(base) : Option(relue);
    for (const ImportFait& fait : imports_) {
        DemandeImport rejeu = fait.demande;
        rejeu.Mode = ModeImport::Plage;
        rejeu.Plage = fait.plage;
        rejeu.SautDejaComptees = fait.demande.Mode == ModeImport::Nouveau;
        FixeOption(relue, fait.option);
        try {
            ImporteJournal(relue, fait.chemin, rejeu);
        } catch (const ErreurSillage& e) {
            return {IssueEnregistrement::Impossible, fait.chemin, e.what()};
        }
    }
    FixeOption(relue, option);
    const bool robotsChanges = !(base.ListeOptionsRobots == robots_);
    if (robotsChanges) {
        relue.ListeOptionsRobots = base.ListeOptionsRobots;
    }
    const bool rien = imports_.empty() && !optionChangee && !robotsChanges;
    if (!rien) {
        relue.SauveListes();
    }
    relue.Modifie = 0;
    const IssueEnregistrement issue =
        imports_.empty() ? IssueEnregistrement::Relu : IssueEnregistrement::Fusionne;
    base = std::move(relue);
    Synchronise(base);
    return {issue, {}, {}};
}

void Session::Remplace(Base& base) {
    base.SauveListes();
    Synchronise(base);
}

} // namespace sillage
