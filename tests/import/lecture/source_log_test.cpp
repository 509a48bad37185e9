#include "import/import.h"
#include "import/lecture/source_log.h"
#include "store/erreur.h"
#include "support/gzip.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace sillage {
namespace {

using test::Contenu;
using test::DecoupeParMorceaux;
using test::Ecrit;
using test::FichiersDuStore;
using test::Gzip;
using test::ImporteFichier;
using test::RepertoireTemporaire;

TEST(DecoupeurLignes, SameLinesWhateverThePieces) {
    const std::string octets = "a\r\nbb\rccc\n\nd\r\r\ne\r";
    const std::vector<std::string> attendu = {"a", "bb", "ccc", "", "d", "", "e"};
    for (std::size_t morceau : {1u, 2u, 3u, 5u, 1000u}) {
        EXPECT_EQ(DecoupeParMorceaux(octets, morceau), attendu) << morceau;
    }
    // A NUL byte stays in its line (the import takes that line as unreadable).
    EXPECT_EQ(DecoupeParMorceaux(std::string("x\ny\0z\nw", 7), 1),
              (std::vector<std::string>{"x", std::string("y\0z", 3), "w"}));
    EXPECT_EQ(DecoupeParMorceaux("", 4), std::vector<std::string>{});
    // A line far longer than a piece, within the limit.
    const std::string longue(kLongueurMaxLigne, 'x');
    EXPECT_EQ(DecoupeParMorceaux(longue + "\r\nfin", 1 << 16),
              (std::vector<std::string>{longue, "fin"}));
}

// Bytes fed to a cutter whose lines may be longer than longueurMax, `morceau` at a time: what it
// gives of each line, which must be the line's bytes when it is not too long, and its first and
// last kOctetsQueue bytes when it is; the offsets, queues and flags agree with the bytes.
std::vector<std::string> Coupees(const std::string& octets, std::size_t longueurMax,
                                 std::size_t morceau) {
    DecoupeurLignes d(longueurMax);
    std::size_t lu = 0;
    std::vector<std::string> lignes;
    std::string_view ligne;
    std::int64_t debut = 0;
    while (d.Suivante(ligne, [&](char* p, std::size_t max) {
        const std::size_t n = std::min({max, morceau, octets.size() - lu});
        std::memcpy(p, octets.data() + lu, n);
        lu += n;
        return n;
    })) {
        const std::size_t fin = octets.find_first_of("\r\n", static_cast<std::size_t>(debut));
        const std::string vraie = octets.substr(static_cast<std::size_t>(debut),
                                                (fin == std::string::npos ? octets.size() : fin) -
                                                    static_cast<std::size_t>(debut));
        EXPECT_EQ(d.DerniereTropLongue(), vraie.size() > longueurMax) << vraie.size();
        EXPECT_EQ(ligne,
                  d.DerniereTropLongue() && vraie.size() > 2 * kOctetsQueue
                      ? vraie.substr(0, kOctetsQueue) + vraie.substr(vraie.size() - kOctetsQueue)
                      : vraie);
        EXPECT_EQ(d.Position(), debut + d.LongueurAvecFin());
        debut = d.Position();
        const auto p = static_cast<std::size_t>(debut);
        const std::size_t q = std::min(p, kOctetsQueue);
        EXPECT_EQ(d.Queue(), octets.substr(p - q, q));
        lignes.emplace_back(ligne);
    }
    EXPECT_EQ(static_cast<std::size_t>(debut), octets.size());
    return lignes;
}

TEST(DecoupeurLignes, ALineLongerThanTheLimitIsGivenCutShort) {
    std::string longue(50000, 'y');
    for (std::size_t i = 0; i < longue.size(); i += 7) {
        longue[i] = static_cast<char>('a' + i % 26);
    }
    longue[30000] = '\0';
    const std::string octets =
        "avant\n" + longue + "\r\n" + std::string(9000, 'z') + "\rapres\r" + longue;
    for (std::size_t morceau : {1000u, 4096u, 65536u, 1u << 20}) {
        SCOPED_TRACE(morceau);
        const std::vector<std::string> lignes = Coupees(octets, 20000, morceau);
        ASSERT_EQ(lignes.size(), 5u);
        EXPECT_EQ(lignes[0], "avant");
        EXPECT_EQ(lignes[2], std::string(9000, 'z')); // longer than two queues, not than the limit
        EXPECT_EQ(lignes[3], "apres");
    }
    // One byte at a time, and a limit below the two ends kept: the whole line, told too long.
    EXPECT_EQ(Coupees("12345678\nabc\n", 4, 1), (std::vector<std::string>{"12345678", "abc"}));

    // A quarter of a gigabyte of zeros without a line end: given cut short, its length told.
    DecoupeurLignes d;
    std::int64_t reste = 256 << 20;
    std::string_view ligne;
    auto zeros = [&](char* p, std::size_t max) {
        const auto n =
            static_cast<std::size_t>(std::min<std::int64_t>(reste, static_cast<std::int64_t>(max)));
        std::memset(p, 0, n);
        reste -= static_cast<std::int64_t>(n);
        return n;
    };
    ASSERT_TRUE(d.Suivante(ligne, zeros));
    EXPECT_TRUE(d.DerniereTropLongue());
    EXPECT_TRUE(d.DerniereAvecNul());
    EXPECT_EQ(ligne.size(), 2 * kOctetsQueue);
    EXPECT_EQ(d.LongueurAvecFin(), std::int64_t{256} << 20);
    EXPECT_FALSE(d.Suivante(ligne, zeros));
}

// A source moved back and forth gives the lines from where it stands, with the bytes before them
// at hand, as if opened there: a plain log seeks, a compressed one is inflated again.
TEST(SourceJournal, GoesBackAndForthAsIfOpenedThere) {
    RepertoireTemporaire dir;
    std::string texte;
    for (int i = 0; i < 20000; ++i) {
        texte += "ligne " + std::to_string(i) + "\n";
    }
    Ecrit(dir.Fichier("a.log"), texte);
    Ecrit(dir.Fichier("a.log.gz"), Gzip(texte));
    const auto loin = static_cast<std::int64_t>(texte.find("ligne 15000\n"));
    for (const char* f : {"a.log", "a.log.gz"}) {
        SCOPED_TRACE(f);
        const std::unique_ptr<SourceJournal> source = OuvreSourceFichier(dir.Fichier(f));
        std::string_view ligne;
        for (const std::int64_t p : {loin, std::int64_t{7}, loin + 3, std::int64_t{0}}) {
            ASSERT_TRUE(source->PositionneA(p));
            ASSERT_TRUE(source->Suivante(ligne));
            const auto debut = static_cast<std::size_t>(p);
            EXPECT_EQ(ligne, texte.substr(debut, texte.find('\n', debut) - debut));
            const auto fin = static_cast<std::size_t>(source->Position());
            const std::size_t queue = fin - std::min<std::size_t>(fin, kOctetsQueue);
            EXPECT_EQ(source->Queue(), texte.substr(queue, fin - queue));
        }
        EXPECT_FALSE(source->PositionneA(static_cast<std::int64_t>(texte.size()) + 1));
    }
}

std::string Journal(int lignes) {
    std::vector<std::string> v;
    for (int i = 0; i < lignes; ++i) {
        v.push_back(test::LigneLog("10.0.0." + std::to_string(i % 50),
                                   "0" + std::to_string(1 + i % 9) +
                                       "/Feb/2004:10:" + std::to_string(10 + i % 50) + ":00",
                                   "/p" + std::to_string(i % 70) + ".html", i % 7 ? "200" : "404",
                                   "http://s.net/?q=" + std::to_string(i % 11)));
    }
    return test::Journal(v);
}

std::string ImporteEtSauve(const RepertoireTemporaire& dir, const std::string& journal) {
    Base base(dir.Chemin());
    base.InitListes();
    try {
        ImporteFichier(base, journal);
    } catch (const ErreurSillage& e) {
        return e.what();
    }
    base.SauveListes();
    return "";
}

TEST(Gzip, ACompressedLogGivesTheSameTables) {
    RepertoireTemporaire plat, compresse, membres;
    const std::string texte = Journal(3000);
    Ecrit(plat.Fichier("acces.log"), texte);
    Ecrit(compresse.Fichier("acces.log.2.gz"), Gzip(texte));
    // Two members one after the other, as concatenated rotations give.
    Ecrit(membres.Fichier("acces.gz"), Gzip(texte.substr(0, 1000)) + Gzip(texte.substr(1000)));
    EXPECT_EQ(ImporteEtSauve(plat, plat.Fichier("acces.log")), "");
    EXPECT_EQ(ImporteEtSauve(compresse, compresse.Fichier("acces.log.2.gz")), "");
    EXPECT_EQ(ImporteEtSauve(membres, membres.Fichier("acces.gz")), "");
    EXPECT_EQ(FichiersDuStore(plat.Chemin()), FichiersDuStore(compresse.Chemin()));
    EXPECT_EQ(FichiersDuStore(plat.Chemin()), FichiersDuStore(membres.Chemin()));
}

TEST(Gzip, ProgressFollowsTheCompressedBytes) {
    RepertoireTemporaire dir;
    Ecrit(dir.Fichier("a.gz"), Gzip(Journal(200)));
    Base base(dir.Chemin());
    base.InitListes();
    std::vector<int> valeurs;
    ImporteFichier(base, dir.Fichier("a.gz"), [&](int v) { valeurs.push_back(v); });
    ASSERT_FALSE(valeurs.empty());
    EXPECT_EQ(valeurs.front(), -1);
    EXPECT_EQ(valeurs.back(), 100);
}

TEST(Gzip, DamagedStreamsStopAtTheLineWhereTheyBreakAndChangeNothing) {
    RepertoireTemporaire dir;
    const std::string texte = Journal(20000);
    const std::string gz = Gzip(texte);
    Ecrit(dir.Fichier("tronque.gz"), gz.substr(0, gz.size() / 2));
    std::string abime = gz;
    for (std::size_t i = gz.size() / 2; i < gz.size() / 2 + 64; ++i) {
        abime[i] = static_cast<char>(abime[i] ^ 0x5A);
    }
    Ecrit(dir.Fichier("abime.gz"), abime);
    Ecrit(dir.Fichier("faux.gz"), "\x1f\x8b pas du tout compresse");
    Ecrit(dir.Fichier("vide.gz"), Gzip(""));

    Base base(dir.Chemin());
    base.InitListes();
    const Base avant = base;
    auto message = [&](const std::string& f) {
        try {
            ImporteFichier(base, dir.Fichier(f));
        } catch (const ErreurSillage& e) {
            return std::string(e.what());
        }
        return std::string("(no error)");
    };
    // Each says which file and what is wrong with it, at the line where it shows.
    const std::string tronque = message("tronque.gz");
    EXPECT_EQ(tronque.rfind("Le fichier compressé " + dir.Fichier("tronque.gz") +
                                " est coupé avant sa fin (ligne ",
                            0),
              0u)
        << tronque;
    // The line number lies in the second half of the log, where the stream stops.
    const long ligne = std::stol(tronque.substr(tronque.find("(ligne ") + 7));
    EXPECT_GT(ligne, 1000);
    EXPECT_LE(ligne, 20000);
    const std::string abimeMessage = message("abime.gz");
    EXPECT_EQ(abimeMessage.rfind(
                  "Le fichier compressé " + dir.Fichier("abime.gz") + " est abîmé (ligne ", 0),
              0u)
        << abimeMessage;
    EXPECT_EQ(message("faux.gz"),
              "Le fichier compressé " + dir.Fichier("faux.gz") +
                  " est abîmé (ligne 1) : ses données ne se décompressent pas.");
    EXPECT_EQ(message("vide.gz"), dir.Fichier("vide.gz") + " est vide");
    for (const EntreeCatalogue& e : Base::Catalogue()) {
        EXPECT_TRUE(avant.*e.table == base.*e.table) << e.fichier;
    }
    EXPECT_EQ(base.Modifie, 0);
}

TEST(SourceFichier, FilesThatCannotBeOpened) {
    RepertoireTemporaire dir;
    Base base(dir.Chemin());
    base.InitListes();
    Ecrit(dir.Fichier("plat"), "");
    for (const auto& [chemin, raison] : std::vector<std::pair<std::string, std::string>>{
             {dir.Fichier("absent.log"), "fichier introuvable"},
             {dir.Chemin(), "c'est un répertoire"},
             {"/dev/null", "ce n'est pas un fichier ordinaire"},
             {dir.Fichier("plat/x"), "une partie du chemin n'est pas un répertoire"}}) {
        EXPECT_EQ(test::MessageDe([&] { ImporteFichier(base, chemin); }),
                  "Impossible d'ouvrir le fichier " + chemin + " : " + raison);
    }
    // What is refused to a user gets its reason, with a hint for the logs of the system.
    EXPECT_EQ(RaisonSysteme(EACCES, "/var/log/apache2/access.log"),
              "permission refusée ; les journaux de /var/log se lisent en étant membre du groupe "
              "adm");
    EXPECT_EQ(RaisonSysteme(EACCES, "/home/a/access.log"), "permission refusée");
    EXPECT_EQ(RaisonSysteme(ENOSPC), "disque plein");
}

} // namespace
} // namespace sillage
