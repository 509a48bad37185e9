// A tab control whose captions wrap onto as many rows as they need, so that every tab stays in
// sight (no scroll arrows), over a stack of pages. Rows are filled in tab order and stretched to
// the full width.
#pragma once

#include <QString>
#include <QWidget>

#include <vector>

class QStackedWidget;

namespace sillage {

class BarreOnglets;

class ControleOnglets : public QWidget {
    Q_OBJECT
  public:
    explicit ControleOnglets(QWidget* parent = nullptr);

    // Adds a page with its caption; returns its index.
    int addTab(QWidget* page, const QString& titre);
    int count() const;
    QWidget* widget(int index) const;
    QString tabText(int index) const;
    // Where the caption of a tab lies, in this control's coordinates.
    QRect tabRect(int index) const;
    int currentIndex() const;
    QWidget* currentWidget() const;
    // Number of caption rows at the current width.
    int rowCount() const;

  public slots:
    void setCurrentIndex(int index);

  signals:
    void currentChanged(int index);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void Dispose();

    BarreOnglets* barre_;
    QStackedWidget* pages_;
};

} // namespace sillage
