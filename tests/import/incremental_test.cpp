// Scheduled imports of a log that grows, is cut in the middle of a line, rotated, compressed and
// truncated in place: every line is counted once, and the tables are those of the line-by-line
// import of what each run counted. Unreadable lines passed over on request; replays.
#include "import/import.h"
#include "reference.h"
#include "store/base.h"
#include "store/registre.h"
#include "support/gzip.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>

namespace sillage {
namespace {

using test::Contenu;
using test::Ecrit;
using test::Gzip;
using test::MemesTables;
using test::RepertoireTemporaire;

std::string Texte(const std::vector<std::string>& lignes, std::size_t de = 0,
                  std::size_t a = std::string::npos) {
    std::string t;
    for (std::size_t i = de; i < std::min(a, lignes.size()); ++i) {
        t += lignes[i] + "\n";
    }
    return t;
}

const char* const kClasses[] = {"nom.lst", "page.lst", "image.lst", "origine.lst"};

// The fourteen tables compared: the ten that imports never reorder byte for byte, the four
// ranked ones as their rows (their order among rows of equal count depends on how the lines were
// shared out between imports, as the ranking after each import leaves it).
void ExpectMemesComptes(const Base& obtenue, const Base& attendue) {
    for (const EntreeCatalogue& e : Base::Catalogue()) {
        const Table& a = obtenue.*e.table;
        const Table& b = attendue.*e.table;
        if (std::find(std::begin(kClasses), std::end(kClasses), e.fichier) == std::end(kClasses)) {
            EXPECT_TRUE(a == b) << e.fichier;
            continue;
        }
        std::vector<std::string> ra;
        std::vector<std::string> rb;
        for (std::size_t i = 0; i < a.Count(); ++i) {
            ra.emplace_back(a[i]);
        }
        for (std::size_t i = 0; i < b.Count(); ++i) {
            rb.emplace_back(b[i]);
        }
        EXPECT_EQ(ra.back(), rb.back()) << e.fichier; // the counter row, last
        std::sort(ra.begin(), ra.end());
        std::sort(rb.begin(), rb.end());
        EXPECT_EQ(ra, rb) << e.fichier;
    }
}

DemandeImport Nouveau() {
    DemandeImport d;
    d.Mode = ModeImport::Nouveau;
    return d;
}

struct Nuit {
    RepertoireTemporaire dir;
    Base base{dir.Chemin()};
    std::vector<std::string> lignes;
    std::string tout;
    std::int64_t comptees = 0; // lines counted so far, in the log's order
    // What each run counted, imported line by line one run after the other.
    Base reference{dir.Fichier("reference")};

    explicit Nuit(unsigned graine, int n)
        : lignes(test::LignesAleatoires(graine, n)), tout(Texte(lignes)) {
        std::filesystem::create_directory(dir.Fichier("reference"));
        base.InitListes();
        reference.InitListes();
    }

