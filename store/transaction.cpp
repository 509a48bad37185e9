#include "store/transaction.h"

#include "store/confiance.h"
#include "store/erreur.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace sillage {

namespace {

constexpr std::string_view kEnTete = "Sillage transaction 1";

// The reason errno gives, or none when no call set it (a test's disk may fail without one).
std::string Raison(int erreur) {
    return erreur == 0 ? std::string() : RaisonSysteme(erreur);
}
constexpr std::size_t kLettresTemporaire = 6;

bool EstAlphanumerique(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// True when nom is base + "." + six letters or digits: a temporary file of base.
bool EstTemporaireDe(std::string_view nom, std::string_view base) {
    if (nom.size() != base.size() + 1 + kLettresTemporaire || !nom.starts_with(base) ||
        nom[base.size()] != '.') {
        return false;
    }
    return std::all_of(nom.begin() + static_cast<std::ptrdiff_t>(base.size()) + 1, nom.end(),
                       EstAlphanumerique);
}

bool EstAncienDe(std::string_view nom, std::string_view base) {
    return nom.size() == base.size() + kSuffixeAncien.size() && nom.starts_with(base) &&
           nom.ends_with(kSuffixeAncien);
}

// The folder of a name relative to the store folder ("" for a name of the folder itself,
// "periodes/2024/" for "periodes/2024/nom.lst").
std::string DossierDe(std::string_view nom) {
    const std::size_t barre = nom.rfind('/');
    return barre == std::string_view::npos ? std::string() : std::string(nom.substr(0, barre + 1));
}

// Permission bits for a new file: those of the regular file it replaces, else the usual ones.
mode_t ModeVoulu(Disque& disque, const std::string& chemin) {
    struct stat st;
    if (disque.Etat(chemin, st) && S_ISREG(st.st_mode)) {
        return st.st_mode & 07777;
    }
    const mode_t masque = ::umask(022);
    ::umask(masque);
    return 0666 & ~masque;
}

// Whether something is at chemin: 1 yes, 0 no, -1 when the disk cannot tell (an I/O error).
int Existe(Disque& disque, const std::string& chemin) {
    struct stat st;
    if (disque.Etat(chemin, st)) {
        return 1;
    }
    return errno == ENOENT ? 0 : -1;
}

// The owner of the folder when it is not given: every file of the store belongs to it.
Proprietaire ProprietaireDe(const std::string& dossier, Proprietaire p) {
    struct stat st;
    if (p.uid == static_cast<uid_t>(-1) && ::stat(dossier.c_str(), &st) == 0) {
        p = {st.st_uid, st.st_gid};
    }
    return p;
}

// Writes the lines of table, each followed by CR LF: the table's bytes as they are held, in
// pieces of a few megabytes.
bool EcritLignes(Disque& disque, int fd, const Table& table) {
    constexpr std::size_t kMorceau = 8 << 20;
    const std::string_view octets = table.Fichier();
    for (std::size_t fait = 0; fait < octets.size(); fait += kMorceau) {
        const std::size_t n = std::min(kMorceau, octets.size() - fait);
        if (!disque.Ecrit(fd, octets.data() + fait, n)) {
            return false;
        }
    }
    return true;
}

// One step of a transaction file: the file source renamed over cible, or (source empty) cible
// removed.
struct Operation {
    std::string source;
    std::string cible;
};

std::string TexteTransaction(const std::vector<Operation>& operations) {
    std::string texte(kEnTete);
    texte += '\n';
    for (const Operation& o : operations) {
        texte += o.source.empty() ? "S " + o.cible : "R " + o.source + " " + o.cible;
        texte += '\n';
    }
    texte += "fin " + std::to_string(operations.size()) + "\n";
    return texte;
}

// Reads a transaction file's text; false when it is not a whole one whose every name is known
// (connu), or one of their temporaries or old copies.
bool LitTransaction(std::string_view texte, const NomConnu& connu,
                    std::vector<Operation>& operations) {
    auto sourceDe = [&](std::string_view source, std::string_view cible) {
        return EstTemporaireDe(source, cible) || EstAncienDe(source, cible);
    };
    std::vector<std::string_view> lignes;
    while (!texte.empty()) {
        const std::size_t fin = texte.find('\n');
        if (fin == std::string_view::npos) {
            return false; // cut short
        }
        lignes.push_back(texte.substr(0, fin));
        texte.remove_prefix(fin + 1);
    }
    if (lignes.size() < 2 || lignes.front() != kEnTete ||
        lignes.back() != "fin " + std::to_string(lignes.size() - 2)) {
        return false;
    }
    for (std::size_t i = 1; i + 1 < lignes.size(); ++i) {
        const std::string_view l = lignes[i];
        if (l.starts_with("S ") && connu(l.substr(2))) {
            operations.push_back({"", std::string(l.substr(2))});
            continue;
        }
        const std::size_t espace = l.find(' ', 2);
        if (!l.starts_with("R ") || espace == std::string_view::npos) {
            return false;
        }
        const std::string_view source = l.substr(2, espace - 2);
        const std::string_view cible = l.substr(espace + 1);
        if (!connu(cible) || !sourceDe(source, cible)) {
            return false;
        }
        operations.push_back({std::string(source), std::string(cible)});
    }
    return true;
}

// Carries out the operations of a decided transaction; an operation already carried out (its source
// gone) is passed over. Raises the creation error naming the file it could not replace.
void Execute(Disque& disque, const std::string& dossier, const std::vector<Operation>& operations,
             const Proprietaire& proprietaire) {
    // Every file the change brings in is checked before anything is done.
    for (const Operation& o : operations) {
        struct stat st;
        if (!o.source.empty() && disque.Etat(dossier + o.source, st) &&
            !FichierDe(st, proprietaire)) {
            LeveFichierEtranger(dossier + o.source);
        }
    }
    std::set<std::string> dossiers = {dossier};
    for (const Operation& o : operations) {
        const std::string cible = dossier + o.cible;
        dossiers.insert(dossier + DossierDe(o.cible));
        if (o.source.empty()) {
            // A file that cannot be removed keeps its content, as a reset leaves it.
            disque.Supprime(cible);
        } else if (Existe(disque, dossier + o.source) != 0 &&
                   !disque.Renomme(dossier + o.source, cible)) {
            LeveErreurCreation(cible, Raison(errno));
        }
    }
    for (const std::string& d : dossiers) {
        if (!disque.SynchroniseDossier(d)) {
            LeveErreurCreation(dossier + std::string(kFichierTransaction), Raison(errno));
        }
    }
}

// Writes a transaction file whole under a temporary name, then renames it in place: it is seen
// whole or not at all. False with errno set when it could not be made durable.
bool DecideTransaction(Disque& disque, const std::string& dossier,
                       const std::vector<Operation>& operations) {
    const std::string fichier = dossier + std::string(kFichierTransaction);
    std::string temporaire = fichier + ".XXXXXX";
    const int fd = disque.CreeTemporaire(temporaire);
    if (fd < 0) {
        return false;
    }
    const std::string texte = TexteTransaction(operations);
    errno = 0;
    bool ok = disque.Ecrit(fd, texte.data(), texte.size()) && disque.Synchronise(fd);
    int erreur = ok ? 0 : errno;
    ok = disque.Ferme(fd) && ok;
    if (ok && !disque.Renomme(temporaire, fichier)) {
        ok = false;
    }
    if (!ok) {
        erreur = erreur != 0 ? erreur : errno;
        disque.Supprime(temporaire);
        errno = erreur;
        return false;
    }
    return disque.SynchroniseDossier(dossier);
}

// Removes the transaction file, then makes that durable.
bool OublieTransaction(Disque& disque, const std::string& dossier) {
    return disque.Supprime(dossier + std::string(kFichierTransaction)) &&
           disque.SynchroniseDossier(dossier);
}

std::string AvecSeparateur(std::string dossier) {
    if (dossier.empty() || dossier.back() != '/') {
        dossier += '/';
    }
    return dossier;
}

} // namespace

std::optional<std::string_view> NomDeReste(std::string_view nom) {
    if (nom.size() > 1 + kLettresTemporaire) {
        const std::string_view base = nom.substr(0, nom.size() - 1 - kLettresTemporaire);
        if (EstTemporaireDe(nom, base)) {
            return base;
        }
    }
    if (nom.size() > kSuffixeAncien.size() && nom.ends_with(kSuffixeAncien)) {
        return nom.substr(0, nom.size() - kSuffixeAncien.size());
    }
    return std::nullopt;
}

// The threads that write a transaction's files while its caller goes on: two, each taking the
// next file to write, so that the copy of the bytes into the system's cache and the waits for the
// disk of several files overlap.
class Transaction::Ecrivains {
  public:
    explicit Ecrivains(Disque& disque) : disque_(disque) {}
    ~Ecrivains() { Attend(); }

