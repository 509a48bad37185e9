// A paint surface: its paintEvent hands a painter to whoever draws on it.
#pragma once

#include <QPainter>
#include <QWidget>

#include <functional>
#include <utility>

namespace sillage {

class SurfaceDessin : public QWidget {
  public:
    using Dessin = std::function<void(QPainter&)>;

    SurfaceDessin(Dessin dessin, QWidget* parent) : QWidget(parent), dessin_(std::move(dessin)) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.save();
        dessin_(p);
        p.restore();
    }

  private:
    Dessin dessin_;
};

} // namespace sillage
