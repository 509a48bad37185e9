// A store trusts only its owner: folders others can write, files of other users, links in a
// file's place and planted transaction files are refused with a message, and touch nothing;
// root working in a user's store leaves that user's files.
#include "store/base.h"
#include "store/confiance.h"
#include "store/registre.h"
#include "store/transaction.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace sillage {
namespace {

using test::Contenu;
using test::Ecrit;
using test::MessageDe;
using test::RepertoireTemporaire;

// A user and a group that no test file belongs to.
constexpr uid_t kAutre = 47311;
constexpr gid_t kGroupeAutre = 47311;

// Runs f in a child process as the user kAutre; answers its exit status.
int CommeAutre(const std::function<int()>& f) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setresgid(kGroupeAutre, kGroupeAutre, kGroupeAutre) != 0 ||
            ::setresuid(kAutre, kAutre, kAutre) != 0) {
            ::_exit(90);
        }
        ::_exit(f());
    }
    int etat = 0;
    ::waitpid(pid, &etat, 0);
    return WIFEXITED(etat) ? WEXITSTATUS(etat) : -1;
}

uid_t ProprietaireDe(const std::string& chemin) {
    struct stat st;
    return ::lstat(chemin.c_str(), &st) == 0 ? st.st_uid : static_cast<uid_t>(-1);
}

// A saved store of one host, in its own folder.
struct StoreSauve {
    RepertoireTemporaire dir;
    StoreSauve() {
        Base base(dir.Chemin());
        Verrou v = base.Verrouille();
        base.InitListes();
        base.ListeNom.Efface();
        base.ListeNom.Ajoute(test::Rangee(0, "h", 3));
        base.ListeNom.Ajoute(test::Compteur(1));
        base.SauveListes();
    }
    std::string Verrouille() {
        return MessageDe([&] {
            Base base(dir.Chemin());
            Verrou v = base.Verrouille(std::chrono::milliseconds(0));
            base.InitListes();
        });
    }
};

TEST(Confiance, AFolderOthersCanWriteIsRefusedBeforeAnythingIsReadOrWritten) {
    for (mode_t mode : {01777, 0777, 0775, 0757}) {
        RepertoireTemporaire parent;
        const std::string dossier = parent.Fichier("partage");
        std::filesystem::create_directory(dossier);
        ::chmod(dossier.c_str(), mode);
        // A group of other users (root's own group, which nobody else shares, would be fine).
        ASSERT_EQ(::chown(dossier.c_str(), 0, kGroupeAutre), 0);
        Base base(dossier);
        const std::string message =
            MessageDe([&] { Verrou v = base.Verrouille(std::chrono::milliseconds(0)); });
        EXPECT_NE(message.find("peut être modifié par d'autres utilisateurs"), std::string::npos)
            << std::oct << mode << " " << message;
        EXPECT_NE(message.find("chmod go-w"), std::string::npos);
        EXPECT_TRUE(std::filesystem::is_empty(dossier)) << "no lock file made";
        EXPECT_NE(MessageDe([&] { base.InitListes(); }), "(no error)");
    }
    // Writable by its owner alone, or by its owner's own group: trusted.
    for (mode_t mode : {0700, 0755, 0775}) {
        RepertoireTemporaire prive;
        ::chmod(prive.Chemin().c_str(), mode);
        Base base(prive.Chemin());
        EXPECT_EQ(MessageDe([&] { Verrou v = base.Verrouille(std::chrono::milliseconds(0)); }),
                  "(no error)");
    }
}

TEST(Confiance, AFolderOfAnotherUserIsRefusedUnlessRootsOrOnesOwn) {
    RepertoireTemporaire racine; // root's, as the tests run
    ::chmod(racine.Chemin().c_str(), 0755);
    RepertoireTemporaire autre;
    ASSERT_EQ(::chown(autre.Chemin().c_str(), kAutre + 1, kGroupeAutre + 1), 0);
    RepertoireTemporaire sien;
    ASSERT_EQ(::chown(sien.Chemin().c_str(), kAutre, kGroupeAutre), 0);
    const auto refuse = [](const std::string& dossier) {
        return CommeAutre([&] {
            const std::string m = MessageDe([&] { VerifieDossierPrive(dossier); });
            if (m == "(no error)") {
                return 0;
            }
            return m.find("appartient à un autre utilisateur (UID 47312)") != std::string::npos ? 1
                                                                                                : 2;
        });
    };
    EXPECT_EQ(refuse(autre.Chemin()), 1);
    EXPECT_EQ(refuse(sien.Chemin()), 0);
    EXPECT_EQ(refuse(racine.Chemin()), 0);
}

