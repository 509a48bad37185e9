// Every message box and the file dialogs of the window go through here, so that tests can give
// the answers ahead of time (ReponseSuivante, FichierSuivant) and read what was asked. In a
// normal run the real boxes are shown.
#pragma once

#include <QFileDialog>
#include <QMessageBox>
#include <QString>

#include <memory>
#include <vector>

namespace sillage {

class Dialogues {
  public:
    // A button that reads as its action ("Tout compter à nouveau") rather than as the standard
    // button it stands for, which is still what the question answers.
    struct TexteBouton {
        QMessageBox::StandardButton bouton;
        QString texte;
    };
    // A box that was asked for while answers are given ahead of time.
    struct Message {
        QString titre;
        QString texte;
        QMessageBox::StandardButtons boutons;
        QMessageBox::StandardButton defaut;
        QMessageBox::Icon icone;
        std::vector<TexteBouton> textes;
    };

    // A question with the given buttons, some of them given their own texts; returns the button
    // pressed.
    static QMessageBox::StandardButton
    Question(QWidget* parent, const QString& titre, const QString& texte,
             QMessageBox::StandardButtons boutons, QMessageBox::StandardButton defaut,
             QMessageBox::Icon icone = QMessageBox::Question, std::vector<TexteBouton> textes = {});
    // An error text (UTF-8 from the store or the import) in a box with an OK button.
    static void Erreur(QWidget* parent, const QString& texte);
    // A report (UTF-8) in a box with an OK button.
    static void Information(QWidget* parent, const QString& texte);
    // The box that Question shows: the program's font, the text shown as plain text whatever
    // it holds (a message can quote a log's text), the default button given, the buttons' own
    // texts.
    static std::unique_ptr<QMessageBox> CreeBoite(QWidget* parent, const Message& message);
    // Shows the open dialog; returns the chosen file, or an empty text when cancelled. No popup
    // of the dialog (its file-name completion) outlives it.
    static QString OuvreFichier(QFileDialog& dialogue);
    // Shows a save dialog titled titre (the program's font), in dossier, proposing the name nom
    // and the files of filtre ("Fichiers CSV (*.csv)"), with suffixe added to a name typed
    // without one; a file that exists is replaced only once the user says so. Returns the
    // chosen file, or an empty text when cancelled.
    static QString EnregistreFichier(QWidget* parent, const QString& titre, const QString& dossier,
                                     const QString& nom, const QString& filtre,
                                     const QString& suffixe);

    // For tests: from now on no real box is shown; a box without an answer given ahead gets its
    // default button (OK for an error) and the file dialogs are cancelled. Every box, and the
    // name each save dialog proposed, is recorded.
    static void Automatique(bool actif);
    // For tests: the answer of the next box (in order).
    static void ReponseSuivante(QMessageBox::StandardButton bouton);
    // For tests: the file the next file dialog (open or save) returns (empty: cancelled).
    static void FichierSuivant(const QString& chemin);
    // For tests: the boxes asked for since the last Oublie.
    static const std::vector<Message>& Messages();
    // For tests: the names the save dialogs proposed since the last Oublie.
    static const std::vector<QString>& NomsProposes();
    // For tests: forgets the recorded boxes and the answers not used.
    static void Oublie();
};

} // namespace sillage
