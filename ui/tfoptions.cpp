#include "ui/tfoptions.h"

#include "store/base.h"
#include "store/options_robots.h"
#include "ui/construction.h"
#include "ui/texte_qt.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace sillage {

TFOptions::TFOptions(Base& base, QWidget* parent) : QDialog(parent), base_(base) {
    setWindowTitle(QStringLiteral("Options"));
    MetEnFenetreOutil(this, QPoint(290, 193), QSize(472, 319));

    QLabel* Label1 =
        Libelle(this, "Label1", 24, 104, QStringLiteral("Référent à exclure (site) :"));
    EExculdeOrigine = Edit(this, "EExculdeOrigine", QRect(200, 104, 249, 21));
    Label1->setBuddy(EExculdeOrigine);
    // Off by default: the lines of robots count in the statistics as any other, and always in
    // the agents table.
    CBSansRobots =
        Nomme(new QCheckBox(QStringLiteral("Ne pas compter les robots"), this), "CBSansRobots");
    CBSansRobots->setGeometry(24, 128, 425, 17);
    CBSansRobots->setToolTip(QStringLiteral(
        "Les lignes des robots ne comptent plus dans les statistiques des imports suivants,"
        " comme si elles manquaient au journal."));

    QPushButton* BOk = Bouton(this, "BOk", QRect(40, 152, 75, 25), QStringLiteral("Ok"));
    BOk->setDefault(true);
    QPushButton* BCancel =
        Bouton(this, "BCancel", QRect(368, 152, 75, 25), QStringLiteral("Annuler"));

    // As in any dialog, Enter presses the focused button, and Ok when no button has the focus.
    BOk->setAutoDefault(true);
    BCancel->setAutoDefault(true);

    connect(BOk, &QPushButton::clicked, this, &TFOptions::BOkClick);
    // Annuler, Escape and the close box all reject: nothing is stored.
    connect(BCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFOptions::showEvent(QShowEvent* event) {
    const Table& options = base_.ListeOptions;
    EExculdeOrigine->setText(options.Vide() ? QString() : DepuisWindows1252(options[0]));
    CBSansRobots->setChecked(LitSansRobots(base_.ListeOptionsRobots));
    EExculdeOrigine->setFocus();
    QDialog::showEvent(event);
}

void TFOptions::BOkClick() {
    std::string texte = VersWindows1252Substitue(EExculdeOrigine->text());
    // A line break or a NUL would split the stored line or end the file's reading.
    std::erase_if(texte, [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
    if (base_.ListeOptions.Vide()) {
        base_.ListeOptions.Ajoute(texte);
    } else {
        base_.ListeOptions.Remplace(0, texte);
    }
    FixeSansRobots(base_.ListeOptionsRobots, CBSansRobots->isChecked());
    accept();
}

} // namespace sillage
