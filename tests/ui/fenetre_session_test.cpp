// The window beside other programs on one store: its save keeps what another program saved
// meanwhile, asks before it would lose anything, waits for the store's lock; and its questions
// before importing a log it knows, or a log with lines that stop the import.
#include "fenetre_commun.h"
#include "import/import.h"
#include "store/enregistrements.h"
#include "store/verrou.h"

#include <QAbstractButton>
#include <QAction>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <cstdio>
#include <filesystem>
#include <unistd.h>

using namespace sillage;
using namespace sillage::test;

namespace {

const std::vector<Dialogues::Message>& Messages() {
    return Dialogues::Messages();
}

// Another program: loads the store, imports a log, saves, under the lock.
void AutreProgramme(const std::string& dir, const std::string& chemin) {
    Base base(dir);
    Verrou v = base.Verrouille();
    base.InitListes();
    ImporteFichier(base, chemin);
    base.SauveListes();
}

// The tables of these logs imported one after another into an empty store.
Base Attendue(const std::vector<std::string>& chemins) {
    RepertoireTemporaire vide;
    Base base(vide.Chemin());
    base.InitListes();
    for (const std::string& c : chemins) {
        ImporteFichier(base, c);
    }
    return base;
}

Base SurLeDisque(const std::string& dir) {
    Base base(dir);
    base.InitListes();
    return base;
}

void Ouvre(TFPrincip& f, const std::string& chemin) {
    Dialogues::FichierSuivant(QString::fromStdString(chemin));
    Declenche(f, "Ouvrir1");
}

QAction& Commande(const TFPrincip& f, const char* nom) {
    return Trouve<QAction>(f, nom);
}

} // namespace

