// Loading (InitListes) and saving (SauveListes) a large store, measured beside a plain read(2) of
// the same files and a plain write and fsync of the same bytes, so that the store's speed can be
// given as a share of the disk's speed on this machine (counter vs_disque: 1 is disk speed). The
// load is also compared with a plain read into fresh memory (vs_memoire), the least that any
// loader keeping the bytes pays.
//
// The store is written once per run into a fresh directory under the temporary directory (TMPDIR
// chooses the disk): nine big tables of 1,000,000 rows each, written by the store's own writers,
// and the small tables as an import leaves them. The "froid" variants first drop the files from
// the page cache (posix_fadvise), so that they measure the disk rather than memory.

#include "donnees_realistes.h"

#include "store/base.h"
#include "store/enregistrements.h"
#include "store/fichiers.h"

#include <benchmark/benchmark.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace sillage;
using namespace sillage::banc;
using Horloge = std::chrono::steady_clock;

constexpr std::size_t kLignes = 1000000;

// Identifier of the row at position i: the ranked tables are sorted by hits, so their ids are
// scattered (a permutation of 0..kLignes-1).
std::int32_t IdentMelange(std::size_t i) {
    return static_cast<std::int32_t>((i * 999983ull + 12345) % kLignes);
}

// Hits of the row at rank i of a table sorted by decreasing hits.
std::int32_t AccesRang(std::size_t i) {
    return static_cast<std::int32_t>(std::max<std::size_t>(1, 400000 / (i + 1)));
}

std::string Compteur(std::size_t n) {
    std::string s = "\\1;";
    AjouteNombre(s, n);
    return s + "\\2;";
}

// A search referrer's query as the import stores it: each parameter in double quotes.
std::string MotsCles(Alea& alea) {
    const std::string referent = ReferentRecherche(alea);
    std::string mots = "\"";
    for (char c : referent.substr(referent.find('?') + 1)) {
        mots += c == '&' ? std::string("\" \"") : c == '+' ? std::string(" ") : std::string(1, c);
    }
    return mots + "\"";
}

void RemplitBase(Base& b) {
    Alea alea(2004);
    auto date = [&] {
        return DateLog(static_cast<int>(alea.Entier(kJoursPeriode)),
                       static_cast<int>(alea.Entier(86400)));
    };
    const Zipf hotes(kLignes, 0.75), items(kLignes, 0.9), origines(2000, 1.0);
    for (Table* t : {&b.ListeNom, &b.ListePage, &b.ListeImage, &b.ListeOrigine, &b.ListeKeyword,
                     &b.ListeDownload, &b.ListeErreur, &b.ListeLanp, &b.ListeLanpSearch}) {
        t->Reserve(kLignes + 1, kLignes * 96);
    }
    for (std::size_t i = 0; i < kLignes; ++i) {
        b.ListeNom.Ajoute(EcritNom({IdentMelange(i), Hote(i, false), AccesRang(i), date()}));
        b.ListePage.Ajoute(EcritPage({IdentMelange(i), Page(i), AccesRang(i), date()}));
        b.ListeImage.Ajoute(EcritPage({IdentMelange(i), Image(i), AccesRang(i), date()}));
        std::string origine = SiteExterne(i);
        origine.resize(std::min(origine.size(), origine.find('?')));
        b.ListeOrigine.Ajoute(EcritOrigine({IdentMelange(i), origine, AccesRang(i), date()}));

        std::string mots = "\\1;";
        AjouteNombre(mots, i), mots += "\\2;", AjouteNombre(mots, origines.Tire(alea));
        mots += "\\3;", mots += MotsCles(alea), mots += "\\4;";
        b.ListeKeyword.Ajoute(mots);

        const auto ident = static_cast<std::int32_t>(i);
        const auto acces = static_cast<std::int32_t>(1 + alea.Entier(40));
        b.ListeDownload.Ajoute(EcritPage({ident, Download(i), acces, date()}));
        const bool image = alea.Chance(0.6);
        b.ListeErreur.Ajoute(EcritErreur({ident, image ? Image(i) : Page(i), acces, date(),
                                          alea.Chance(0.9) ? "304" : "404",
                                          image ? -2 : IdentMelange(items.Tire(alea))}));

        const auto hote = static_cast<std::int32_t>(hotes.Tire(alea));
        const auto item = static_cast<std::int32_t>(items.Tire(alea));
        const std::int32_t type = alea.Chance(0.03) ? 2 : 1;
        b.ListeLanp.Ajoute(
            EcritLanp({hote, item, static_cast<std::int32_t>(1 + alea.Entier(3)), type, date()}));
        b.ListeLanpSearch.Ajoute(std::to_string(hote) + "-" + std::to_string(item) + "-" +
                                 std::to_string(type));
    }
    for (Table* t : {&b.ListeNom, &b.ListePage, &b.ListeImage, &b.ListeOrigine, &b.ListeKeyword,
                     &b.ListeDownload, &b.ListeErreur}) {
        t->Ajoute(Compteur(kLignes));
    }
    b.ListeNavigateur.Ajoute(Base::kGraine);
    b.ListeChemin.Ajoute(Base::kGraine);
    b.ListeOptions.Ajoute(Base::kOptionParDefaut);
    for (std::int32_t annee : {2003, 2004}) {
        RGraph g;
        g.Annee = annee;
        g.PremierMois = annee == 2003 ? 11 : 1;
        for (int m = 0; m < 12; ++m) {
            const bool actif = annee == 2003 ? m >= 10 : m < 2;
            g.Pages[m] = actif ? 75000 : 0, g.Hits[m] = actif ? 250000 : 0;
            g.Visites[m] = actif ? 17000 : 0;
        }
        g.Maximum = 250000;
        b.ListeGraphMois.Ajoute(EcritGraph(g));
    }
    for (const char* mois : {"Nov", "Dec", "Jan", "Feb"}) {
        RGraphMois g;
        g.Annee = mois[0] == 'N' || mois[0] == 'D' ? 2003 : 2004;
        g.Mois = mois;
        for (int& j : g.Jours) {
            j = static_cast<int>(1500 + alea.Entier(1500));
        }
        for (int& h : g.Heures) {
            h = static_cast<int>(1000 + alea.Entier(5000));
        }
        g.Maximum = 3000;
        b.ListeGraphHeure.Ajoute(EcritGraphMois(g));
    }
}

