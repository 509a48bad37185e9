// The words the tests of every folder build their data with: log lines, table rows and counter
// rows, tables and table files, a store's files, the message of a failure, a log imported whole,
// and the runs of sillage-import. Rows are written by hand here, independently of the store's
// writers.
#pragma once

#include "import/import.h"
#include "store/base.h"
#include "store/table.h"

#include <string>
#include <vector>

namespace sillage::test {

// One combined-layout log line: host, date (dd/Mon/yyyy:hh:mm:ss, the zone is added), path
// (requested with GET over HTTP/1.1), status, referrer and user agent.
std::string LigneLog(const std::string& hote, const std::string& date, const std::string& page,
                     const std::string& statut = "200", const std::string& origine = "-",
                     const std::string& agent = "Agent/1.0");
// n lines of a log, dates in order, from a few hosts on a few pages (images and downloads among
// them), some with errors, a third of them with a referrer under `site` carrying search words:
// always the same for the same graine, and sharing hosts and pages with any other graine.
std::vector<std::string>
LignesAleatoires(unsigned graine, int n, const std::string& site = "http://moteur.example/cherche");
// Agents of persons and of robots as logs show them: Firefox, Chrome, Googlebot, GPTBot,
// ClaudeBot, "-" and the empty agent.
inline const std::string kAgentFirefox =
    "Mozilla/5.0 (X11; Linux x86_64; rv:120.0) Gecko/20100101 Firefox/120.0";
inline const std::string kAgentChrome =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/120.0.0.0 Safari/537.36";
inline const std::string kAgentGoogle =
    "Mozilla/5.0 (compatible; Googlebot/2.1; +http://www.google.com/bot.html)";
inline const std::string kAgentGpt = "Mozilla/5.0 AppleWebKit/537.36 (KHTML, like Gecko); "
                                     "compatible; GPTBot/1.2; +https://openai.com/gptbot";
inline const std::string kAgentClaude = "Mozilla/5.0 AppleWebKit/537.36 (KHTML, like Gecko; "
                                        "compatible; ClaudeBot/1.0; +claudebot@anthropic.com)";
// The lines (of LigneLog) with each one's agent drawn from agents: always the same for the same
// graine.
std::vector<std::string> AvecAgents(std::vector<std::string> lignes,
                                    const std::vector<std::string>& agents, unsigned graine);
// The bytes of a log file: each line followed by a line feed.
std::string Journal(const std::vector<std::string>& lignes);

// A four-field keyed-table row (nom, page, image, download, origine): id, name, count, date.
std::string Rangee(int id, const std::string& nom, int acces,
                   const std::string& date = "14/Feb/2004:10:11:12");
// A row of erreur.lst.
std::string RangeeErreur(int id, const std::string& chemin, int acces, const std::string& date,
                         const std::string& statut, int ressource);
// A row of lanp.lst: host, item, count, date, kind (1 page, 2 download).
std::string RangeeLanp(int hote, int item, int acces, const std::string& date, int genre);
// The counter row of a keyed table.
std::string Compteur(int id);

// A table holding these lines.
Table TableDe(const std::vector<std::string>& lignes);
// Writes a table file at chemin, every line ended by CR LF.
void EcritTable(const std::string& chemin, const std::vector<std::string>& lignes);
// The names and bytes of the fourteen table files of the store in repertoire ("-" for a file
// that is absent), to compare a store before and after.
std::string FichiersDuStore(const std::string& repertoire);
// True when the fourteen tables of a and b hold the same lines.
bool MemesTables(const Base& a, const Base& b);
// The lines that DecoupeurLignes gives for octets fed `morceau` bytes at a time.
std::vector<std::string> DecoupeParMorceaux(const std::string& octets, std::size_t morceau);

// Imports the log file at chemin into base whole, as the window's "Ouvrir" does (ImporteJournal
// with ModeImport::Entier); answers the number of lines read. Raises as ImporteJournal does.
std::int64_t ImporteFichier(Base& base, const std::string& chemin,
                            const RappelProgression& progression = {});

// The message of the ErreurSillage that f raises, "(no error)" when it raises none.
template <class F> std::string MessageDe(F&& f);

// What a program run answered: its exit status (-1 when it did not exit), its standard output
// and its standard error.
struct Resultat {
    int code = -1;
    std::string sortie;
    std::string erreurs;
};
// Runs a shell command line (with no standard input), the user's cache folder
// (XDG_CACHE_HOME) a temporary one of the test program's own.
Resultat Lance(const std::string& commande);
// Runs the sillage-import program with these arguments (a shell command line's words).
Resultat LanceSillageImport(const std::string& arguments);

} // namespace sillage::test

#include "store/erreur.h"

template <class F> std::string sillage::test::MessageDe(F&& f) {
    try {
        f();
    } catch (const ErreurSillage& e) {
        return e.what();
    }
    return "(no error)";
}
