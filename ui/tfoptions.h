// The options dialog: edits the referrer prefix to exclude (line 0 of ListeOptions), and whether
// the lines of robots are left out of the statistics (ListeOptionsRobots, options_robots.h).
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace sillage {

class Base;

class TFOptions : public QDialog {
    Q_OBJECT
  public:
    explicit TFOptions(Base& base, QWidget* parent = nullptr);

  protected:
    // FormShow: the edit shows the stored option at each showing, so a cancelled change is gone.
    void showEvent(QShowEvent* event) override;

  private slots:
    // "Ok" (the default button): stores the text as typed and the box's state, and closes.
    void BOkClick();

  private:
    Base& base_;
    QLineEdit* EExculdeOrigine = nullptr;
    QCheckBox* CBSansRobots = nullptr;
};

} // namespace sillage
