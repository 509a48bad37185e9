#include "ui/dialogues.h"

#include "ui/police.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCompleter>

#include <deque>
#include <utility>

namespace sillage {

namespace {

struct Etat {
    bool automatique = false;
    std::deque<QMessageBox::StandardButton> reponses;
    std::deque<QString> fichiers;
    std::vector<Dialogues::Message> messages;
    std::vector<QString> nomsProposes;
};

Etat& etat() {
    static Etat e;
    return e;
}

bool Prevu() {
    return etat().automatique || !etat().reponses.empty();
}

QMessageBox::StandardButton ReponsePrevue(QMessageBox::StandardButton defaut) {
    Etat& e = etat();
    if (e.reponses.empty()) {
        return defaut;
    }
    const QMessageBox::StandardButton r = e.reponses.front();
    e.reponses.pop_front();
    return r;
}

} // namespace

QMessageBox::StandardButton
Dialogues::Question(QWidget* parent, const QString& titre, const QString& texte,
                    QMessageBox::StandardButtons boutons, QMessageBox::StandardButton defaut,
                    QMessageBox::Icon icone, std::vector<TexteBouton> textes) {
    const Message message{titre, texte, boutons, defaut, icone, std::move(textes)};
    if (Prevu()) {
        etat().messages.push_back(message);
        return ReponsePrevue(defaut);
    }
    return static_cast<QMessageBox::StandardButton>(CreeBoite(parent, message)->exec());
}

std::unique_ptr<QMessageBox> Dialogues::CreeBoite(QWidget* parent, const Message& message) {
    auto boite = std::make_unique<QMessageBox>(message.icone, message.titre, message.texte,
                                               message.boutons, parent);
    boite->setFont(PoliceSillage());
    boite->setTextFormat(Qt::PlainText);
    boite->setDefaultButton(message.defaut);
    for (const TexteBouton& t : message.textes) {
        if (QAbstractButton* bouton = boite->button(t.bouton)) {
            bouton->setText(t.texte);
        }
    }
    return boite;
}

void Dialogues::Erreur(QWidget* parent, const QString& texte) {
    Question(parent, QStringLiteral("Erreur"), texte, QMessageBox::Ok, QMessageBox::Ok,
             QMessageBox::Critical);
}

void Dialogues::Information(QWidget* parent, const QString& texte) {
    Question(parent, QStringLiteral("Sillage"), texte, QMessageBox::Ok, QMessageBox::Ok,
             QMessageBox::Information);
}

QString Dialogues::OuvreFichier(QFileDialog& dialogue) {
    Etat& e = etat();
    if (!e.fichiers.empty()) {
        QString chemin = e.fichiers.front();
        e.fichiers.pop_front();
        return chemin;
    }
    if (e.automatique) {
        return {};
    }
    const bool accepte = dialogue.exec() == QDialog::Accepted;
    // A name typed and confirmed with Enter can leave the completion popup open over the
    // window, where it would swallow the next click.
    for (QCompleter* completion : dialogue.findChildren<QCompleter*>()) {
        if (completion->popup() != nullptr) {
            completion->popup()->hide();
        }
    }
    if (!accepte || dialogue.selectedFiles().isEmpty()) {
        return {};
    }
    return dialogue.selectedFiles().constFirst();
}

QString Dialogues::EnregistreFichier(QWidget* parent, const QString& titre, const QString& dossier,
                                     const QString& nom, const QString& filtre,
                                     const QString& suffixe) {
    Etat& e = etat();
    if (e.automatique || !e.fichiers.empty()) {
        e.nomsProposes.push_back(nom);
        QString chemin;
        if (!e.fichiers.empty()) {
            chemin = e.fichiers.front();
            e.fichiers.pop_front();
        }
        return chemin;
    }
    QFileDialog dialogue(parent, titre, dossier, filtre);
    dialogue.setFont(PoliceSillage()); // a window of its own: it does not take its parent's
    dialogue.setAcceptMode(QFileDialog::AcceptSave);
    dialogue.setFileMode(QFileDialog::AnyFile);
    dialogue.setDefaultSuffix(suffixe);
    dialogue.selectFile(nom);
    return OuvreFichier(dialogue);
}

void Dialogues::Automatique(bool actif) {
    etat().automatique = actif;
}

void Dialogues::ReponseSuivante(QMessageBox::StandardButton bouton) {
    etat().reponses.push_back(bouton);
}

void Dialogues::FichierSuivant(const QString& chemin) {
    etat().fichiers.push_back(chemin);
}

const std::vector<Dialogues::Message>& Dialogues::Messages() {
    return etat().messages;
}

const std::vector<QString>& Dialogues::NomsProposes() {
    return etat().nomsProposes;
}

void Dialogues::Oublie() {
    etat().messages.clear();
    etat().nomsProposes.clear();
    etat().reponses.clear();
    etat().fichiers.clear();
}

} // namespace sillage