// The store's directory, written once; removed at exit with what the benchmarks wrote.
class Magasin {
  public:
    static Magasin& Instance() {
        static Magasin m;
        return m;
    }
    ~Magasin() {
        std::error_code e;
        std::filesystem::remove_all(racine_, e);
    }
    std::string Source() const { return racine_ + "/magasin"; }
    std::string Sortie() const { return racine_ + "/sortie"; }
    const std::vector<std::string>& Fichiers() const { return fichiers_; }
    std::uint64_t Octets() const { return octets_; }
    std::uint64_t Lignes() const { return lignes_; }
    // The files' bytes, read once for the plain write.
    const std::vector<std::string>& Contenus() {
        if (contenus_.empty()) {
            for (const std::string& f : fichiers_) {
                contenus_.push_back(LitFichierEntier(f));
            }
        }
        return contenus_;
    }

  private:
    Magasin() {
        std::string modele = (std::filesystem::temp_directory_path() / "sillage-banc-XXXXXX");
        if (::mkdtemp(modele.data()) == nullptr) {
            throw std::runtime_error("Impossible de créer le répertoire " + modele);
        }
        racine_ = modele;
        std::filesystem::create_directory(Source());
        std::filesystem::create_directory(Sortie());
        Base b(Source());
        RemplitBase(b);
        b.SauveListes();
        for (const EntreeCatalogue& e : Base::Catalogue()) {
            fichiers_.push_back(b.CheminFichier(e.fichier));
            octets_ += std::filesystem::file_size(fichiers_.back());
            lignes_ += (b.*e.table).Count();
        }
    }

    std::string racine_;
    std::vector<std::string> fichiers_;
    std::vector<std::string> contenus_;
    std::uint64_t octets_ = 0;
    std::uint64_t lignes_ = 0;
};

// Drops the store's files from the page cache (they are clean: the kernel may discard them).
void VideCache(const std::vector<std::string>& fichiers) {
    for (const std::string& f : fichiers) {
        const int fd = ::open(f.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            ::fdatasync(fd);
            ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
            ::close(fd);
        }
    }
}

void VideSortie() {
    for (const auto& f : std::filesystem::directory_iterator(Magasin::Instance().Sortie())) {
        std::filesystem::remove(f.path());
    }
}

// Seconds per iteration of the plain disk operations, [0] warm and [1] cold for the read; read by
// the store's benchmarks, which run after them, for their vs_disque and vs_memoire counters.
double gLectureDisque[2] = {0, 0};
double gLectureMemoire = 0;
double gEcritureDisque = 0;

double Secondes(Horloge::time_point debut) {
    return std::chrono::duration<double>(Horloge::now() - debut).count();
}

// Rows and bytes per second; when given, the reference's time over ours (1: as fast).
void Compteurs(benchmark::State& state, double secondes, double disque, double memoire = 0) {
    Magasin& m = Magasin::Instance();
    const auto n = static_cast<std::int64_t>(state.iterations());
    state.SetBytesProcessed(n * static_cast<std::int64_t>(m.Octets()));
    state.counters["lignes"] =
        benchmark::Counter(static_cast<double>(n * m.Lignes()), benchmark::Counter::kIsRate);
    const double parIteration = secondes / static_cast<double>(n);
    if (disque > 0 && secondes > 0) {
        state.counters["vs_disque"] = disque / parIteration;
    }
    if (memoire > 0 && secondes > 0) {
        state.counters["vs_memoire"] = memoire / parIteration;
    }
}

