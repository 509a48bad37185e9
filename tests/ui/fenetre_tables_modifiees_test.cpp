// The window over a store whose files changed since their last save: it says what differs and
// asks before accepting them, "Non" by default (the tables are then shown, never saved), and
// can keep a copy of each changed file aside first. And a store that cannot be written is told
// before a log is read.
#include "fenetre_commun.h"
#include "store/registre.h"
#include "store/transaction.h"

#include <QAction>
#include <QTest>

#include <filesystem>
#include <sys/mount.h>

using namespace sillage;
using namespace sillage::test;

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// A store saved with two hosts, whose nom.lst is then cut after its first row, as a power cut
// can leave it.
struct StoreAbime {
    FenetreDeTest t;
    std::string abime;

    StoreAbime() {
        Base base(t.repertoire.Chemin());
        base.InitListes();
        base.ListeNom.Efface();
        base.ListeNom.Ajoute(Rangee(0, "10.0.0.1", 3));
        base.ListeNom.Ajoute(Rangee(1, "10.0.0.2", 2));
        base.ListeNom.Ajoute(Compteur(2));
        base.SauveListes();
        const std::string nom = Contenu(t.repertoire.Fichier("nom.lst"));
        abime = nom.substr(0, nom.find("\r\n") + 2);
        Ecrit(t.repertoire.Fichier("nom.lst"), abime);
    }
    // The copies of nom.lst kept aside.
    std::vector<std::string> Copies() const {
        std::vector<std::string> copies;
        for (const auto& e : std::filesystem::directory_iterator(t.repertoire.Chemin())) {
            if (e.path().filename().string().rfind("nom.lst.endommage-", 0) == 0) {
                copies.push_back(e.path().string());
            }
        }
        return copies;
    }
};

bool Actif(const TFPrincip& f, const char* nom) {
    return Trouve<QAction>(f, nom).isEnabled();
}

} // namespace

