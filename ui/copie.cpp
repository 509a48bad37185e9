#include "ui/copie.h"

#include <QAbstractItemView>
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QTableView>

#include <algorithm>
#include <utility>
#include <vector>

namespace sillage {

namespace {

QString Cellule(QString texte) {
    for (QChar& c : texte) {
        if (c == u'\t' || c == u'\n' || c == u'\r') {
            c = u' ';
        }
    }
    return texte;
}

void Copie(const QAbstractItemView& vue) {
    const QString texte = TexteCopie(vue);
    if (!texte.isEmpty()) {
        QGuiApplication::clipboard()->setText(texte);
    }
}

// Ctrl+C on a list: the view's own handling would copy the current cell alone.
class ToucheCopie : public QObject {
  public:
    explicit ToucheCopie(QAbstractItemView* vue) : QObject(vue), vue_(vue) {
        vue->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* objet, QEvent* event) override {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
            Copie(*vue_);
            return true;
        }
        return QObject::eventFilter(objet, event);
    }

  private:
    QAbstractItemView* vue_;
};

} // namespace

QString TexteCopie(const QAbstractItemView& vue) {
    const QAbstractItemModel* modele = vue.model();
    if (modele == nullptr || vue.selectionModel() == nullptr) {
        return {};
    }
    // The selection's ranges, not its cells: a whole list chosen with Ctrl+A is one range, where
    // its cells would be millions of indexes.
    std::vector<std::pair<int, int>> plages; // [first, last] rows
    for (const QItemSelectionRange& plage : vue.selectionModel()->selection()) {
        if (plage.isValid()) {
            plages.emplace_back(plage.top(), plage.bottom());
        }
    }
    if (plages.empty()) {
        return {};
    }
    std::sort(plages.begin(), plages.end());
    const int colonnes = modele->columnCount();
    const auto ligne = [&](auto&& texteColonne) {
        QStringList cellules;
        for (int c = 0; c < colonnes; ++c) {
            cellules << Cellule(texteColonne(c));
        }
        return cellules.join(u'\t') + u'\n';
    };
    QString texte;
    // Plain lists (the Infos entries, the chart lists) have no column titles.
    if (qobject_cast<const QTableView*>(&vue) != nullptr) {
        texte += ligne([&](int c) { return modele->headerData(c, Qt::Horizontal).toString(); });
    }
    int suivante = 0; // the first row not copied yet: ranges may overlap
    for (const auto& [premiere, derniere] : plages) {
        for (int r = std::max(premiere, suivante); r <= derniere; ++r) {
            texte += ligne([&](int c) { return modele->index(r, c).data().toString(); });
        }
        suivante = std::max(suivante, derniere + 1);
    }
    return texte;
}

namespace {

QAction* ActionExporter(QWidget* parent, std::function<void()> exporte) {
    auto* action = new QAction(kTexteExporter, parent);
    action->setObjectName(QStringLiteral("ExporterListe"));
    QObject::connect(action, &QAction::triggered, parent, std::move(exporte));
    return action;
}

} // namespace

void AjouteCopie(QAbstractItemView* vue, std::function<void()> exporte) {
    new ToucheCopie(vue);
    auto* copier = new QAction(QStringLiteral("Copier"), vue);
    QObject::connect(copier, &QAction::triggered, vue, [vue] { Copie(*vue); });
    QAction* exporter = exporte ? ActionExporter(vue, std::move(exporte)) : nullptr;

    vue->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(
        vue, &QWidget::customContextMenuRequested, vue, [vue, copier, exporter](QPoint ou) {
            copier->setEnabled(!TexteCopie(*vue).isEmpty());
            QMenu menu(vue);
            menu.setObjectName(QStringLiteral("MenuCopier"));
            menu.setFont(vue->font()); // a popup window does not take its parent's font
            menu.addAction(copier);
            if (exporter != nullptr) {
                menu.addAction(exporter);
            }
            menu.exec(vue->viewport()->mapToGlobal(ou));
            copier->setEnabled(true);
        });
}

void AjouteExport(QWidget* widget, std::function<void()> exporte) {
    QAction* exporter = ActionExporter(widget, std::move(exporte));
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(
        widget, &QWidget::customContextMenuRequested, widget, [widget, exporter](QPoint ou) {
            QMenu menu(widget);
            menu.setObjectName(QStringLiteral("MenuExporter"));
            menu.setFont(widget->font());
            menu.addAction(exporter);
            // A list's position is the viewport's.
            auto* defile = qobject_cast<QAbstractScrollArea*>(widget);
            menu.exec(defile ? defile->viewport()->mapToGlobal(ou) : widget->mapToGlobal(ou));
        });
}

} // namespace sillage
