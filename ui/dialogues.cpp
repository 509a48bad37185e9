#include "ui/dialogues.h"

#include <deque>

namespace sillage {

namespace {

struct Etat {
    bool automatique = false;
    std::deque<QMessageBox::StandardButton> reponses;
    std::deque<QString> fichiers;
    std::vector<Dialogues::Message> messages;
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

QMessageBox::StandardButton Dialogues::Question(QWidget* parent, const QString& titre,
                                                const QString& texte,
                                                QMessageBox::StandardButtons boutons,
                                                QMessageBox::StandardButton defaut,
                                                QMessageBox::Icon icone) {
    if (Prevu()) {
        etat().messages.push_back({titre, texte, boutons, defaut, icone});
        return ReponsePrevue(defaut);
    }
    QMessageBox boite(icone, titre, texte, boutons, parent);
    boite.setDefaultButton(defaut);
    return static_cast<QMessageBox::StandardButton>(boite.exec());
}

void Dialogues::Erreur(QWidget* parent, const QString& texte) {
    Question(parent, QStringLiteral("Erreur"), texte, QMessageBox::Ok, QMessageBox::Ok,
             QMessageBox::Critical);
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
    if (dialogue.exec() != QDialog::Accepted || dialogue.selectedFiles().isEmpty()) {
        return {};
    }
    return dialogue.selectedFiles().constFirst();
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

void Dialogues::Oublie() {
    etat().messages.clear();
    etat().reponses.clear();
    etat().fichiers.clear();
}

} // namespace sillage
