// Shared by the window tests: a main window over a store in a temporary directory, and the ways
// to reach its widgets by their system names. The data (log lines, rows, table files) is built
// with the words of support/vocabulaire.h.
#pragma once

#include "store/base.h"
#include "support/donnees_visiteurs.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"
#include "ui/dialogues.h"
#include "ui/modele_entrees.h"
#include "ui/modeles.h"
#include "ui/tfprincip.h"

#include <QAbstractItemModel>
#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QAction>
#include <QLabel>
#include <QStringList>
#include <QTest>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace sillage::test {

// The child of parent named nom (a widget, an action, a model); the test program stops at once
// when there is none, naming it.
template <typename T = QWidget> T& Trouve(const QObject& parent, const char* nom) {
    T* objet = parent.findChild<T*>(QString::fromLatin1(nom));
    if (objet == nullptr) {
        qFatal("no %s here", nom);
    }
    return *objet;
}

// The model of the list view named vue, as the type it has.
template <typename M> M& ModeleDe(const QObject& parent, const char* vue) {
    auto* modele = qobject_cast<M*>(Trouve<QAbstractItemView>(parent, vue).model());
    if (modele == nullptr) {
        qFatal("%s shows another model", vue);
    }
    return *modele;
}
inline ModeleListe& ListeDe(const QObject& f, const char* vue) {
    return ModeleDe<ModeleListe>(f, vue);
}
inline ModeleTextes& TextesDe(const QObject& f, const char* vue) {
    return ModeleDe<ModeleTextes>(f, vue);
}

// A model checked by Qt's model tester on each of its changes, as long as it lives.
inline void VerifieModele(QAbstractItemModel& modele) {
    new QAbstractItemModelTester(&modele, QAbstractItemModelTester::FailureReportingMode::QtTest,
                                 &modele);
}

// Every model of the window's lists, checked by Qt's model tester on each of its changes.
inline void VerifieModeles(const QObject& f) {
    for (QAbstractItemView* vue : f.findChildren<QAbstractItemView*>()) {
        QAbstractItemModel* modele = vue->model();
        if (qobject_cast<ModeleListe*>(modele) || qobject_cast<ModeleTextes*>(modele) ||
            qobject_cast<ModeleEntrees*>(modele) || qobject_cast<ModeleVisiteurs*>(modele)) {
            VerifieModele(*modele);
        }
    }
}

// The menu command named nom (Ouvrir1, Enregistrer1...) chosen, as a click on it does.
inline void Declenche(const QObject& f, const char* nom) {
    Trouve<QAction>(f, nom).trigger();
}

// A click on a cell of a list (the first of its row by default), with the modifiers given.
inline void Clique(QAbstractItemView& vue, int rangee, int colonne = 0,
                   Qt::KeyboardModifiers touches = {}) {
    const QRect r = vue.visualRect(vue.model()->index(rangee, colonne));
    QVERIFY(r.isValid());
    QTest::mouseClick(vue.viewport(), Qt::LeftButton, touches, r.center());
}

struct FenetreDeTest {
    RepertoireTemporaire repertoire;
    Base base{repertoire.Chemin()};
    std::unique_ptr<TFPrincip> fenetre;

    // Writes the table file named fichier of the window's store.
    void EcritTable(const std::string& fichier, const std::vector<std::string>& lignes) {
        test::EcritTable(repertoire.Fichier(fichier), lignes);
    }
    // Creates and shows the window, which starts up on the table files; its models are checked
    // from then on. Agents are classified by the installed lists, the sources' crawler list and
    // the store's robots.lst, with no cache between runs.
    TFPrincip& Ouvre() {
        fenetre = std::make_unique<TFPrincip>(base);
        fenetre->FixeDonneesVisiteurs(DonneesTest());
        VerifieModeles(*fenetre);
        fenetre->show();
        return *fenetre;
    }
};

// The chart tab's month labels (Label3 to Label14) and day labels (Label42 to Label45, Label50
// to Label53, Label58 to Label69, Label81 to Label91), in calendar order.
inline std::vector<QLabel*> EtiquettesMois(const QObject& f) {
    std::vector<QLabel*> l;
    for (int n = 3; n <= 14; ++n) {
        l.push_back(&Trouve<QLabel>(f, ("Label" + std::to_string(n)).c_str()));
    }
    return l;
}
inline std::vector<QLabel*> EtiquettesJours(const QObject& f) {
    std::vector<QLabel*> l;
    for (auto [premier, dernier] : {std::pair{42, 45}, {50, 53}, {58, 69}, {81, 91}}) {
        for (int n = premier; n <= dernier; ++n) {
            l.push_back(&Trouve<QLabel>(f, ("Label" + std::to_string(n)).c_str()));
        }
    }
    return l;
}

// The texts of one column of a model, top to bottom.
inline QStringList Colonne(const QAbstractItemModel& modele, int colonne) {
    QStringList textes;
    for (int r = 0; r < modele.rowCount(); ++r) {
        textes << modele.index(r, colonne).data().toString();
    }
    return textes;
}

// The rows of a three-column model as "first|second|third".
inline QStringList Rangees(const QAbstractItemModel& modele) {
    QStringList r;
    for (int i = 0; i < modele.rowCount(); ++i) {
        r << modele.index(i, 0).data().toString() + "|" + modele.index(i, 1).data().toString() +
                 "|" + modele.index(i, 2).data().toString();
    }
    return r;
}

} // namespace sillage::test