    // One run over the files, oldest first; checks each file's report against the lines.
    void Importe(const std::vector<std::string>& fichiers) {
        for (const std::string& f : fichiers) {
            const CompteRenduImport r = ImporteJournal(base, dir.Fichier(f), Nouveau());
            if (r.Lignes > 0) {
                EXPECT_EQ(r.Illisibles, 0);
                const std::vector<std::string> lot(lignes.begin() + comptees,
                                                   lignes.begin() + comptees + r.Lignes);
                test::ImporteReference(reference, lot);
                comptees += r.Lignes;
            }
        }
    }
};

TEST(Incremental, ALogImportedNightByNightCountsEachLineOnce) {
    for (unsigned graine : {1u, 2u, 3u}) {
        SCOPED_TRACE(graine);
        Nuit nuit(graine, 2400);
        std::mt19937 alea(graine);
        const std::string& tout = nuit.tout;
        auto ecrit = [&](const std::string& f, std::size_t de, std::size_t a) {
            Ecrit(nuit.dir.Fichier(f), tout.substr(de, a - de));
        };
        // Where the live file starts in the whole text, and how far the server has written.
        std::size_t debutVivant = 0;
        std::size_t ecrit0 = 0;
        auto grandit = [&](std::size_t octets) {
            ecrit0 = std::min(tout.size(), ecrit0 + octets);
            ecrit("access.log", debutVivant, ecrit0);
        };
        // The next line boundary at or after p, as a rotation or a truncation happens there.
        auto borne = [&](std::size_t p) {
            const std::size_t lf = tout.find('\n', p == 0 ? 0 : p - 1);
            return lf == std::string::npos ? tout.size() : lf + 1;
        };

        grandit(20000 + alea() % 5000); // cut at any byte, in the middle of a line too
        nuit.Importe({"access.log"});
        grandit(30000 + alea() % 5000);
        nuit.Importe({"access.log"});
        // logrotate: access.log becomes access.log.1; a new access.log is written.
        ecrit0 = borne(ecrit0 + 7000);
        ecrit("access.log.1", debutVivant, ecrit0);
        debutVivant = ecrit0;
        grandit(25000 + alea() % 5000);
        nuit.Importe({"access.log.1", "access.log"});
        // The next night: .1 is compressed into .2.gz, access.log becomes .1, a new one starts.
        Ecrit(nuit.dir.Fichier("access.log.2.gz"), Gzip(Contenu(nuit.dir.Fichier("access.log.1"))));
        std::filesystem::remove(nuit.dir.Fichier("access.log.1"));
        ecrit0 = borne(ecrit0 + 3000);
        ecrit("access.log.1", debutVivant, ecrit0);
        debutVivant = ecrit0;
        grandit(20000 + alea() % 5000);
        nuit.Importe({"access.log.2.gz", "access.log.1", "access.log"});
        // copytruncate: access.log copied to access.log.1, then emptied in place and written on.
        ecrit0 = borne(ecrit0 + 4000);
        ecrit("access.log.1", debutVivant, ecrit0);
        debutVivant = ecrit0;
        ecrit("access.log", debutVivant, debutVivant);
        nuit.Importe({"access.log.1", "access.log"}); // an empty live file: nothing new
        grandit(tout.size());
        nuit.Importe({"access.log.2.gz", "access.log.1", "access.log"});

        // Every line was counted, once.
        EXPECT_EQ(nuit.comptees, static_cast<std::int64_t>(nuit.lignes.size()));
        EXPECT_TRUE(MemesTables(nuit.base, nuit.reference));
        RepertoireTemporaire seul;
        Base entiere(seul.Chemin());
        entiere.InitListes();
        test::ImporteReference(entiere, nuit.lignes);
        ExpectMemesComptes(nuit.base, entiere);

        // A run with nothing new changes no byte of the store.
        nuit.base.SauveListes();
        std::string avant;
        for (const std::string_view f : Base::NomsFichiers()) {
            avant += Contenu(nuit.dir.Fichier(std::string(f)));
        }
        nuit.base.Modifie = 0;
        for (const char* f : {"access.log.2.gz", "access.log.1", "access.log"}) {
            const CompteRenduImport r = ImporteJournal(nuit.base, nuit.dir.Fichier(f), Nouveau());
            EXPECT_EQ(r.Lignes, 0) << f;
            EXPECT_TRUE(r.Connu) << f;
            EXPECT_FALSE(r.Change);
        }
        EXPECT_EQ(nuit.base.Modifie, 0);
        nuit.base.SauveListes();
        std::string apres;
        for (const std::string_view f : Base::NomsFichiers()) {
            apres += Contenu(nuit.dir.Fichier(std::string(f)));
        }
        EXPECT_EQ(apres, avant);
    }
}

TEST(Incremental, ALastLineWithoutItsEndWaitsAndAWholeImportCountsIt) {
    Nuit nuit(7, 10);
    const std::string& tout = nuit.tout;
    // Inside a line, after its status: cut there, the line still reads (without its referrer).
    const std::size_t milieu = tout.find(" 100 \"", tout.find('\n', tout.size() / 2)) + 6;
    Ecrit(nuit.dir.Fichier("a.log"), tout.substr(0, milieu));
    CompteRenduImport r = ImporteJournal(nuit.base, nuit.dir.Fichier("a.log"), Nouveau());
    const auto avant = static_cast<std::int64_t>(
        std::count(tout.begin(), tout.begin() + static_cast<std::ptrdiff_t>(milieu), '\n'));
    EXPECT_EQ(r.Lignes, avant);
    EXPECT_EQ(r.Plage.Fin, static_cast<std::int64_t>(tout.rfind('\n', milieu) + 1));

    // Whole, the cut line counts as it stands (as a log read whole always counts its last line);
    // its rest, written later, is then passed over by the next incremental run.
    Nuit entiere(7, 10);
    Ecrit(entiere.dir.Fichier("a.log"), tout.substr(0, milieu));
    r = ImporteJournal(entiere.base, entiere.dir.Fichier("a.log"), DemandeImport{});
    EXPECT_EQ(r.Lignes, avant + 1);
    EXPECT_EQ(r.Plage.Fin, static_cast<std::int64_t>(milieu));
    Ecrit(entiere.dir.Fichier("a.log"), tout);
    r = ImporteJournal(entiere.base, entiere.dir.Fichier("a.log"), Nouveau());
    EXPECT_TRUE(r.Connu);
    EXPECT_EQ(r.DejaComptees, avant + 1);
    EXPECT_EQ(r.Lignes, static_cast<std::int64_t>(nuit.lignes.size()) - avant - 1);
    EXPECT_EQ(LitRegistre(entiere.base.ListeRegistre[0]).Lignes,
              static_cast<std::int64_t>(nuit.lignes.size()));

    // A CR LF cut between its two bytes: the LF is not taken for an empty line.
    Nuit crlf(8, 6);
    std::string texte;
    for (const std::string& l : crlf.lignes) {
        texte += l + "\r\n";
    }
    const std::size_t cr = texte.find('\n', texte.size() / 2); // just after a CR
    Ecrit(crlf.dir.Fichier("b.log"), texte.substr(0, cr));
    ImporteJournal(crlf.base, crlf.dir.Fichier("b.log"), Nouveau());
    Ecrit(crlf.dir.Fichier("b.log"), texte);
    ImporteJournal(crlf.base, crlf.dir.Fichier("b.log"), Nouveau());
    RepertoireTemporaire seul;
    Base attendue(seul.Chemin());
    attendue.InitListes();
    test::ImporteReference(attendue, crlf.lignes);
    EXPECT_EQ(LitRegistre(crlf.base.ListeRegistre[0]).Lignes, 6);
    ExpectMemesComptes(crlf.base, attendue);
}

TEST(Incremental, UnreadableFirstLinesWaitForAWholeLineThatGivesTheNumberOfFields) {
    // A first line that cannot be counted by its own number of fields, then a line with an
    // extra leading field: once that line is whole, the log's number of fields is 4, by which
    // the first line reads too. Imported while the second line is being written, the first
    // must wait rather than be passed over.
    const std::string premiere =
        "a [x - - [01/Jan/2004:00:00:00 +0100] \"GET /a HTTP/1.0\" 200 1 \"-\" \"A\"";
    const std::string seconde = "site 1.2.3.5 - - [01/Jan/2004:00:00:05 +0100] \"GET /b "
                                "HTTP/1.0\" 200 1 \"-\" \"A\"";
    const std::string tout = premiere + "\n" + seconde + "\n";
    DemandeImport demande;
    demande.IgnoreIllisibles = true;
    RepertoireTemporaire entier;
    Ecrit(entier.Fichier("a.log"), tout);
    Base base(entier.Chemin());
    base.InitListes();
    const CompteRenduImport r = ImporteJournal(base, entier.Fichier("a.log"), demande);
    ASSERT_EQ(r.Illisibles, 0);

    RepertoireTemporaire morceaux;
    Base nuit(morceaux.Chemin());
    nuit.InitListes();
    demande.Mode = ModeImport::Nouveau;
    Ecrit(morceaux.Fichier("a.log"), tout.substr(0, premiere.size() + 10));
    EXPECT_EQ(ImporteJournal(nuit, morceaux.Fichier("a.log"), demande).Lignes, 0);
    Ecrit(morceaux.Fichier("a.log"), tout);
    EXPECT_EQ(ImporteJournal(nuit, morceaux.Fichier("a.log"), demande).Lignes, 2);
    EXPECT_TRUE(MemesTables(nuit, base));
}

TEST(Incremental, ALogRewrittenOrUnknownIsImportedWholeAsANewLog) {
    Nuit nuit(4, 200);
    Ecrit(nuit.dir.Fichier("a.log"), Texte(nuit.lignes, 0, 150));
    CompteRenduImport r = ImporteJournal(nuit.base, nuit.dir.Fichier("a.log"), Nouveau());
    EXPECT_FALSE(r.Connu);
    EXPECT_FALSE(r.Reecrit);
    EXPECT_EQ(r.Lignes, 150);
    // Same beginning, but a line before the recorded end changed: the log was rewritten.
    std::vector<std::string> autres = nuit.lignes;
    autres[120] = autres[121];
    Ecrit(nuit.dir.Fichier("a.log"), Texte(autres, 0, 200));
    r = ImporteJournal(nuit.base, nuit.dir.Fichier("a.log"), Nouveau());
    EXPECT_FALSE(r.Connu);
    EXPECT_TRUE(r.Reecrit);
    EXPECT_EQ(r.Lignes, 200);
    EXPECT_EQ(r.DejaComptees, 0);
    ASSERT_EQ(nuit.base.ListeRegistre.Count(), 1u); // the row of that beginning, replaced
    EXPECT_EQ(LitRegistre(nuit.base.ListeRegistre[0]).Lignes, 200);
    // Shorter than the recorded end (truncated): a new log too.
    Ecrit(nuit.dir.Fichier("a.log"), Texte(autres, 0, 100));
    r = ImporteJournal(nuit.base, nuit.dir.Fichier("a.log"), Nouveau());
    EXPECT_TRUE(r.Reecrit);
    EXPECT_EQ(r.Lignes, 100);
}

TEST(Incremental, UnreadableLinesPassedOverLeaveTheTablesOfTheLogWithoutThem) {
    const std::vector<std::string> lignes = test::LignesAleatoires(5, 300);
    std::vector<std::string> abimees = lignes;
    // Damaged lines slipped in, the first one at the very start.
    const std::vector<std::pair<std::size_t, std::string>> damages = {
        {0, std::string(40, '\0')},
        {10, ""},
        {50, "pas une ligne de journal"},
        {100, lignes[99].substr(0, 30)},
        {150, "10.0.0.1 - - [01/Mars/2004:10:00:00 +0100] \"GET / HTTP/1.1\" 200 1 \"-\" \"A\""},
        {200, "10.0.0.1 - - [32/Mar/2004:10:00:00 +0100] \"GET / HTTP/1.1\" 200 1 \"-\" \"A\""},
        {250, "10.0.0.1 - - [01/Mar/2004:1x:00:00 +0100] \"GET / HTTP/1.1\" 200 1 \"-\" \"A\""},
        {260, lignes[259] + std::string(3, '\0')},
    };
    for (auto it = damages.rbegin(); it != damages.rend(); ++it) {
        abimees.insert(abimees.begin() + static_cast<std::ptrdiff_t>(it->first), it->second);
    }
    RepertoireTemporaire dir;
    Ecrit(dir.Fichier("a.log"), Texte(abimees));
    Base base(dir.Chemin());
    base.InitListes();
    const Base avant = base;
    // Without the option the first one stops the import, and nothing changes; it is the log's
    // first line, which is no access-log line, but other lines could be counted.
    try {
        ImporteJournal(base, dir.Fichier("a.log"), DemandeImport{});
        ADD_FAILURE() << "no error";
    } catch (const ErreurLigne& e) {
        EXPECT_EQ(std::string(e.what()),
                  dir.Fichier("a.log") + " ne ressemble pas à un journal d'accès (ligne 1)");
        EXPECT_TRUE(e.LignesComptables);
    }
    EXPECT_TRUE(MemesTables(base, avant));

    DemandeImport demande;
    demande.IgnoreIllisibles = true;
    const CompteRenduImport r = ImporteJournal(base, dir.Fichier("a.log"), demande);
    EXPECT_EQ(r.Illisibles, static_cast<std::int64_t>(damages.size()));
    EXPECT_EQ(r.PremiereIllisible, 1);
    EXPECT_EQ(r.Lignes, static_cast<std::int64_t>(abimees.size()));
    RepertoireTemporaire seul;
    Base attendue(seul.Chemin());
    attendue.InitListes();
    test::ImporteReference(attendue, lignes);
    EXPECT_TRUE(MemesTables(base, attendue));

    // A stored row that does not convert still stops the import.
    base.ListeNom.Remplace(0, "\\1;0\\2;10.0.0.1\\3;x\\4;d\\5;");
    base.ReconstruitIndex();
    const Base abimee = base;
    EXPECT_THROW(ImporteJournal(base, dir.Fichier("a.log"), demande), ErreurSillage);
    EXPECT_TRUE(MemesTables(base, abimee));
}

TEST(Incremental, AReplayCountsTheSameBytesOrTellsThatTheLogChanged) {
    const std::vector<std::string> lignes = test::LignesAleatoires(6, 120);
    RepertoireTemporaire dir;
    Ecrit(dir.Fichier("a.log"), Texte(lignes, 0, 50));
    Base base(dir.Chemin());
    base.InitListes();
    ImporteJournal(base, dir.Fichier("a.log"), DemandeImport{});
    Ecrit(dir.Fichier("a.log"), Texte(lignes, 0, 120));
    Base temoin = base;
    const CompteRenduImport r = ImporteJournal(temoin, dir.Fichier("a.log"), Nouveau());
    EXPECT_EQ(r.Lignes, 70);

    // The same range again, on the tables as they were: the same tables.
    DemandeImport rejeu;
    rejeu.Mode = ModeImport::Plage;
    rejeu.Plage = r.Plage;
    Base rejouee = base;
    const CompteRenduImport r2 = ImporteJournal(rejouee, dir.Fichier("a.log"), rejeu);
    EXPECT_EQ(r2.Plage, r.Plage);
    EXPECT_TRUE(MemesTables(rejouee, temoin));
    EXPECT_TRUE(rejouee.ListeRegistre == temoin.ListeRegistre);
    // The same text compressed: the bytes are checked, then counted, in one opening of the file.
    Ecrit(dir.Fichier("a.log.gz"), Gzip(Texte(lignes, 0, 120)));
    Base compresse = base;
    EXPECT_EQ(ImporteJournal(compresse, dir.Fichier("a.log.gz"), rejeu).Plage, r.Plage);
    EXPECT_TRUE(MemesTables(compresse, temoin));

    // A byte changed inside the range: the replay is refused, the tables untouched.
    std::string change = Texte(lignes, 0, 120);
    change[change.size() - 100] ^= 1;
    Ecrit(dir.Fichier("a.log"), change);
    Base refusee = base;
    EXPECT_THROW(ImporteJournal(refusee, dir.Fichier("a.log"), rejeu), ErreurJournalChange);
    EXPECT_TRUE(MemesTables(refusee, base));
    // Shorter than the range: refused too.
    Ecrit(dir.Fichier("a.log"), Texte(lignes, 0, 60));
    EXPECT_THROW(ImporteJournal(refusee, dir.Fichier("a.log"), rejeu), ErreurJournalChange);
}

TEST(Incremental, WhatTheRegisterKnowsOfALog) {
    const std::vector<std::string> lignes = test::LignesAleatoires(9, 80);
    RepertoireTemporaire dir;
    Base base(dir.Chemin());
    base.InitListes();
    Ecrit(dir.Fichier("a.log"), Texte(lignes, 0, 30));
    EXPECT_FALSE(ConsulteRegistre(base, dir.Fichier("a.log")).Connu);
    ImporteJournal(base, dir.Fichier("a.log"), DemandeImport{});
    EtatRegistre e = ConsulteRegistre(base, dir.Fichier("a.log"));
    EXPECT_TRUE(e.Connu);
    EXPECT_EQ(e.Ligne.Lignes, 30);
    EXPECT_EQ(e.LignesNouvelles, 0);
    // Grown by 50 lines and half a line, then compressed under another name: still that log.
    Ecrit(dir.Fichier("a.log.1.gz"), Gzip(Texte(lignes, 0, 80) + lignes[0].substr(0, 9)));
    e = ConsulteRegistre(base, dir.Fichier("a.log.1.gz"));
    EXPECT_TRUE(e.Connu);
    EXPECT_EQ(e.LignesNouvelles, 50);
    EXPECT_EQ(e.Ligne.Nom, dir.Fichier("a.log"));
}

} // namespace
} // namespace sillage