void BM_LectureDisque(benchmark::State& state) {
    Magasin& m = Magasin::Instance();
    const bool froid = state.range(0) != 0;
    std::vector<char> tampon(1 << 20);
    double total = 0;
    for (auto _ : state) {
        if (froid) {
            VideCache(m.Fichiers());
        }
        const auto debut = Horloge::now();
        for (const std::string& f : m.Fichiers()) {
            const int fd = ::open(f.c_str(), O_RDONLY | O_CLOEXEC);
            ssize_t n;
            while ((n = ::read(fd, tampon.data(), tampon.size())) > 0) {
                benchmark::DoNotOptimize(tampon.data());
            }
            ::close(fd);
        }
        const double s = Secondes(debut);
        state.SetIterationTime(s);
        total += s;
    }
    gLectureDisque[froid ? 1 : 0] = total / static_cast<double>(state.iterations());
    Compteurs(state, total, 0);
}

// The same read into fresh memory, each file whole, kept until the end of the iteration: what any
// loader that keeps the bytes pays at least (the kernel zeroes and maps every new page).
void BM_LectureEnMemoire(benchmark::State& state) {
    Magasin& m = Magasin::Instance();
    double total = 0;
    for (auto _ : state) {
        std::vector<std::unique_ptr<char[]>> tampons;
        const auto debut = Horloge::now();
        for (const std::string& f : m.Fichiers()) {
            const int fd = ::open(f.c_str(), O_RDONLY | O_CLOEXEC);
            struct stat st;
            ::fstat(fd, &st);
            const auto taille = static_cast<std::size_t>(st.st_size);
            tampons.emplace_back(new char[taille]);
            std::size_t lus = 0;
            ssize_t n;
            while (lus < taille && (n = ::read(fd, tampons.back().get() + lus, taille - lus)) > 0) {
                lus += static_cast<std::size_t>(n);
            }
            benchmark::DoNotOptimize(tampons.back().get());
            ::close(fd);
        }
        const double s = Secondes(debut);
        state.SetIterationTime(s);
        total += s;
    }
    gLectureMemoire = total / static_cast<double>(state.iterations());
    Compteurs(state, total, gLectureDisque[0]);
}

void BM_InitListes(benchmark::State& state) {
    Magasin& m = Magasin::Instance();
    const bool froid = state.range(0) != 0;
    Base b(m.Source());
    double total = 0;
    for (auto _ : state) {
        b.LibereListes();
        if (froid) {
            VideCache(m.Fichiers());
        }
        const auto debut = Horloge::now();
        b.InitListes();
        const double s = Secondes(debut);
        state.SetIterationTime(s);
        total += s;
    }
    if (b.ListeNom.Count() != kLignes + 1) {
        state.SkipWithError("nom.lst relu incomplet");
    }
    Compteurs(state, total, gLectureDisque[froid ? 1 : 0], froid ? 0 : gLectureMemoire);
}

void BM_EcritureDisque(benchmark::State& state) {
    Magasin& m = Magasin::Instance();
    const std::vector<std::string>& contenus = m.Contenus();
    double total = 0;
    for (auto _ : state) {
        VideSortie();
        const auto debut = Horloge::now();
        for (std::size_t k = 0; k < contenus.size(); ++k) {
            const std::string chemin = m.Sortie() + "/" + std::to_string(k);
            const int fd = ::open(chemin.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            const char* p = contenus[k].data();
            std::size_t reste = contenus[k].size();
            while (reste > 0) {
                const ssize_t n = ::write(fd, p, reste);
                if (n < 0 && errno == EINTR) {
                    continue;
                }
                if (n <= 0) {
                    state.SkipWithError("écriture impossible");
                    break;
                }
                p += n, reste -= static_cast<std::size_t>(n);
            }
            ::fsync(fd);
            ::close(fd);
        }
        const double s = Secondes(debut);
        state.SetIterationTime(s);
        total += s;
    }
    VideSortie();
    gEcritureDisque = total / static_cast<double>(state.iterations());
    Compteurs(state, total, 0);
}

void BM_SauveListes(benchmark::State& state) {
    Magasin& m = Magasin::Instance();
    Base b(m.Source());
    b.InitListes();
    b.FixeRepertoire(m.Sortie());
    double total = 0;
    for (auto _ : state) {
        VideSortie();
        const auto debut = Horloge::now();
        b.SauveListes();
        const double s = Secondes(debut);
        state.SetIterationTime(s);
        total += s;
    }
    VideSortie();
    Compteurs(state, total, gEcritureDisque);
}

// The plain disk operations first: the store's benchmarks compare themselves with them.
BENCHMARK(BM_LectureDisque)
    ->ArgName("froid")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3);
BENCHMARK(BM_LectureEnMemoire)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_InitListes)
    ->ArgName("froid")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(8);
BENCHMARK(BM_EcritureDisque)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(8);
BENCHMARK(BM_SauveListes)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(8);

} // namespace

BENCHMARK_MAIN();