class FenetreTablesModifiees : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { Dialogues::Automatique(true); }
    void init() { Dialogues::Oublie(); }

    // Escape or Enter: "Non". The tables are shown as read, the commands that would save them
    // stay off, and nothing is written.
    void noByDefaultShowsTheTablesWithoutEverSavingThem() {
        StoreAbime s;
        const std::string avant = FichiersDuStore(s.t.repertoire.Chemin());
        TFPrincip& f = s.t.Ouvre();
        QCOMPARE(Dialogues::Messages().size(), 2u);
        const Dialogues::Message& question = Dialogues::Messages()[0];
        QCOMPARE(question.titre, QStringLiteral("Tables modifiées"));
        QVERIFY2(question.texte.contains(Q("- nom.lst : ")), qPrintable(question.texte));
        QVERIFY(question.texte.contains("Accepter les fichiers tels qu'ils sont ?"));
        QCOMPARE(question.defaut, QMessageBox::No);
        QCOMPARE(question.boutons, QMessageBox::Yes | QMessageBox::Save | QMessageBox::No);
        QCOMPARE(question.textes.size(), 3u);
        QCOMPARE(question.textes[0].texte, QStringLiteral("Accepter tels quels"));
        QCOMPARE(question.textes[1].texte, QStringLiteral("Garder une copie, puis accepter"));
        QVERIFY(Dialogues::Messages()[1].texte.contains("ni « Ouvrir » ni « Enregistrer »"));

        QCOMPARE(Colonne(ListeDe(f, "LVIP"), 0), QStringList({"10.0.0.1"}));
        QVERIFY(!Actif(f, "Ouvrir1"));
        QVERIFY(!Actif(f, "Enregistrer1"));
        Declenche(f, "Enregistrer1");
        f.close();
        QCOMPARE(FichiersDuStore(s.t.repertoire.Chemin()), avant);
        QVERIFY(s.Copies().empty());
        // Still told at the next start.
        Base relue(s.t.repertoire.Chemin());
        QVERIFY_THROWS_EXCEPTION(ErreurManifeste, relue.InitListes());
    }

    void acceptedTheFilesAreRecordedAsTheyAre() {
        StoreAbime s;
        Dialogues::ReponseSuivante(QMessageBox::Yes);
        TFPrincip& f = s.t.Ouvre();
        QCOMPARE(Dialogues::Messages().size(), 1u);
        QVERIFY(Actif(f, "Ouvrir1"));
        QVERIFY(Actif(f, "Enregistrer1"));
        QCOMPARE(Colonne(ListeDe(f, "LVIP"), 0), QStringList({"10.0.0.1"}));
        QCOMPARE(Contenu(s.t.repertoire.Fichier("nom.lst")), s.abime);
        QVERIFY(s.Copies().empty());
        Base relue(s.t.repertoire.Chemin());
        relue.InitListes(); // the manifest holds the files as they are now
    }

    // A copy of each changed file, kept under a name that the store's recovery and reset leave
    // alone.
    void aCopyIsKeptAsideBeforeAccepting() {
        StoreAbime s;
        Dialogues::ReponseSuivante(QMessageBox::Save);
        TFPrincip& f = s.t.Ouvre();
        QVERIFY(Actif(f, "Ouvrir1"));
        const std::vector<std::string> copies = s.Copies();
        QCOMPARE(copies.size(), 1u);
        QCOMPARE(Contenu(copies[0]), s.abime);
        QCOMPARE(Dialogues::Messages().size(), 2u);
        QCOMPARE(Dialogues::Messages()[1].texte, Q("Copie gardée :\n" + copies[0]));
        // nom.lst.endommage-AAAAMMJJ-HHMMSS
        const std::string nom = std::filesystem::path(copies[0]).filename().string();
        QCOMPARE(nom.size(), std::string("nom.lst.endommage-20260101-120000").size());

        // Kept twice within one second: the second copy takes a name of its own.
        Base base(s.t.repertoire.Chemin());
        Verrou verrou = base.Verrouille();
        base.InitListes();
        const std::vector<DifferenceManifeste> d = {{"nom.lst"}};
        const std::vector<std::string> deux = base.GardeCopies(d, 0);
        const std::vector<std::string> trois = base.GardeCopies(d, 0);
        QCOMPARE(deux.size(), 1u);
        QCOMPARE(trois.size(), 1u);
        QCOMPARE(trois[0], deux[0] + "-2");
        // The store's recovery and reset leave every copy where it is.
        f.close();
        RecupereDossier(s.t.repertoire.Chemin(), Base::EstFichierDuStore);
        base.ReinitialiseListes();
        for (const std::string& c : {copies[0], deux[0], trois[0]}) {
            QVERIFY2(std::filesystem::exists(c), c.c_str());
        }
    }

    // A store on a file system mounted read-only: the window shows it, and says so at the first
    // "Ouvrir", before the log is read.
    void aStoreThatCannotBeWrittenIsToldBeforeTheLog() {
        RepertoireTemporaire dir;
        const std::string point = dir.Fichier("ro");
        std::filesystem::create_directory(point);
        if (::mount("tmpfs", point.c_str(), "tmpfs", 0, "size=64k,mode=0700") != 0) {
            QSKIP("no tmpfs can be mounted here");
        }
        const bool lectureSeule =
            ::mount(nullptr, point.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
        if (lectureSeule) {
            Ecrit(dir.Fichier("a.log"), Journal({LigneLog("h", "14/Feb/2004:10:11:12", "/a")}));
            Base base(point);
            {
                TFPrincip f(base);
                f.show();
                QVERIFY(Dialogues::Messages().empty());
                Dialogues::FichierSuivant(Q(dir.Fichier("a.log")));
                Declenche(f, "Ouvrir1");
                QCOMPARE(Dialogues::Messages().size(), 1u);
                QCOMPARE(Dialogues::Messages()[0].texte,
                         Q("Impossible d'écrire dans le répertoire des tables " + point +
                           " : système de fichiers en lecture seule"));
                QCOMPARE(base.Modifie, 0);
                QCOMPARE(ListeDe(f, "LVIP").rowCount(), 0);
            }
        }
        ::umount(point.c_str());
        if (!lectureSeule) {
            QSKIP("the tmpfs cannot be made read-only here");
        }
    }
};

QTEST_MAIN(FenetreTablesModifiees)
#include "fenetre_tables_modifiees_test.moc"
