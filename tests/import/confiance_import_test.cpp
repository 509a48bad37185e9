// sillage-import between users: a store in a folder others can write is refused, another user
// can neither plant files in a private store nor use it, and root importing into a user's store
// leaves that user's files, which the user then imports into as before.
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace sillage {
namespace {

using test::Contenu;
using test::Ecrit;
using test::Lance;
using test::LanceSillageImport;
using test::RepertoireTemporaire;

constexpr uid_t kProprietaire = 47321;
constexpr uid_t kIntrus = 47322;

// A shell command run as the user uid (with the group of the same number, no other group).
std::string Comme(uid_t uid, const std::string& commande) {
    return "setpriv --reuid=" + std::to_string(uid) + " --regid=" + std::to_string(uid) +
           " --clear-groups sh -c \"" + commande + "\"";
}

std::string Import(const std::string& arguments) {
    return std::string("'") + SILLAGE_IMPORT + "' " + arguments;
}

uid_t ProprietaireDe(const std::string& chemin) {
    struct stat st;
    return ::lstat(chemin.c_str(), &st) == 0 ? st.st_uid : static_cast<uid_t>(-1);
}

TEST(DeuxUtilisateurs, ASharedFolderIsRefusedAndAPrivateOneCannotBeUsedByAnother) {
    if (::geteuid() != 0 ||
        Lance(Comme(kProprietaire, std::string("test -x '") + SILLAGE_IMPORT + "'")).code != 0) {
        GTEST_SKIP() << "needs root, and a build that other users can run";
    }
    RepertoireTemporaire dir;
    ::chmod(dir.Chemin().c_str(), 0755);
    const std::string store = dir.Fichier("partage");
    const std::string journal = dir.Fichier("access.log");
    Ecrit(journal, test::Journal(test::LignesAleatoires(3, 200)));
    ::chmod(journal.c_str(), 0644);
    std::filesystem::create_directory(store);
    ASSERT_EQ(::chown(store.c_str(), kProprietaire, kProprietaire), 0);

    // Shared (mode 1777): an intruder plants a transaction file that would cut the tables.
    ::chmod(store.c_str(), 01777);
    ASSERT_EQ(
        Lance(Comme(kIntrus, "printf 'Sillage transaction 1\\\\nS nom.lst\\\\nfin 1\\\\n' > " +
                                 store + "/sillage.transaction"))
            .code,
        0);
    test::Resultat r = Lance(Comme(kProprietaire, Import("--dir " + store + " " + journal)));
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.erreurs.find("peut être modifié par d'autres utilisateurs"), std::string::npos)
        << r.erreurs;
    EXPECT_FALSE(std::filesystem::exists(store + "/nom.lst"));
    EXPECT_TRUE(std::filesystem::exists(store + "/sillage.transaction"));

    // Made private, the owner removes what was planted (the message said so) and imports.
    ::chmod(store.c_str(), 0755);
    r = Lance(Comme(kProprietaire, Import("--dir " + store + " " + journal)));
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.erreurs.find("sillage.transaction"), std::string::npos) << r.erreurs;
    std::filesystem::remove(store + "/sillage.transaction");
    r = Lance(Comme(kProprietaire, Import("--dir " + store + " " + journal)));
    ASSERT_EQ(r.code, 0) << r.erreurs;
    const std::string noms = Contenu(store + "/nom.lst");

    // The intruder can plant nothing now, nor use the store.
    EXPECT_NE(Lance(Comme(kIntrus, "printf x > " + store + "/sillage.transaction")).code, 0);
    r = Lance(Comme(kIntrus, Import("--dir " + store + " " + journal)));
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.erreurs.find("appartient à un autre utilisateur"), std::string::npos) << r.erreurs;
    EXPECT_EQ(Contenu(store + "/nom.lst"), noms);

    // Root imports into the owner's store: every file stays the owner's...
    r = LanceSillageImport("--dir " + store + " " + journal);
    ASSERT_EQ(r.code, 0) << r.erreurs;
    for (const auto& e : std::filesystem::directory_iterator(store)) {
        EXPECT_EQ(ProprietaireDe(e.path()), kProprietaire) << e.path();
    }
    // ... who goes on importing into it.
    r = Lance(Comme(kProprietaire, Import("--dir " + store + " " + journal)));
    EXPECT_EQ(r.code, 0) << r.erreurs;
}

} // namespace
} // namespace sillage
