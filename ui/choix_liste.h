// Runs a list's "click" handler once for each choice of an item, whether it is chosen with the
// mouse or with the keyboard: a selection change runs it, and so does a click on the item that
// is already selected. A click that changed the selection runs it only once. Selections made
// by the program run nothing while a Silence is alive.
#pragma once

#include <QObject>

#include <functional>

class QAbstractItemView;

namespace sillage {

class ChoixListe : public QObject {
  public:
    // Belongs to vue, whose model must be set already.
    ChoixListe(QAbstractItemView* vue, std::function<void()> action);

    class Silence {
      public:
        explicit Silence(ChoixListe& choix) : choix_(choix), avant_(choix.muet_) {
            choix.muet_ = true;
        }
        ~Silence() { choix_.muet_ = avant_; }
        Silence(const Silence&) = delete;
        Silence& operator=(const Silence&) = delete;

      private:
        ChoixListe& choix_;
        bool avant_;
    };

    // The row of the selected item of a single-selection view, or -1 when none is selected.
    static int RangeeChoisie(const QAbstractItemView* vue);

  protected:
    bool eventFilter(QObject* objet, QEvent* event) override;

  private:
    QAbstractItemView* vue_;
    std::function<void()> action_;
    bool muet_ = false;
    // The selection changed since the last mouse press: the click that ends it is already done.
    bool changeeDepuisPression_ = false;
};

} // namespace sillage