    // Writes table to fd, makes it durable and closes fd; the failure is kept under rang.
    void Ajoute(std::size_t rang, int fd, const Table& table) {
        {
            const std::lock_guard<std::mutex> garde(mutex_);
            travaux_.push_back({rang, fd, &table});
        }
        signal_.notify_one();
        if (fils_.size() < kFils) {
            fils_.emplace_back([this] { Travaille(); });
        }
    }
    // Waits until every file is written; answers the failures, (rang, errno), in rang order.
    std::vector<std::pair<std::size_t, int>> Attend() {
        {
            const std::lock_guard<std::mutex> garde(mutex_);
            fin_ = true;
        }
        signal_.notify_all();
        for (std::thread& f : fils_) {
            f.join();
        }
        fils_.clear();
        fin_ = false;
        std::sort(echecs_.begin(), echecs_.end());
        return std::exchange(echecs_, {});
    }

  private:
    static constexpr std::size_t kFils = 2;
    struct Travail {
        std::size_t rang;
        int fd;
        const Table* table;
    };

    void Travaille() {
        for (;;) {
            Travail t;
            {
                std::unique_lock<std::mutex> verrou(mutex_);
                signal_.wait(verrou, [&] { return fin_ || !travaux_.empty(); });
                if (travaux_.empty()) {
                    return;
                }
                t = travaux_.front();
                travaux_.pop_front();
            }
            errno = 0;
            bool ok = EcritLignes(disque_, t.fd, *t.table) && disque_.Synchronise(t.fd);
            int erreur = ok ? 0 : errno;
            ok = disque_.Ferme(t.fd) && ok;
            if (!ok) {
                erreur = erreur != 0 ? erreur : errno;
                const std::lock_guard<std::mutex> garde(mutex_);
                echecs_.emplace_back(t.rang, erreur);
            }
        }
    }