class FenetreSession : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { Dialogues::Automatique(true); }
    void init() { Dialogues::Oublie(); }

    void aSaveKeepsWhatAnotherProgramSavedMeanwhile() {
        FenetreDeTest t;
        const std::string a = t.repertoire.Fichier("a.log");
        const std::string b = t.repertoire.Fichier("b.log");
        Ecrit(a, Journal(LignesAleatoires(1, 200)));
        Ecrit(b, Journal(LignesAleatoires(2, 150)));
        TFPrincip& f = t.Ouvre();
        AutreProgramme(t.repertoire.Chemin(), b); // the scheduled import, while the window is open
        Ouvre(f, a);
        Commande(f, "Enregistrer1").trigger();

        // No question; a word on where the other figures come from.
        QCOMPARE(Messages().size(), 1u);
        QCOMPARE(Messages()[0].boutons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(Messages()[0].texte,
                 QString::fromStdString("Enregistré, avec les imports faits entre-temps par un "
                                        "autre programme : " +
                                        b + " (150 lignes)."));
        const Base attendue = Attendue({b, a});
        QVERIFY(MemesTables(SurLeDisque(t.repertoire.Chemin()), attendue));
        QVERIFY(MemesTables(t.base, attendue));
        QCOMPARE(t.base.Modifie, 0);
        // The views show the merged tables.
        QCOMPARE(static_cast<std::size_t>(ListeDe(f, "LVIP").rowCount()),
                 attendue.ListeNom.Count() - 1);

        // Nothing imported in the window, the store changed again: the window shows it.
        AutreProgramme(t.repertoire.Chemin(), a);
        const EmpreinteDisque avant = t.base.LitEmpreinte();
        Dialogues::Oublie();
        Commande(f, "Enregistrer1").trigger();
        QVERIFY(t.base.LitEmpreinte() == avant);
        QVERIFY(MemesTables(t.base, Attendue({b, a, a})));
        QCOMPARE(Messages().size(), 1u);
        QVERIFY2(Messages()[0].texte.startsWith("Les tables montrent maintenant "),
                 qPrintable(Messages()[0].texte));
    }

    void anImportThatCannotBeRedoneAsksAndLosesNothingOnNo() {
        FenetreDeTest t;
        const std::string a = t.repertoire.Fichier("a.log");
        const std::string b = t.repertoire.Fichier("b.log");
        Ecrit(a, Journal(LignesAleatoires(3, 100)));
        Ecrit(b, Journal(LignesAleatoires(4, 100)));
        TFPrincip& f = t.Ouvre();
        Ouvre(f, a);
        AutreProgramme(t.repertoire.Chemin(), b);
        Ecrit(a, Journal(LignesAleatoires(5, 100))); // the window's log rewritten meanwhile
        const Base fenetre = t.base;
        const Base disque = SurLeDisque(t.repertoire.Chemin());

        Dialogues::ReponseSuivante(QMessageBox::No);
        Commande(f, "Enregistrer1").trigger();
        QCOMPARE(Messages().size(), 1u);
        QCOMPARE(Messages()[0].titre, QStringLiteral("Enregistrement"));
        QVERIFY(Messages()[0].texte.contains(QString::fromStdString(a)));
        QVERIFY(Messages()[0].texte.contains(QStringLiteral("a changé depuis")));
        QCOMPARE(Messages()[0].defaut, QMessageBox::No);
        QVERIFY(MemesTables(SurLeDisque(t.repertoire.Chemin()), disque));
        QVERIFY(MemesTables(t.base, fenetre));
        QCOMPARE(t.base.Modifie, 1);

        // Closing asks to save; Yes, then No to that question: the window stays open.
        Dialogues::Oublie();
        Dialogues::ReponseSuivante(QMessageBox::Yes);
        Dialogues::ReponseSuivante(QMessageBox::No);
        QVERIFY(!f.close());
        QCOMPARE(Messages().size(), 2u);
        QVERIFY(MemesTables(SurLeDisque(t.repertoire.Chemin()), disque));

        // Yes: the window's tables replace the store.
        Dialogues::Oublie();
        Dialogues::ReponseSuivante(QMessageBox::Yes);
        Commande(f, "Enregistrer1").trigger();
        QVERIFY(MemesTables(SurLeDisque(t.repertoire.Chemin()), fenetre));
        QCOMPARE(t.base.Modifie, 0);
    }

    void aKnownLogAsksWhetherOnlyItsNewLinesCount() {
        FenetreDeTest t;
        const std::string a = t.repertoire.Fichier("a.log");
        const std::vector<std::string> lignes = LignesAleatoires(6, 130);
        const auto debut = [&](std::size_t n) {
            return Journal(std::vector<std::string>(lignes.begin(), lignes.begin() + n));
        };
        Ecrit(a, debut(100));
        TFPrincip& f = t.Ouvre();
        Ouvre(f, a); // never seen: no question
        QVERIFY(Messages().empty());
        Ecrit(a, debut(120));
        const Base apresPremier = t.base;

        // Annuler: nothing.
        Dialogues::ReponseSuivante(QMessageBox::Cancel);
        Ouvre(f, a);
        QCOMPARE(Messages().size(), 1u);
        const Dialogues::Message question = Messages()[0];
        QVERIFY2(
            question.texte.startsWith(QStringLiteral("Le journal a.log a déjà été importé le ")),
            qPrintable(question.texte));
        QVERIFY(question.texte.contains(
            QStringLiteral("(100 lignes).\nIl a 20 lignes nouvelles depuis.\n\n« Tout compter à "
                           "nouveau » compte une deuxième fois les 100 lignes déjà comptées.")));
        QCOMPARE(question.boutons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QVERIFY(MemesTables(t.base, apresPremier));
        // Its buttons say what they do; Enter counts the new lines only, Escape cancels.
        const std::unique_ptr<QMessageBox> boite = Dialogues::CreeBoite(&f, question);
        QCOMPARE(boite->button(QMessageBox::Yes)->text(), QString("Lignes nouvelles seulement"));
        QCOMPARE(boite->button(QMessageBox::No)->text(), QString("Tout compter à nouveau"));
        QCOMPARE(boite->button(QMessageBox::Cancel)->text(), QString("Annuler"));
        QCOMPARE(static_cast<QAbstractButton*>(boite->defaultButton()),
                 boite->button(QMessageBox::Yes));
        boite->show();
        QTest::keyClick(boite.get(), Qt::Key_Escape);
        QCOMPARE(boite->clickedButton(), boite->button(QMessageBox::Cancel));

        // Lignes nouvelles seulement: the 20 new lines only, as one import of the whole log
        // would count them.
        Dialogues::Oublie();
        Dialogues::ReponseSuivante(QMessageBox::Yes);
        Ouvre(f, a);
        RepertoireTemporaire seul;
        Ecrit(seul.Fichier("a120.log"), debut(120));
        const Base entiere = Attendue({seul.Fichier("a120.log")});
        QVERIFY(t.base.ListeLanp == entiere.ListeLanp);
        QVERIFY(t.base.ListeGraphMois == entiere.ListeGraphMois);

        // Nothing new: nothing to ask, nothing counted twice.
        Dialogues::Oublie();
        const Base complete = t.base;
        Ouvre(f, a);
        QCOMPARE(Messages().size(), 1u);
        QCOMPARE(Messages()[0].boutons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(Messages()[0].texte,
                 QStringLiteral("Rien de nouveau dans a.log : ses 120 lignes sont déjà comptées."));
        QVERIFY(MemesTables(t.base, complete));

        // Tout compter à nouveau: every line again.
        Ecrit(a, debut(130));
        Dialogues::Oublie();
        Dialogues::ReponseSuivante(QMessageBox::No);
        Ouvre(f, a);
        QCOMPARE(Messages().size(), 1u);
        QVERIFY(Messages()[0].texte.contains(QStringLiteral("Il a 10 lignes nouvelles")));
        Ecrit(seul.Fichier("a130.log"), debut(130));
        const Base toutes = Attendue({seul.Fichier("a130.log")});
        // (Every line is in March 2004.)
        QCOMPARE(LitGraph(t.base.ListeGraphMois[0]).Hits[2],
                 LitGraph(entiere.ListeGraphMois[0]).Hits[2] +
                     LitGraph(toutes.ListeGraphMois[0]).Hits[2]);
    }

    void linesThatStopTheImportCanBePassedOver() {
        FenetreDeTest t;
        const std::string a = t.repertoire.Fichier("a.log");
        std::vector<std::string> lignes = LignesAleatoires(7, 50);
        const std::vector<std::string> bonnes = lignes;
        lignes.insert(lignes.begin() + 10, std::string(8, '\0'));
        Ecrit(a, Journal(lignes));
        TFPrincip& f = t.Ouvre();
        const Base avant = t.base;

        Ouvre(f, a); // the default answer: Non
        QCOMPARE(Messages().size(), 2u);
        QCOMPARE(Messages()[0].texte, QStringLiteral("Erreur à la lecture du fichier (ligne 11)"));
        QCOMPARE(Messages()[1].texte,
                 QStringLiteral("Importer ce journal sans ses lignes illisibles ?"));
        QVERIFY(MemesTables(t.base, avant));
        QCOMPARE(t.base.Modifie, 0);

        Dialogues::Oublie();
        Dialogues::ReponseSuivante(QMessageBox::Ok);
        Dialogues::ReponseSuivante(QMessageBox::Yes);
        Ouvre(f, a);
        QCOMPARE(Messages().size(), 3u);
        QCOMPARE(Messages()[2].texte,
                 QStringLiteral("1 ligne illisible ignorée (première : ligne 11)"));
        RepertoireTemporaire seul;
        Ecrit(seul.Fichier("a.log"), Journal(bonnes));
        QVERIFY(MemesTables(t.base, Attendue({seul.Fichier("a.log")})));
        QCOMPARE(t.base.Modifie, 1);
        QCOMPARE(Trouve<QProgressBar>(f, "ProgressBar1").value(), 100);
    }

    void aTableFileChangedInPlaceLeavesTheWindowsTablesAsLoaded() {
        FenetreDeTest t;
        // A table large enough to be mapped by a program that may map its files.
        std::vector<std::string> lignes;
        for (int i = 0; i < 5000; ++i) {
            lignes.push_back(Rangee(
                i, "10.0." + std::to_string(i / 250) + "." + std::to_string(i % 250), 5000 - i));
        }
        lignes.push_back(Compteur(5000));
        t.EcritTable("nom.lst", lignes);
        TFPrincip& f = t.Ouvre();
        const Table avant = t.base.ListeNom;
        QCOMPARE(avant.Count(), 5001u);
        // Another tool (cp, a shell redirection) rewrites the file in place, shorter.
        {
            std::FILE* fichier = std::fopen(t.repertoire.Fichier("nom.lst").c_str(), "r+b");
            QVERIFY(fichier != nullptr);
            std::fputs("\\1;0\\2;x\\3;1\\4;d\\5;\r\n\\1;1\\2;\r\n", fichier);
            QVERIFY(::ftruncate(::fileno(fichier), 40) == 0);
            std::fclose(fichier);
        }
        QVERIFY(t.base.ListeNom == avant);
        QCOMPARE(ListeDe(f, "LVIP").rowCount(), 5000);
        QCOMPARE(Colonne(ListeDe(f, "LVIP"), 0).last(), QStringLiteral("10.0.19.249"));
    }

    void theWindowWaitsForTheStoreAndMayGiveUp() {
        FenetreDeTest t;
        Verrou autre = Verrou::Prend(t.repertoire.Chemin(), std::chrono::milliseconds(0));
        QVERIFY(autre.Tenu());
        // At start-up: Réessayer, then Annuler: the window has no tables to work on.
        Dialogues::ReponseSuivante(QMessageBox::Retry);
        Dialogues::ReponseSuivante(QMessageBox::Cancel);
        t.fenetre = std::make_unique<TFPrincip>(t.base);
        t.fenetre->FixeDonneesVisiteurs(DonneesTest());
        t.fenetre->FixeAttenteVerrou(std::chrono::milliseconds(20));
        t.fenetre->show();
        TFPrincip& f = *t.fenetre;
        QCOMPARE(Messages().size(), 2u);
        const QString occupe = QString::fromStdString(
            "Les tables de " + t.repertoire.Chemin().substr(0, t.repertoire.Chemin().size() - 1) +
            " sont utilisées par un autre programme.");
        QCOMPARE(Messages()[0].texte, occupe);
        QCOMPARE(Messages()[0].boutons, QMessageBox::Retry | QMessageBox::Cancel);
        QVERIFY(!Commande(f, "Ouvrir1").isEnabled());

        // Free again: a reset takes the lock and the window works on the seeded tables.
        autre.Libere();
        Dialogues::Oublie();
        Dialogues::ReponseSuivante(QMessageBox::Yes);
        Commande(f, "Reinitialiser1").trigger();
        QVERIFY(Commande(f, "Ouvrir1").isEnabled());

        // A save that meets a held lock and gives up writes nothing.
        const std::string a = t.repertoire.Fichier("a.log");
        Ecrit(a, Journal(LignesAleatoires(8, 10)));
        Ouvre(f, a);
        autre = Verrou::Prend(t.repertoire.Chemin(), std::chrono::milliseconds(0));
        Dialogues::Oublie();
        Dialogues::ReponseSuivante(QMessageBox::Cancel);
        Commande(f, "Enregistrer1").trigger();
        QCOMPARE(Messages().size(), 1u);
        QCOMPARE(Messages()[0].texte, occupe);
        QVERIFY(!std::filesystem::exists(t.repertoire.Fichier("nom.lst")));
        QCOMPARE(t.base.Modifie, 1);
        autre.Libere();
        Dialogues::Oublie();
        Commande(f, "Enregistrer1").trigger();
        QVERIFY(std::filesystem::exists(t.repertoire.Fichier("nom.lst")));
        QCOMPARE(t.base.Modifie, 0);
    }
};

QTEST_MAIN(FenetreSession)
#include "fenetre_session_test.moc"
