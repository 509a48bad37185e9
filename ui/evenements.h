// Small event watchers that turn Qt events into the system's handler calls.
#pragma once

#include <QObject>

#include <functional>

class QAbstractItemView;
class QWidget;

namespace sillage {

// Calls action with the key code of every key released in a widget: kEntree (13) for Return and the
// keypad's Enter, the Qt::Key value for any other key. Auto-repeated releases are not keys coming
// up and call nothing.
class ToucheRelachee : public QObject {
  public:
    static constexpr int kEntree = 13;

    // Belongs to widget.
    ToucheRelachee(QWidget* widget, std::function<void(int)> action);

  protected:
    bool eventFilter(QObject* objet, QEvent* event) override;

  private:
    std::function<void(int)> action_;
};

// Calls action with the row under every left-button double-click in a view, -1 when it falls on
// no row. Seen on the viewport, so that a double-click below the last row still counts.
class DoubleClicRangee : public QObject {
  public:
    // Belongs to vue.
    DoubleClicRangee(QAbstractItemView* vue, std::function<void(int)> action);

  protected:
    bool eventFilter(QObject* objet, QEvent* event) override;

  private:
    QAbstractItemView* vue_;
    std::function<void(int)> action_;
};

} // namespace sillage
