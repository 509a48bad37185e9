#include "rapports/rapport_html.h"

#include "rapports/html.h"
#include "rapports/svg.h"
#include "rapports/vues_rapport.h"
#include "store/base.h"
#include "store/champs.h"
#include "vues/texte_affiche.h"
#include "vues/vue_graphiques.h"
#include "vues/vue_messages.h"
#include "vues/vue_periodes.h"
#include "vues/vue_resume.h"
#include "vues/vue_retours.h"
#include "vues/vue_texte.h"

#include <string_view>

namespace sillage {

namespace {

constexpr std::size_t kTailleLot = 256 * 1024;

// Plain, readable on a phone (the tables scroll sideways inside their frame, long names wrap),
// printable (no navigation, no frame cut across a row).
constexpr std::string_view kStyle = R"(
:root { color-scheme: light; }
body { font: 15px/1.45 system-ui, sans-serif; margin: 0 auto; max-width: 62rem; padding: 0 1rem 2rem;
  color: #1a1a1a; background: #fff; }
header { border-bottom: 2px solid #0000ff; margin-bottom: 1rem; }
h1 { font-size: 1.6rem; margin: 1rem 0 .2rem; }
h2 { font-size: 1.3rem; margin: 2rem 0 .4rem; border-bottom: 1px solid #ccc; }
h3 { font-size: 1.05rem; margin: 1.2rem 0 .3rem; }
nav ul { list-style: none; padding: 0; margin: .6rem 0; display: flex; flex-wrap: wrap; gap: .3rem 1rem; }
nav a { color: #0000cc; }
nav.periodes ul { margin: .3rem 0; font-size: .9rem; }
.date, .compte { color: #555; margin: .2rem 0 .6rem; }
.tableau { overflow-x: auto; }
table { border-collapse: collapse; width: 100%; font-size: .9rem; }
th, td { text-align: left; padding: .2rem .5rem; border-bottom: 1px solid #e3e3e3; vertical-align: top; }
th { background: #f0f0f0; }
td { overflow-wrap: anywhere; }
td:not(.nombre) { min-width: 6.5em; }
.nombre { text-align: right; font-variant-numeric: tabular-nums; }
td.nombre { white-space: nowrap; }
details { margin: .4rem 0 1rem; }
summary { cursor: pointer; color: #0000cc; padding: .3rem 0; }
figure { margin: 1rem 0; }
figcaption { font-weight: bold; margin-bottom: .3rem; }
svg.graphique { width: 100%; max-width: 619px; height: auto; display: block; }
svg .etiquette, svg .legende { font: 11px sans-serif; }
svg .valeur { font: 9px sans-serif; }
footer { margin-top: 2rem; color: #555; font-size: .85rem; }
@media (max-width: 40rem) {
  body { font-size: 14px; padding: 0 .5rem 1rem; }
  th, td { padding: .15rem .3rem; }
}
@media print {
  nav, summary { display: none; }
  body { max-width: none; font-size: 11pt; }
  tr, figure { break-inside: avoid; }
  h2 { break-after: avoid; }
}
)";

// One section of the page: its anchor, its title in the navigation bar and as a heading.
struct Section {
    std::string_view ancre;
    std::string_view titre;
};

void Titre(std::string& s, std::string_view balise, std::string_view ancre, std::string_view t) {
    s += '<';
    s += balise;
    if (!ancre.empty()) {
        s += " id=\"";
        s += ancre;
        s += '"';
    }
    s += '>';
    AjouteEchappeHtml(s, t);
    s += "</";
    s += balise;
    s += ">\n";
}

void Paragraphe(std::string& s, std::string_view classe, std::string_view utf8) {
    s += "<p class=\"";
    s += classe;
    s += "\">";
    AjouteEchappeHtml(s, utf8);
    s += "</p>\n";
}

std::string Lignes(std::size_t n) {
    return CompteEnFrancais(static_cast<std::int64_t>(n), "ligne", "lignes");
}

class Page {
  public:
    Page(const Base& base, const OptionsRapport& options, Sortie& sortie)
        : base_(base), options_(options), sortie_(sortie) {}

    void Ecrit() {
        Entete();
        Resume();
        Graphiques();
        Liste("pages", VueRapport::Pages);
        Liste("images", VueRapport::Images);
        Liste("ip", VueRapport::IP);
        Liste("referents", VueRapport::Referents);
        Liste("motscles", VueRapport::MotsCles);
        Liste("downloads", VueRapport::Downloads);
        Retours();
        Visiteurs();
        Pied();
    }

  private:
    void Envoie() {
        sortie_.Ecrit(s_);
        s_.clear();
    }

    // A view's table: the heading said before.
    std::size_t Tableau(VueRapport vue) {
        Envoie();
        EcrivainHtml e(sortie_, options_.RangeesVisibles);
        EcritVue(base_, vue, e, options_.Visiteurs);
        return e.Rangees();
    }

    void Entete() {
        std::string titre = "Statistiques du site";
        if (!options_.Periode.empty()) {
            titre += " — " + TextePeriode(options_.Periode); // "mars 2024"
        }
        s_ += "<!DOCTYPE html>\n<html lang=\"fr\">\n<head>\n<meta charset=\"utf-8\">\n";
        // First in the head, before any text of a log.
        s_ += "<meta http-equiv=\"Content-Security-Policy\" content=\"";
        s_ += kPolitiqueSecurite;
        s_ += "\">\n<meta name=\"referrer\" content=\"no-referrer\">\n";
        s_ += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
        s_ += "<meta name=\"generator\" content=\"";
        AjouteEchappeHtml(s_, options_.Programme);
        s_ += "\">\n<title>";
        AjouteEchappeHtml(s_, titre);
        s_ += "</title>\n<style>";
        s_ += kStyle;
        s_ += "</style>\n</head>\n<body>\n<header>\n";
        Titre(s_, "h1", "", titre);
        if (!options_.Date.empty()) {
            Paragraphe(s_, "date", "Rapport établi le " + options_.Date);
        }
        Navigation();
        s_ += "<nav aria-label=\"Sections\"><ul>";
        std::vector<Section> sections = {{"resume", "Général"},
                                         {"graphiques", "Graphiques"},
                                         {"pages", "Pages"},
                                         {"images", "Images"},
                                         {"ip", "IP"},
                                         {"referents", "Référents"},
                                         {"motscles", "Mots-clés"},
                                         {"downloads", "Downloads"},
                                         {"retours", "Retours"}};
        if (options_.Visiteurs) {
            sections.push_back({"visiteurs", "Visiteurs"});
        }
        for (const Section& sec : sections) {
            s_ += "<li><a href=\"#";
            s_ += sec.ancre;
            s_ += "\">";
            AjouteEchappeHtml(s_, sec.titre);
            s_ += "</a></li>";
        }
        s_ += "</ul></nav>\n</header>\n<main>\n";
    }

    // The links to the report's other pages: the whole history and each year on one row, the
    // months on the next, the page shown named without a link.
    void Navigation() {
        if (options_.Pages.empty()) {
            return;
        }
        s_ += "<nav class=\"periodes\" aria-label=\"Périodes\">";
        for (const bool mois : {false, true}) {
            s_ += "<ul>";
            for (const PageRapport& p : options_.Pages) {
                if ((p.Periode.size() > 4) != mois) {
                    continue;
                }
                s_ += "<li>";
                if (p.Periode == options_.Periode) {
                    s_ += "<strong aria-current=\"page\">";
                    AjouteEchappeHtml(s_, p.Texte);
                    s_ += "</strong>";
                } else {
                    s_ += "<a href=\"";
                    AjouteEchappeHtml(s_, FichierPage(p.Periode));
                    s_ += "\">";
                    AjouteEchappeHtml(s_, p.Texte);
                    s_ += "</a>";
                }
                s_ += "</li>";
            }
            s_ += "</ul>";
        }
        s_ += "</nav>\n";
    }

    void Resume() {
        s_ += "<section>\n";
        Titre(s_, "h2", "resume", DescriptionDe(VueRapport::Resume).Titre);
        Tableau(VueRapport::Resume);
        s_ += "</section>\n";
    }

    void Graphiques() {
        s_ += "<section>\n";
        Titre(s_, "h2", "graphiques", "Graphiques");
        const std::vector<std::string> annees = TextesAnnees(base_.ListeGraphMois);
        const std::vector<std::string> mois = TextesMois(base_.ListeGraphHeure);
        if (annees.empty() && mois.empty()) {
            Paragraphe(s_, "compte", "Aucune donnée.");
        }
        EtatGraphique etat;
        for (const std::string& annee : annees) {
            Figure("Année " + TexteAffiche(annee), etat.CliqueAnnee(base_, annee));
            // The same figures as text, for who cannot see the bars.
            s_ += "<details><summary>Les chiffres de l'année</summary>\n";
            Envoie();
            EcrivainHtml e(sortie_, 12);
            EcritChiffresMois(ChiffresDesMois(base_, ConvertitEntier(annee)), e);
            s_ += "</details>\n";
        }
        for (std::size_t k = 0; k < mois.size(); ++k) {
            Figure(TexteAffiche(mois[k]), etat.CliqueMois(base_, static_cast<int>(k)));
        }
        s_ += "</section>\n";
    }

    // titre: UTF-8.
    void Figure(const std::string& titre, const Dessin& d) {
        s_ += "<figure>\n<figcaption>";
        AjouteEchappeHtml(s_, titre);
        s_ += "</figcaption>\n";
        AjouteGraphiqueSvg(s_, d, titre);
        s_ += "\n</figure>\n";
    }

    void Liste(std::string_view ancre, VueRapport vue) {
        s_ += "<section>\n";
        Titre(s_, "h2", ancre, DescriptionDe(vue).Titre);
        const std::size_t n = Tableau(vue);
        Paragraphe(s_, "compte", Lignes(n));
        s_ += "</section>\n";
    }

    void Retours() {
        s_ += "<section>\n";
        Titre(s_, "h2", "retours", DescriptionDe(VueRapport::Retours).Titre);
        bool aucun = true;
        for (const StatutRetour& statut : StatutsRetours()) {
            const VueRetours vue = CalculeRetours(base_, statut.Legende);
            if (vue.Lignes.empty()) {
                continue;
            }
            aucun = false;
            Titre(s_, "h3", "", vue.LExpl3 + " — " + vue.LExpl4);
            Paragraphe(s_, "compte", vue.LCount3);
            Envoie();
            EcrivainHtml e(sortie_, options_.RangeesVisibles);
            EcritRetours(vue, e);
        }
        if (aucun) {
            Paragraphe(s_, "compte", "Aucune erreur.");
        }
        s_ += "</section>\n";
    }

    void Visiteurs() {
        if (!options_.Visiteurs) {
            return;
        }
        s_ += "<section>\n";
        Titre(s_, "h2", "visiteurs", "Visiteurs");
        for (VueRapport vue : {VueRapport::Navigateurs, VueRapport::Systemes, VueRapport::Robots,
                               VueRapport::Pays}) {
            Titre(s_, "h3", "", DescriptionDe(vue).Titre);
            Tableau(vue);
        }
        s_ += "</section>\n";
    }

    void Pied() {
        s_ += "</main>\n<footer>";
        AjouteEchappeHtml(s_, options_.Programme);
        s_ += "</footer>\n</body>\n</html>\n";
        Envoie();
    }

    const Base& base_;
    const OptionsRapport& options_;
    Sortie& sortie_;
    std::string s_;
};

} // namespace

void EcrivainHtml::EnTete() {
    tampon_ += "<div class=\"tableau\"><table>\n<thead><tr>";
    for (const ColonneTableau& c : colonnes_) {
        tampon_ += c.Nombre ? "<th class=\"nombre\">" : "<th>";
        AjouteEchappeHtml(tampon_, c.Titre);
        tampon_ += "</th>";
    }
    tampon_ += "</tr></thead>\n<tbody>\n";
}

void EcrivainHtml::Envoie() {
    sortie_.Ecrit(tampon_);
    tampon_.clear();
}

void EcrivainHtml::Debut(const std::vector<ColonneTableau>& colonnes, std::size_t rangees) {
    colonnes_ = colonnes;
    annoncees_ = rangees;
    rangees_ = 0;
    tampon_.clear();
    EnTete();
}

void EcrivainHtml::Rangee(std::span<const std::string_view> cellules) {
    if (rangees_ == visibles_ && annoncees_ > visibles_) {
        // The rows in sight end here; the others follow under their summary.
        const std::size_t autres = annoncees_ - visibles_;
        tampon_ += "</tbody></table></div>\n<details><summary>";
        AjouteEchappeHtml(
            tampon_, autres == 1 ? std::string("La ligne suivante")
                                 : "Les " + NombreEnFrancais(static_cast<std::int64_t>(autres)) +
                                       " lignes suivantes");
        tampon_ += "</summary>\n";
        EnTete();
    }
    ++rangees_;
    tampon_ += "<tr>";
    for (std::size_t i = 0; i < cellules.size(); ++i) {
        tampon_ += i < colonnes_.size() && colonnes_[i].Nombre ? "<td class=\"nombre\">" : "<td>";
        AjouteTexteHtml(tampon_, cellules[i]);
        tampon_ += "</td>";
    }
    tampon_ += "</tr>\n";
    if (tampon_.size() >= kTailleLot) {
        Envoie();
    }
}

void EcrivainHtml::Fin() {
    tampon_ += "</tbody></table></div>\n";
    if (rangees_ > visibles_ && annoncees_ > visibles_) {
        tampon_ += "</details>\n";
    }
    Envoie();
}

std::string FichierPage(const std::string& periode) {
    return (periode.empty() ? std::string("index") : periode) + ".html";
}

void EcritRapportHtml(const Base& base, const OptionsRapport& options, Sortie& sortie) {
    Page(base, options, sortie).Ecrit();
}

} // namespace sillage