TEST(Confiance, APlantedTransactionFileIsNeitherCarriedOutNorRemoved) {
    StoreSauve store;
    const std::string nom = Contenu(store.dir.Fichier("nom.lst"));
    const std::string transaction = store.dir.Fichier(std::string(kFichierTransaction));
    // Another user's order to delete the tables, and to put a forged host table in place.
    Ecrit(store.dir.Fichier("nom.lst.abc123"), "\\1;0\\2;faux\\3;999\\4;d\\5;\r\n\\1;1\\2;\r\n");
    Ecrit(transaction, "Sillage transaction 1\nR nom.lst.abc123 nom.lst\nS page.lst\nfin 2\n");
    ASSERT_EQ(::chown(transaction.c_str(), kAutre, kGroupeAutre), 0);
    std::string message = store.Verrouille();
    EXPECT_NE(message.find(transaction), std::string::npos) << message;
    EXPECT_NE(message.find("ne l'exécute ni ne le supprime"), std::string::npos);
    EXPECT_EQ(Contenu(store.dir.Fichier("nom.lst")), nom);
    EXPECT_TRUE(std::filesystem::exists(store.dir.Fichier("page.lst")));
    EXPECT_TRUE(std::filesystem::exists(transaction));

    // The owner's transaction file naming another user's temporary: the same.
    ASSERT_EQ(::chown(transaction.c_str(), 0, 0), 0);
    ASSERT_EQ(::chown(store.dir.Fichier("nom.lst.abc123").c_str(), kAutre, kGroupeAutre), 0);
    message = store.Verrouille();
    EXPECT_NE(message.find(store.dir.Fichier("nom.lst.abc123")), std::string::npos) << message;
    EXPECT_EQ(Contenu(store.dir.Fichier("nom.lst")), nom);
    EXPECT_TRUE(std::filesystem::exists(store.dir.Fichier("page.lst")));

    // A stray temporary of another user is not removed either; once it is gone, all is well.
    std::filesystem::remove(transaction);
    message = store.Verrouille();
    EXPECT_NE(message.find(store.dir.Fichier("nom.lst.abc123")), std::string::npos) << message;
    EXPECT_TRUE(std::filesystem::exists(store.dir.Fichier("nom.lst.abc123")));
    std::filesystem::remove(store.dir.Fichier("nom.lst.abc123"));
    EXPECT_EQ(store.Verrouille(), "(no error)");
    EXPECT_EQ(Contenu(store.dir.Fichier("nom.lst")), nom);

    // A link in place of the transaction file is not followed.
    RepertoireTemporaire ailleurs;
    Ecrit(ailleurs.Fichier("t"), "Sillage transaction 1\nS page.lst\nfin 1\n");
    std::filesystem::create_symlink(ailleurs.Fichier("t"), transaction);
    message = store.Verrouille();
    EXPECT_NE(message.find(transaction), std::string::npos) << message;
    EXPECT_TRUE(std::filesystem::exists(store.dir.Fichier("page.lst")));
}

TEST(Confiance, LinksInPlaceOfTablesTheRegisterOrTheLockAreRefused) {
    RepertoireTemporaire ailleurs;
    Ecrit(ailleurs.Fichier("secret"), "\\1;0\\2;secret\\3;1\\4;d\\5;\r\n\\1;1\\2;\r\n");
    for (const std::string fichier : {"nom.lst", "journaux.lst", "options.lst"}) {
        StoreSauve store;
        std::filesystem::remove(store.dir.Fichier(fichier));
        std::filesystem::create_symlink(ailleurs.Fichier("secret"), store.dir.Fichier(fichier));
        const std::string message = store.Verrouille();
        EXPECT_NE(message.find(store.dir.Fichier(fichier) + " est un lien symbolique"),
                  std::string::npos)
            << message;
    }
    // The lock file: a link planted there would make the lock create a file anywhere.
    RepertoireTemporaire dir;
    std::filesystem::create_symlink(ailleurs.Fichier("cree"), dir.Fichier("sillage.verrou"));
    Base base(dir.Chemin());
    const std::string message =
        MessageDe([&] { Verrou v = base.Verrouille(std::chrono::milliseconds(0)); });
    EXPECT_NE(message.find(dir.Fichier("sillage.verrou")), std::string::npos) << message;
    EXPECT_FALSE(std::filesystem::exists(ailleurs.Fichier("cree")));
}

TEST(Confiance, AFileOfAnotherUserIsNotRead) {
    StoreSauve store;
    ASSERT_EQ(::chown(store.dir.Fichier("page.lst").c_str(), kAutre, kGroupeAutre), 0);
    const std::string message = store.Verrouille();
    EXPECT_NE(message.find(store.dir.Fichier("page.lst") + " appartient à UID 47311"),
              std::string::npos)
        << message;
}

TEST(Confiance, RootWorkingInAUsersStoreLeavesEveryFileToThatUser) {
    RepertoireTemporaire dir;
    ASSERT_EQ(::chown(dir.Chemin().c_str(), kAutre, kGroupeAutre), 0);
    Base base(dir.Chemin());
    Verrou v = base.Verrouille();
    base.InitListes();
    base.ListeRegistre.Ajoute(EcritRegistre(RRegistre{}));
    base.SauveListes();
    for (const auto& e : std::filesystem::directory_iterator(dir.Chemin())) {
        EXPECT_EQ(ProprietaireDe(e.path()), kAutre) << e.path();
    }
    EXPECT_TRUE(std::filesystem::exists(dir.Fichier("sillage.verrou")));
    // ... so that the user reads and saves them as before.
    EXPECT_EQ(CommeAutre([&] {
                  Base sienne(dir.Chemin());
                  return MessageDe([&] {
                             Verrou verrou = sienne.Verrouille(std::chrono::milliseconds(0));
                             sienne.InitListes();
                             sienne.SauveListes();
                         }) == "(no error)"
                             ? 0
                             : 1;
              }),
              0);
}

} // namespace
} // namespace sillage
