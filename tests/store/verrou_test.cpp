// The store's lock: one holder at a time, a bounded or unbounded wait, and a lock that a dead
// process leaves free.
#include "store/verrou.h"

#include "store/erreur.h"
#include "support/repertoire_temporaire.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace sillage {
namespace {

using namespace std::chrono_literals;
using test::RepertoireTemporaire;

TEST(Verrou, ASecondHolderWaitsTheTimeGivenThenGivesUp) {
    RepertoireTemporaire dir;
    Verrou premier = Verrou::Prend(dir.Chemin(), 0ms);
    ASSERT_TRUE(premier.Tenu());
    int attentes = 0;
    const auto debut = std::chrono::steady_clock::now();
    Verrou second = Verrou::Prend(dir.Chemin(), 150ms, [&] { ++attentes; });
    EXPECT_FALSE(second.Tenu());
    EXPECT_EQ(attentes, 1);
    EXPECT_GE(std::chrono::steady_clock::now() - debut, 150ms);

    premier.Libere();
    Verrou troisieme = Verrou::Prend(dir.Chemin(), 0ms, [&] { ++attentes; });
    EXPECT_TRUE(troisieme.Tenu());
    EXPECT_EQ(attentes, 1); // free at once: no wait told
}

TEST(Verrou, AnUnboundedWaitEndsWhenTheHolderLetsGo) {
    RepertoireTemporaire dir;
    Verrou premier = Verrou::Prend(dir.Chemin(), 0ms);
    std::thread liberation([&] {
        std::this_thread::sleep_for(100ms);
        premier.Libere();
    });
    int attentes = 0;
    Verrou second = Verrou::Prend(dir.Chemin(), -1ms, [&] { ++attentes; });
    liberation.join();
    EXPECT_TRUE(second.Tenu());
    EXPECT_EQ(attentes, 1);

    // Moved, the lock stays held once.
    Verrou deplace = std::move(second);
    EXPECT_TRUE(deplace.Tenu());
    EXPECT_FALSE(second.Tenu());
    EXPECT_FALSE(Verrou::Prend(dir.Chemin(), 0ms).Tenu());
}

TEST(Verrou, AProcessKilledWhileHoldingTheLockLeavesItFree) {
    RepertoireTemporaire dir;
    int tube[2];
    ASSERT_EQ(::pipe(tube), 0);
    const pid_t fils = ::fork();
    if (fils == 0) {
        Verrou v = Verrou::Prend(dir.Chemin(), 0ms);
        const char c = v.Tenu() ? 'o' : 'n';
        (void)!::write(tube[1], &c, 1);
        ::pause();
        ::_exit(0);
    }
    char c = 0;
    ASSERT_EQ(::read(tube[0], &c, 1), 1);
    ASSERT_EQ(c, 'o');
    EXPECT_FALSE(Verrou::Prend(dir.Chemin(), 0ms).Tenu());
    ::kill(fils, SIGKILL);
    ::waitpid(fils, nullptr, 0);
    EXPECT_TRUE(Verrou::Prend(dir.Chemin(), 1000ms).Tenu());
    ::close(tube[0]);
    ::close(tube[1]);
}

TEST(Verrou, AFolderThatCannotBeOpenedIsReported) {
    RepertoireTemporaire dir;
    try {
        Verrou::Prend(dir.Fichier("absent"), 0ms);
        FAIL() << "no error";
    } catch (const ErreurSillage& e) {
        EXPECT_EQ(std::string(e.what()), "Impossible d'ouvrir le fichier " + dir.Fichier("absent") +
                                             " : répertoire introuvable");
    }
}

} // namespace
} // namespace sillage
