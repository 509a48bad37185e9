// The log read ahead on a second thread gives, over many lots, what the source underneath gives:
// the same lines with their ends, places, queues and NUL marks, the fingerprint of any number of
// them, the lines prepared as the import cuts them, and the same error at the same line.
#include "import/lecture/empreinte.h"
#include "import/lecture/lecture_anticipee.h"
#include "store/erreur.h"
#include "support/gzip.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>

#include <string>

namespace sillage {
namespace {

using test::RepertoireTemporaire;

// Some 4 MiB of lines, with every kind of line end, NUL bytes and tags to neutralise.
std::string GrandJournal() {
    std::string texte;
    for (int i = 0; texte.size() < (4u << 20); ++i) {
        texte += test::LigneLog("h" + std::to_string(i % 977), "14/Feb/2004:10:00:00",
                                "/p" + std::to_string(i % 5000) + (i % 13 == 0 ? "\\3;x" : ""),
                                "200", i % 3 ? "-" : "http://s.net/?q=a+b");
        texte += i % 101 == 0 ? "\r" : (i % 7 == 0 ? "\n" : "\r\n");
        if (i % 10007 == 0) {
            texte += std::string("nul\0ici\n", 8);
        }
    }
    return texte + "sans fin";
}

void ExpectMemeLecture(const std::string& chemin) {
    std::unique_ptr<SourceJournal> temoin = OuvreSourceFichier(chemin);
    std::unique_ptr<SourceJournal> dessous = OuvreSourceFichier(chemin);
    std::string_view ligne, attendue;
    ASSERT_TRUE(dessous->Suivante(ligne));
    ASSERT_TRUE(temoin->Suivante(attendue));
    SourceAnticipee avance(std::move(dessous), ligne, false, 3);
    Empreinte empreinte;
    std::int64_t n = 0;
    std::string keywords, echappement;
    LignePreparee preparee;
    bool encore = true;
    while (encore) {
        ASSERT_TRUE(avance.Suivante(ligne));
        ASSERT_EQ(ligne, attendue) << "ligne " << n + 1;
        ASSERT_EQ(avance.AvecFin(), temoin->AvecFin());
        ASSERT_EQ(avance.Position(), temoin->Position());
        ASSERT_EQ(avance.Queue(), temoin->Queue());
        ASSERT_EQ(avance.QueueAvantDerniere(), temoin->QueueAvantDerniere());
        ASSERT_EQ(avance.DerniereAvecNul(), temoin->DerniereAvecNul());
        PrepareLigne(attendue, 3, preparee, keywords, echappement, nullptr);
        ASSERT_EQ(avance.Preparee()->hit.Page, preparee.hit.Page);
        ASSERT_EQ(avance.Preparee()->hit.Keywords, preparee.hit.Keywords);
        ASSERT_EQ(avance.Preparee()->hHote, preparee.hHote);
        if (n % 4999 == 0) {
            ASSERT_EQ(avance.EmpreinteDes(n), empreinte.Valeur());
        }
        empreinte.Ajoute(temoin->AvecFin());
        ++n;
        if (n % 4999 == 0) {
            ASSERT_EQ(avance.EmpreinteDes(n), empreinte.Valeur());
        }
        encore = temoin->Suivante(attendue);
    }
    EXPECT_FALSE(avance.Suivante(ligne));
    EXPECT_EQ(avance.Position(), temoin->Position());
    EXPECT_EQ(avance.EmpreinteDes(n), empreinte.Valeur());
    EXPECT_GT(n, 40000); // some four lots
}

TEST(SourceAnticipee, ManyLotsGiveWhatTheSourceGives) {
    RepertoireTemporaire dir;
    const std::string texte = GrandJournal();
    test::Ecrit(dir.Fichier("a.log"), texte);
    ExpectMemeLecture(dir.Fichier("a.log"));
    test::Ecrit(dir.Fichier("a.log.gz"), test::Gzip(texte));
    ExpectMemeLecture(dir.Fichier("a.log.gz"));
}

TEST(SourceAnticipee, ADamagedStreamFailsAtTheSameLine) {
    RepertoireTemporaire dir;
    std::string gz = test::Gzip(GrandJournal());
    gz.resize(gz.size() - 100); // cut short
    test::Ecrit(dir.Fichier("a.log.gz"), gz);
    const auto message = [&](bool anticipee) {
        return test::MessageDe([&] {
            std::unique_ptr<SourceJournal> source = OuvreSourceFichier(dir.Fichier("a.log.gz"));
            std::string_view ligne;
            source->Suivante(ligne);
            if (anticipee) {
                source = std::make_unique<SourceAnticipee>(std::move(source), ligne, false, 3);
            }
            while (source->Suivante(ligne)) {
            }
        });
    };
    EXPECT_NE(message(false), "");
    EXPECT_EQ(message(true), message(false));
    // Stopping early leaves nothing running.
    std::unique_ptr<SourceJournal> source = OuvreSourceFichier(dir.Fichier("a.log.gz"));
    std::string_view ligne;
    source->Suivante(ligne);
    SourceAnticipee avance(std::move(source), ligne, false, 3);
    for (int i = 0; i < 10; ++i) {
        avance.Suivante(ligne);
    }
    EXPECT_THROW(avance.VerifieReste(), ErreurSillage);
}

} // namespace
} // namespace sillage
