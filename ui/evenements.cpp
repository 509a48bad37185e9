#include "ui/evenements.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QMouseEvent>

#include <utility>

namespace sillage {

ToucheRelachee::ToucheRelachee(QWidget* widget, std::function<void(int)> action)
    : QObject(widget), action_(std::move(action)) {
    widget->installEventFilter(this);
}

bool ToucheRelachee::eventFilter(QObject* objet, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        const auto* touche = static_cast<QKeyEvent*>(event);
        if (!touche->isAutoRepeat()) {
            action_(touche->key() == Qt::Key_Return || touche->key() == Qt::Key_Enter
                        ? kEntree
                        : touche->key());
        }
    }
    return QObject::eventFilter(objet, event);
}

DoubleClicRangee::DoubleClicRangee(QAbstractItemView* vue, std::function<void(int)> action)
    : QObject(vue), vue_(vue), action_(std::move(action)) {
    vue->viewport()->installEventFilter(this);
}

bool DoubleClicRangee::eventFilter(QObject* objet, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        const auto* souris = static_cast<QMouseEvent*>(event);
        if (souris->button() == Qt::LeftButton) {
            const QModelIndex index = vue_->indexAt(souris->position().toPoint());
            action_(index.isValid() ? index.row() : -1);
        }
    }
    return QObject::eventFilter(objet, event);
}

} // namespace sillage
