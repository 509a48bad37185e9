// The options dialog: edits the referrer prefix to exclude (line 0 of ListeOptions).
#pragma once

#include <QDialog>

namespace sillage {

class Base;

class TFOptions : public QDialog {
    Q_OBJECT
public:
    explicit TFOptions(Base& base, QWidget* parent = nullptr);

private:
    Base& base_;
};

} // namespace sillage
