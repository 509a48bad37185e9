#include "ui/tfoptions.h"

#include "store/base.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringDecoder>
#include <QStringEncoder>

namespace sillage {

namespace {

template <class W> W* Place(W* w, const char* nom, int x, int y) {
    w->setObjectName(QString::fromLatin1(nom));
    w->move(x, y);
    return w;
}

} // namespace

TFOptions::TFOptions(Base& base, QWidget* parent) : QDialog(parent), base_(base) {
    setWindowTitle(QStringLiteral("Options"));
    setFixedSize(472, 319);

    Label1 =
        Place(new QLabel(QStringLiteral("Référent à exclure (site) :"), this), "Label1", 24, 104);
    Label1->adjustSize();
    EExculdeOrigine = Place(new QLineEdit(this), "EExculdeOrigine", 200, 104);
    EExculdeOrigine->resize(249, 21);
    Label1->setBuddy(EExculdeOrigine);

    BOk = Place(new QPushButton(QStringLiteral("Ok"), this), "BOk", 40, 152);
    BOk->resize(75, 25);
    BOk->setDefault(true);
    BCancel = Place(new QPushButton(QStringLiteral("Annuler"), this), "BCancel", 368, 152);
    BCancel->resize(75, 25);

    connect(BOk, &QPushButton::clicked, this, &TFOptions::BOkClick);
    // Annuler, Escape and the close box all reject: nothing is stored.
    connect(BCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFOptions::showEvent(QShowEvent* event) {
    const Table& options = base_.ListeOptions;
    if (options.Vide()) {
        EExculdeOrigine->clear();
    } else {
        const std::string_view ligne = options[0];
        QStringDecoder decodeur("windows-1252");
        EExculdeOrigine->setText(
            decodeur.decode(QByteArrayView(ligne.data(), static_cast<qsizetype>(ligne.size()))));
    }
    EExculdeOrigine->setFocus();
    QDialog::showEvent(event);
}

void TFOptions::BOkClick() {
    QStringEncoder encodeur("windows-1252");
    QByteArray octets = encodeur.encode(EExculdeOrigine->text());
    // A line break or a NUL would split the stored line or end the file's reading.
    octets.removeIf([](char c) { return c == '\r' || c == '\n' || c == '\0'; });
    const std::string_view texte(octets.constData(), static_cast<std::size_t>(octets.size()));
    if (base_.ListeOptions.Vide()) {
        base_.ListeOptions.Ajoute(texte);
    } else {
        base_.ListeOptions.Remplace(0, texte);
    }
    accept();
}

} // namespace sillage
