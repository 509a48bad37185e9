// Files that appear whole or not at all, and the report's folder replaced in one step.
#include "rapports/dossier_rapport.h"
#include "rapports/sortie.h"

#include "store/erreur.h"
#include "support/repertoire_temporaire.h"
#include "support/vocabulaire.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <set>

namespace sillage {
namespace {

namespace fs = std::filesystem;
using test::Contenu;
using test::Ecrit;
using test::MessageDe;

std::set<std::string> Noms(const std::string& dossier) {
    std::set<std::string> noms;
    for (const auto& e : fs::directory_iterator(dossier)) {
        noms.insert(e.path().filename().string());
    }
    return noms;
}

// The text of a gzip file, its members one after the other.
std::string Decompresse(const std::string& chemin) {
    gzFile f = gzopen(chemin.c_str(), "rb");
    std::string texte;
    char tampon[4096];
    int n;
    while ((n = gzread(f, tampon, sizeof tampon)) > 0) {
        texte.append(tampon, static_cast<std::size_t>(n));
    }
    gzclose(f);
    return texte;
}

TEST(FichierAtomique, TheFileAppearsWholeOnlyWhenFinished) {
    test::RepertoireTemporaire d;
    const std::string chemin = d.Fichier("vue.csv");
    Ecrit(chemin, "ancien");
    {
        FichierAtomique f(chemin);
        f.Ecrit("nou");
        f.Ecrit(std::string(3 << 20, 'v')); // past the buffer: the temporary holds it
        EXPECT_EQ(Contenu(chemin), "ancien");
        EXPECT_EQ(Noms(d.Chemin()).size(), 2u);
        // Given up (an error, an exception): the temporary goes, the old file stays.
    }
    EXPECT_EQ(Contenu(chemin), "ancien");
    EXPECT_EQ(Noms(d.Chemin()), std::set<std::string>({"vue.csv"}));
    {
        FichierAtomique f(chemin);
        f.Ecrit("nouveau");
        f.Termine();
    }
    EXPECT_EQ(Contenu(chemin), "nouveau");
    EXPECT_EQ(Noms(d.Chemin()), std::set<std::string>({"vue.csv"}));
    // Readable as the umask allows, like any file the user makes.
    EXPECT_EQ(fs::status(chemin).permissions() & fs::perms::others_read, fs::perms::others_read);
}

TEST(FichierAtomique, AFileThatCannotBeMadeIsNamed) {
    test::RepertoireTemporaire d;
    EXPECT_EQ(MessageDe([&] { FichierAtomique f(d.Fichier("absent/vue.csv")); }),
              "Impossible de créer le fichier " + d.Fichier("absent/vue.csv") +
                  " : répertoire introuvable");
    // A folder in the file's place: nothing renamed over it.
    fs::create_directory(d.Fichier("dossier"));
    FichierAtomique f(d.Fichier("dossier"));
    f.Ecrit("x");
    EXPECT_NE(MessageDe([&] {
                  f.Termine();
              }).find("Impossible de créer le fichier " + d.Fichier("dossier")),
              std::string::npos);
    EXPECT_TRUE(fs::is_directory(d.Fichier("dossier")));
}

// What follows a mark can be taken back, compressed or not; the marks of a compressed file end
// its members, which read as one text.
TEST(FichierAtomique, MarksTakeBackWhatFollowsThem) {
    test::RepertoireTemporaire d;
    for (bool gzip : {false, true}) {
        const std::string chemin = d.Fichier(gzip ? "hits.csv.gz" : "hits.csv");
        FichierAtomique f(chemin, gzip ? FichierAtomique::Compression::Gzip
                                       : FichierAtomique::Compression::Aucune);
        f.Ecrit("titres\n");
        std::int64_t m = f.Marque();
        f.Ecrit("premier journal\n");
        m = f.Marque();
        f.Ecrit(std::string(2 << 20, 'x')); // a log that fails, past the buffer
        f.RevientA(m);
        f.Ecrit("troisième journal\n");
        f.Termine();
        const std::string texte = gzip ? Decompresse(chemin) : Contenu(chemin);
        EXPECT_EQ(texte, "titres\npremier journal\ntroisième journal\n") << gzip;
    }
}

// The report's folder: made at the first run, replaced whole by the next ones; a run that fails
// leaves the previous report whole, and nothing beside it.
TEST(DossierRapport, ReplacedWholeOrLeftWhole) {
    test::RepertoireTemporaire d;
    const std::string site = d.Fichier("site");
    const auto rapport = [&](const std::string& texte, bool acheve) {
        DossierRapport r(site);
        FichierAtomique page(r.Fichier("index.html"));
        page.Ecrit(texte);
        page.Termine();
        if (acheve) {
            r.Remplace();
        }
    };
    rapport("premier", true);
    EXPECT_EQ(Contenu(site + "/index.html"), "premier");
    EXPECT_EQ(Noms(site), std::set<std::string>({"index.html", std::string(kMarqueRapport)}));
    rapport("second", false);
    EXPECT_EQ(Contenu(site + "/index.html"), "premier");
    rapport("troisième", true);
    EXPECT_EQ(Contenu(site + "/index.html"), "troisième");
    EXPECT_EQ(Noms(d.Chemin()), std::set<std::string>({"site"}));

    // Served through a link: the link stays, the folder it leads to is replaced.
    fs::create_directory_symlink(site, d.Fichier("lien"));
    DossierRapport r(d.Fichier("lien/"));
    Ecrit(r.Fichier("index.html"), "par le lien");
    r.Remplace();
    EXPECT_TRUE(fs::is_symlink(d.Fichier("lien")));
    EXPECT_EQ(Contenu(d.Fichier("lien/index.html")), "par le lien");
    EXPECT_EQ(Noms(d.Chemin()), std::set<std::string>({"site", "lien"}));
}

TEST(DossierRapport, OnlyAReportsFolderIsReplaced) {
    test::RepertoireTemporaire d;
    // A folder of other files (a site's pages): left alone, and said why.
    fs::create_directory(d.Fichier("www"));
    Ecrit(d.Fichier("www/index.html"), "le site");
    const std::string message = MessageDe([&] { DossierRapport r(d.Fichier("www")); });
    EXPECT_EQ(message.rfind("Impossible d'écrire le rapport dans " + d.Fichier("www") +
                                " : il contient d'autres fichiers",
                            0),
              0u)
        << message;
    EXPECT_EQ(Contenu(d.Fichier("www/index.html")), "le site");
    // An empty folder takes a report.
    fs::create_directory(d.Fichier("vide"));
    {
        DossierRapport r(d.Fichier("vide"));
        Ecrit(r.Fichier("index.html"), "x");
        r.Remplace();
    }
    EXPECT_EQ(Contenu(d.Fichier("vide/index.html")), "x");
    // No parent, or a file in the folder's place.
    EXPECT_EQ(MessageDe([&] { DossierRapport r(d.Fichier("absent/site")); }),
              "Impossible d'écrire le rapport dans " + d.Fichier("absent/site") +
                  " : le répertoire " + d.Fichier("absent") + " n'existe pas");
    Ecrit(d.Fichier("fichier"), "");
    EXPECT_EQ(MessageDe([&] { DossierRapport r(d.Fichier("fichier")); }),
              "Impossible d'écrire le rapport dans " + d.Fichier("fichier") +
                  " : ce n'est pas un répertoire");
    EXPECT_EQ(Noms(d.Chemin()), std::set<std::string>({"www", "vide", "fichier"}));
}

} // namespace
} // namespace sillage
