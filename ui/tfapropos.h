// The about dialog: the program's name, version, authors, a picture, a link, and the versions of
// the lists that tell robots apart.
#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QUrl;

namespace sillage {

class TFApropos : public QDialog {
    Q_OBJECT
  public:
    explicit TFApropos(QWidget* parent = nullptr);

    // What a click on the link does with its address; by default the desktop's handler opens it
    // (QDesktopServices::openUrl, whose answer is ignored). Tests put their own here.
    using OuvreurAdresse = std::function<void(const QUrl&)>;
    static void FixeOuvreurAdresse(OuvreurAdresse ouvreur);

    // The picture shipped with the program (the resource ":/apropos.jpg").
    static QByteArray OctetsImage();

  protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void Label6Click();
    void Label6MouseEnter();
    void Label6MouseLeave();

    QLabel* Label6 = nullptr;  // the link
    bool curseurMain_ = false; // the hand pointer is on while the mouse is over the link
};

} // namespace sillage
