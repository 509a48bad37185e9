#include "ui/onglets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>

namespace sillage {

namespace {
constexpr int kMargeTexte = 9;   // on each side of a caption
constexpr int kMargePage = 4;    // between the pane's edge and the page
constexpr int kSurelevation = 2; // the current tab stands this much higher than the others
} // namespace

// The caption rows, placed for a given width.
class BarreOnglets : public QWidget {
  public:
    explicit BarreOnglets(ControleOnglets* controle) : QWidget(controle), controle_(controle) {}

    std::vector<QString> titres;
    int courant = -1;

    int HauteurRangee() const { return fontMetrics().height() + 6; }
    int Rangees() const { return rangees_; }
    QRect Rectangle(int index) const {
        return index >= 0 && static_cast<std::size_t>(index) < rects_.size()
                   ? rects_[static_cast<std::size_t>(index)]
                   : QRect();
    }
    int HauteurTotale() const { return rangees_ * HauteurRangee() + kSurelevation; }

    // Places every caption for the width largeur.
    void Calcule(int largeur) {
        rects_.assign(titres.size(), QRect());
        std::vector<std::vector<std::size_t>> rangees(1);
        int x = 0;
        for (std::size_t i = 0; i < titres.size(); ++i) {
            const int l = fontMetrics().horizontalAdvance(titres[i]) + 2 * kMargeTexte;
            if (x > 0 && x + l > largeur) {
                rangees.emplace_back();
                x = 0;
            }
            rangees.back().push_back(i);
            x += l;
        }
        rangees_ = titres.empty() ? 0 : static_cast<int>(rangees.size());
        const int h = HauteurRangee();
        for (std::size_t r = 0; r < rangees.size(); ++r) {
            const auto& rangee = rangees[r];
            int naturelle = 0;
            for (std::size_t i : rangee) {
                naturelle += fontMetrics().horizontalAdvance(titres[i]) + 2 * kMargeTexte;
            }
            // Stretch the row to the full width, the last tab taking the rounding.
            int gauche = 0;
            for (std::size_t k = 0; k < rangee.size(); ++k) {
                const std::size_t i = rangee[k];
                const int l = fontMetrics().horizontalAdvance(titres[i]) + 2 * kMargeTexte;
                int droite = k + 1 == rangee.size()
                                 ? largeur
                                 : gauche + (naturelle > 0 ? l * largeur / naturelle : l);
                rects_[i] =
                    QRect(gauche, kSurelevation + static_cast<int>(r) * h, droite - gauche, h);
                gauche = droite;
            }
        }
    }

  protected:
    // Tabs are drawn here rather than by the style: styles draw one row of tabs only.
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QPalette& pal = palette();
        const QColor fond = pal.color(QPalette::Window);
        const QColor onglet = pal.color(QPalette::Button).darker(104);
        const QColor bord = pal.color(QPalette::Mid);
        const QColor clair = pal.color(QPalette::Light);
        for (int passe = 0; passe < 2; ++passe) {
            for (std::size_t i = 0; i < titres.size(); ++i) {
                const bool estCourant = static_cast<int>(i) == courant;
                if (estCourant != (passe == 1)) {
                    continue; // the current tab last, over its neighbours
                }
                QRect r = rects_[i].adjusted(0, 0, -1, 0);
                if (estCourant) {
                    r.adjust(-1, -kSurelevation, 1, 1);
                }
                p.fillRect(r, estCourant ? fond : onglet);
                p.setPen(clair);
                p.drawLine(r.left() + 1, r.top() + 1, r.right() - 1, r.top() + 1);
                p.setPen(bord);
                p.drawLine(r.left(), r.top() + 2, r.left(), r.bottom());
                p.drawLine(r.left() + 2, r.top(), r.right() - 2, r.top());
                p.drawLine(r.right(), r.top() + 2, r.right(), r.bottom());
                p.drawPoint(r.left() + 1, r.top() + 1);
                p.drawPoint(r.right() - 1, r.top() + 1);
                if (!estCourant) {
                    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
                }
                p.setPen(pal.color(QPalette::WindowText));
                p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, titres[i]);
            }
        }
    }

    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) {
            return;
        }
        for (std::size_t i = 0; i < rects_.size(); ++i) {
            if (rects_[i].contains(event->position().toPoint())) {
                controle_->setCurrentIndex(static_cast<int>(i));
                return;
            }
        }
    }

  private:
    ControleOnglets* controle_;
    std::vector<QRect> rects_;
    int rangees_ = 0;
};

ControleOnglets::ControleOnglets(QWidget* parent)
    : QWidget(parent), barre_(new BarreOnglets(this)), pages_(new QStackedWidget(this)) {
    // Ctrl+Tab and Ctrl+Shift+Tab go round the tabs, wherever the focus is inside.
    const auto tourne = [this](int pas) {
        if (count() > 0) {
            setCurrentIndex((currentIndex() + pas + count()) % count());
        }
    };
    new QShortcut(
        QKeySequence(Qt::CTRL | Qt::Key_Tab), this, [tourne] { tourne(1); },
        Qt::WidgetWithChildrenShortcut);
    new QShortcut(
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), this, [tourne] { tourne(-1); },
        Qt::WidgetWithChildrenShortcut);
}

int ControleOnglets::addTab(QWidget* page, const QString& titre) {
    barre_->titres.push_back(titre);
    const int index = pages_->addWidget(page);
    if (barre_->courant < 0) {
        barre_->courant = index;
    }
    Dispose();
    return index;
}

int ControleOnglets::count() const {
    return pages_->count();
}

QWidget* ControleOnglets::widget(int index) const {
    return pages_->widget(index);
}

QString ControleOnglets::tabText(int index) const {
    return index >= 0 && index < count() ? barre_->titres[static_cast<std::size_t>(index)]
                                         : QString();
}

QRect ControleOnglets::tabRect(int index) const {
    const QRect r = barre_->Rectangle(index);
    return r.isNull() ? r : r.translated(barre_->pos());
}

int ControleOnglets::currentIndex() const {
    return pages_->currentIndex();
}

QWidget* ControleOnglets::currentWidget() const {
    return pages_->currentWidget();
}

int ControleOnglets::rowCount() const {
    return barre_->Rangees();
}

void ControleOnglets::setCurrentIndex(int index) {
    if (index < 0 || index >= count() || index == currentIndex()) {
        return;
    }
    pages_->setCurrentIndex(index);
    barre_->courant = index;
    barre_->update();
    emit currentChanged(index);
}

void ControleOnglets::resizeEvent(QResizeEvent*) {
    Dispose();
}

void ControleOnglets::Dispose() {
    barre_->Calcule(width());
    const int h = barre_->HauteurTotale();
    barre_->setGeometry(0, 0, width(), h);
    pages_->setGeometry(kMargePage, h + kMargePage, width() - 2 * kMargePage,
                        height() - h - 2 * kMargePage);
    barre_->update();
    update();
}

void ControleOnglets::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QStyleOptionTabWidgetFrame cadre;
    cadre.initFrom(this);
    cadre.rect =
        QRect(0, barre_->HauteurTotale() - 1, width(), height() - barre_->HauteurTotale() + 1);
    cadre.shape = QTabBar::RoundedNorth;
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &cadre, &p, this);
}

} // namespace sillage