    Disque& disque_;
    std::mutex mutex_;
    std::condition_variable signal_;
    std::deque<Travail> travaux_;
    std::vector<std::thread> fils_;
    std::vector<std::pair<std::size_t, int>> echecs_;
    bool fin_ = false;
};

Transaction::Transaction(std::string dossier, Disque& disque, Proprietaire proprietaire)
    : dossier_(AvecSeparateur(std::move(dossier))), disque_(disque),
      proprietaire_(ProprietaireDe(dossier_, proprietaire)) {}

Transaction::~Transaction() {
    if (!finie_ && !decidee_) {
        Abandonne();
    }
}

void Transaction::Abandonne() {
    if (ecrivains_) {
        ecrivains_->Attend();
    }
    for (const Remplacement& r : remplacements_) {
        disque_.Supprime(r.temporaire);
    }
    remplacements_.clear();
    finie_ = true;
}

void Transaction::Echoue(const std::string& nom, const std::string& raison) {
    Abandonne();
    LeveErreurCreation(nom, raison);
}

int Transaction::OuvreTemporaire(std::string_view nom) {
    const std::string final = Chemin(nom);
    AssureDossiers(nom);
    // A final name held by a directory, say, could not be replaced: refuse before it matters.
    struct stat st;
    if (disque_.Etat(final, st) && !S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) {
        Echoue(final, RaisonPasFichier(st.st_mode));
    }
    std::string temporaire = final + ".XXXXXX";
    const int fd = disque_.CreeTemporaire(temporaire);
    if (fd < 0) {
        Echoue(final, Raison(errno));
    }
    remplacements_.push_back({final, temporaire});
    // A file written by root in another user's store is that user's, as the folder is.
    const bool autre = ::geteuid() == 0 && proprietaire_.uid != 0;
    errno = 0;
    if (!disque_.FixeDroits(fd, ModeVoulu(disque_, final),
                            autre ? proprietaire_.uid : static_cast<uid_t>(-1),
                            proprietaire_.gid)) {
        const int erreur = errno;
        disque_.Ferme(fd);
        Echoue(final, Raison(erreur));
    }
    return fd;
}

void Transaction::Remplace(std::string_view nom, const Table& table) {
    if (table.CopieDe(Chemin(nom))) {
        return; // the file holds these bytes already
    }
    const int fd = OuvreTemporaire(nom);
    errno = 0;
    bool ok = EcritLignes(disque_, fd, table) && disque_.Synchronise(fd);
    const int erreur = ok ? 0 : errno;
    ok = disque_.Ferme(fd) && ok;
    if (!ok) {
        Echoue(Chemin(nom), Raison(erreur != 0 ? erreur : errno));
    }
}

void Transaction::RemplaceEnFond(std::string_view nom, const Table& table) {
    if (&disque_ != &Disque::Systeme()) {
        Remplace(nom, table);
        return;
    }
    if (table.CopieDe(Chemin(nom))) {
        return;
    }
    const int fd = OuvreTemporaire(nom);
    if (!ecrivains_) {
        ecrivains_ = std::make_unique<Ecrivains>(disque_);
    }
    ecrivains_->Ajoute(remplacements_.size() - 1, fd, table);
}

void Transaction::AttendEcrivains() {
    if (!ecrivains_) {
        return;
    }
    const auto echecs = ecrivains_->Attend();
    if (!echecs.empty()) {
        // A copy: the failure forgets the replacements.
        const std::string nom = remplacements_[echecs.front().first].final;
        Echoue(nom, Raison(echecs.front().second));
    }
}

void Transaction::AssureDossiers(std::string_view nom) {
    // Each folder of the name that is missing is made, for the owner alone, and its entry made
    // durable in its parent before the change is decided: a temporary that the transaction file
    // names is then found after any crash.
    for (std::size_t barre = nom.find('/'); barre != std::string_view::npos;
         barre = nom.find('/', barre + 1)) {
        const std::string dossier = Chemin(nom.substr(0, barre));
        struct stat st;
        if (disque_.Etat(dossier, st)) {
            if (!S_ISDIR(st.st_mode)) {
                Echoue(Chemin(nom), Raison(ENOTDIR));
            }
            continue;
        }
        const bool autre = ::geteuid() == 0 && proprietaire_.uid != 0;
        if (!disque_.CreeDossier(dossier, 0700, autre ? proprietaire_.uid : static_cast<uid_t>(-1),
                                 proprietaire_.gid) ||
            !disque_.SynchroniseDossier(dossier_ + DossierDe(nom.substr(0, barre)))) {
            Echoue(Chemin(nom), Raison(errno));
        }
    }
}

void Transaction::Supprime(std::string_view nom) {
    suppressions_.push_back(Chemin(nom));
}

bool Transaction::SynchroniseDossiers() {
    std::set<std::string> dossiers = {dossier_};
    for (const Remplacement& r : remplacements_) {
        dossiers.insert(dossier_ + DossierDe(r.final.substr(dossier_.size())));
    }
    for (const std::string& s : suppressions_) {
        dossiers.insert(dossier_ + DossierDe(s.substr(dossier_.size())));
    }
    return std::all_of(dossiers.begin(), dossiers.end(),
                       [&](const std::string& d) { return disque_.SynchroniseDossier(d); });
}

void Transaction::EcritFichierTransaction() {
    std::vector<Operation> operations;
    for (const Remplacement& r : remplacements_) {
        operations.push_back(
            {r.temporaire.substr(dossier_.size()), r.final.substr(dossier_.size())});
    }
    for (const std::string& s : suppressions_) {
        operations.push_back({"", s.substr(dossier_.size())});
    }
    if (!DecideTransaction(disque_, dossier_, operations)) {
        const int erreur = errno;
        disque_.Supprime(dossier_ + std::string(kFichierTransaction));
        Echoue(dossier_ + std::string(kFichierTransaction), Raison(erreur));
    }
    decidee_ = true;
}

bool Transaction::Defait(std::size_t k) {
    // The old files come back under their names and the files that were new go, decided by a
    // transaction file of its own, so that a crash on the way still ends all old or all new.
    std::vector<Operation> operations;
    for (std::size_t j = 0; j < remplacements_.size(); ++j) {
        const std::string nom = remplacements_[j].final.substr(dossier_.size());
        if (anciens_[j]) {
            operations.push_back({nom + std::string(kSuffixeAncien), nom});
        } else if (j < k && !existait_[j]) {
            operations.push_back({"", nom});
        }
    }
    try {
        if (!DecideTransaction(disque_, dossier_, operations)) {
            return false;
        }
        Execute(disque_, dossier_, operations, proprietaire_);
    } catch (const ErreurSillage&) {
        return false;
    }
    if (!OublieTransaction(disque_, dossier_)) {
        return false;
    }
    // A rename between two names of one file does nothing: the old copies of the files that
    // were not replaced yet are still there.
    for (std::size_t j = 0; j < remplacements_.size(); ++j) {
        disque_.Supprime(remplacements_[j].temporaire);
        if (anciens_[j]) {
            disque_.Supprime(remplacements_[j].final + std::string(kSuffixeAncien));
        }
    }
    return true;
}

void Transaction::EchoueApresDecision(std::size_t k, const std::string& nom) {
    const int erreur = errno;
    finie_ = true;
    // When neither way can be completed the transaction file stays, and the next holder of the lock
    // finishes the change.
    Defait(k);
    LeveErreurCreation(nom, Raison(erreur));
}

void Transaction::Valide() {
    if (finie_) {
        return;
    }
    AttendEcrivains();
    EcritFichierTransaction();
    const std::size_t n = remplacements_.size();
    existait_.assign(n, false);
    anciens_.assign(n, false);
    // Every old file first gets a second name, kept until the change is complete, so that a
    // rename that fails half-way can put every old file back.
    for (std::size_t i = 0; i < n; ++i) {
        const std::string& final = remplacements_[i].final;
        const int existe = Existe(disque_, final);
        if (existe < 0) {
            // Without knowing whether an old file is there, it could not be put back.
            EchoueApresDecision(0, final);
        }
        existait_[i] = existe == 1;
        if (!existait_[i]) {
            continue;
        }
        const std::string ancien = final + std::string(kSuffixeAncien);
        disque_.Supprime(ancien);
        anciens_[i] = disque_.Lie(final, ancien) || disque_.Renomme(final, ancien);
        if (!anciens_[i]) {
            EchoueApresDecision(0, final);
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (!disque_.Renomme(remplacements_[i].temporaire, remplacements_[i].final)) {
            EchoueApresDecision(i, remplacements_[i].final);
        }
    }
    for (const std::string& s : suppressions_) {
        disque_.Supprime(s);
    }
    finie_ = true;
    // Once every file is in place the change is made; a transaction file left behind by a failure
    // below only repeats it.
    if (SynchroniseDossiers() && OublieTransaction(disque_, dossier_)) {
        for (std::size_t i = 0; i < n; ++i) {
            if (anciens_[i]) {
                disque_.Supprime(remplacements_[i].final + std::string(kSuffixeAncien));
            }
        }
    }
}

void RecupereDossier(const std::string& repertoire, const NomConnu& connu,
                     const std::vector<std::string>& sousDossiers, Disque& disque,
                     Proprietaire proprietaire) {
    const std::string dossier = AvecSeparateur(repertoire);
    proprietaire = ProprietaireDe(dossier, proprietaire);
    const std::string fichier = dossier + std::string(kFichierTransaction);
    std::string texte;
    struct stat st;
    if (disque.LitFichier(fichier, texte, st)) {
        // Only the owner's own transaction file is carried out: one that another user put there
        // would otherwise replace or delete the owner's tables.
        if (!FichierDe(st, proprietaire)) {
            LeveFichierEtranger(fichier);
        }
        std::vector<Operation> operations;
        if (LitTransaction(texte, connu, operations)) {
            Execute(disque, dossier, operations, proprietaire);
        }
        // A transaction file that is not whole was being written when the change stopped: the
        // old files are untouched, and its temporaries go with the others below.
        if (!OublieTransaction(disque, dossier)) {
            LeveErreurCreation(fichier, Raison(errno));
        }
    } else if (errno != ENOENT) {
        if (errno == ELOOP || errno == EINVAL) {
            LeveFichierEtranger(fichier);
        }
        LeveErreurCreation(fichier, Raison(errno));
    }
    // Temporaries and old copies that no transaction file names any more: only the owner's.
    std::vector<std::string> restes;
    std::vector<std::string> dossiers = {""};
    dossiers.insert(dossiers.end(), sousDossiers.begin(), sousDossiers.end());
    for (const std::string& sous : dossiers) {
        std::vector<std::string> contenu;
        if (!disque.Liste(dossier + sous, contenu)) {
            continue;
        }
        for (const std::string& nom : contenu) {
            const std::string relatif = sous + nom;
            const std::optional<std::string_view> de = NomDeReste(relatif);
            const bool reste =
                (sous.empty() && EstTemporaireDe(nom, kFichierTransaction)) || (de && connu(*de));
            if (!reste || !disque.Etat(dossier + relatif, st)) {
                continue;
            }
            if (!FichierDe(st, proprietaire)) {
                LeveFichierEtranger(dossier + relatif);
            }
            restes.push_back(relatif);
        }
    }
    for (const std::string& r : restes) {
        disque.Supprime(dossier + r);
    }
}

} // namespace sillage
