// The window program: the main window over the store that sillage-import uses too (--dir, else
// the program's own folder when it holds a store, else the user's data folder); logs named on
// the command line are imported once the window is shown, as "Ouvrir" would.
#include "app/ligne_commande.h"
#include "store/base.h"
#include "store/emplacement.h"
#include "store/erreur.h"
#include "ui/dialogues.h"
#include "ui/identite.h"
#include "ui/tfapropos.h"
#include "ui/tfoptions.h"
#include "ui/tfprincip.h"
#include "visiteurs/classificateur.h"

#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QStringList>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

void Usage(std::FILE* f) {
    std::fputs("Usage : sillage [--dir RÉPERTOIRE] [FICHIER...]\n"
               "\n"
               "Ouvre la fenêtre des statistiques ; chaque journal d'accès FICHIER est importé\n"
               "dès l'ouverture, dans l'ordre donné, comme par la commande Ouvrir.\n"
               "\n"
               "  --dir RÉPERTOIRE  répertoire des tables (par défaut : celui du programme s'il\n"
               "                    contient nom.lst, sinon ~/.local/share/sillage)\n"
               "  --help            affiche cette aide\n"
               "  --version         affiche la version\n",
               f);
}

// The arguments that Qt leaves to the program: Qt's own options (-platform offscreen,
// -style=fusion, -reverse, also written with two dashes) are taken out, with the value that
// follows those that take one. Any other argument of one dash is left to Qt too: what Qt does not
// take, the second reading rejects.
std::vector<const char*> SansOptionsDeQt(int argc, char** argv) {
    static const std::set<std::string> kAvecValeur = {"-platform",
                                                      "-platformpluginpath",
                                                      "-platformtheme",
                                                      "-plugin",
                                                      "-qwindowgeometry",
                                                      "-qwindowicon",
                                                      "-qwindowtitle",
                                                      "-session",
                                                      "-style",
                                                      "-stylesheet",
                                                      "-display",
                                                      "-geometry",
                                                      "-title",
                                                      "-name",
                                                      "-visual",
                                                      "-ncols",
                                                      "-cmap",
                                                      "-fontengine",
                                                      "-dialogs"};
    static const std::set<std::string> kSeules = {"-reverse",      "-widgetcount", "-nograb",
                                                  "-dograb",       "-sync",        "-testability",
                                                  "-qmljsdebugger"};
    std::vector<const char*> reste = {argv[0]};
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--") {
            reste.insert(reste.end(), argv + i, argv + argc);
            break;
        }
        const bool deuxTirets = arg.rfind("--", 0) == 0;
        if (deuxTirets) {
            arg.erase(0, 1);
        }
        const std::string nom = arg.substr(0, arg.find('='));
        const bool deQt = kAvecValeur.count(nom) != 0 || kSeules.count(nom) != 0;
        if (arg.size() > 2 && arg[0] == '-' && (deQt || !deuxTirets)) {
            if (kAvecValeur.count(arg) != 0) {
                ++i; // its value
            }
            continue;
        }
        reste.push_back(argv[i]);
    }
    return reste;
}

// The versions of the lists that tell robots apart, for --version.
std::vector<std::string> VersionsListes() {
    const sillage::VersionsListes v =
        sillage::LitVersionsListes(sillage::FichiersDonnees::ParDefaut());
    return {v.uap, v.robots};
}

} // namespace

int main(int argc, char** argv) {
    const sillage::Programme programme{"sillage", {}, Usage, VersionsListes};
    // The command line is read before Qt starts, so that help, the version and a mistake are
    // answered without a display; it is read again once Qt has taken its own options out.
    {
        const std::vector<const char*> arguments = SansOptionsDeQt(argc, argv);
        sillage::LigneCommande avantQt;
        if (const std::optional<int> code = sillage::LitLigneCommande(
                programme, static_cast<int>(arguments.size()), arguments.data(), avantQt)) {
            return *code;
        }
    }
    // Qt takes its own options (-platform, -style...) out of argv here.
    QApplication application(argc, argv);
    sillage::IdentifieApplication();
    // What Qt draws itself (message-box buttons, the file dialog) reads in French too.
    QTranslator traduction;
    if (traduction.load(QStringLiteral("qtbase_fr"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&traduction);
    }

    // The rest once Qt's own options are out.
    sillage::LigneCommande ligne;
    if (const std::optional<int> code = sillage::LitLigneCommande(programme, argc, argv, ligne)) {
        return *code;
    }
    QStringList fichiers;
    for (const std::string& f : ligne.fichiers) {
        fichiers << QFile::decodeName(f.c_str());
    }

    sillage::Base base;
    try {
        base.FixeRepertoire(
            sillage::EmplacementBase(ligne.repertoire, sillage::DossierProgramme()));
    } catch (const sillage::ErreurSillage& e) {
        // Without its folder the window would have nowhere to keep its tables.
        sillage::Dialogues::Erreur(nullptr, QString::fromUtf8(e.what()));
        return 1;
    }

    sillage::TFPrincip principale(base);
    sillage::TFApropos apropos;
    sillage::TFOptions options(base);
    principale.FixeDialogues(&apropos, &options);
    principale.show();
    if (!fichiers.isEmpty()) {
        // Once the event loop runs, so that the window is on screen while the logs import.
        QTimer::singleShot(0, &principale, [&] { principale.ImporteFichiers(fichiers); });
    }
    return QApplication::exec();
}
