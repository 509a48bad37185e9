// The about dialog: the program's name, version, authors, a picture and a link.
#pragma once

#include <QDialog>

namespace sillage {

class TFApropos : public QDialog {
    Q_OBJECT
public:
    explicit TFApropos(QWidget* parent = nullptr);
};

} // namespace sillage
