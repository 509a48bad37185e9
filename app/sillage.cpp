// The window program: the main window over the store that sillage-import uses too (--dir, else
// the program's own folder when it holds a store, else the user's data folder); logs named on
// the command line are imported once the window is shown, as "Ouvrir" would.
#include "sillage_version.h"
#include "store/base.h"
#include "store/emplacement.h"
#include "store/erreur.h"
#include "ui/dialogues.h"
#include "ui/tfapropos.h"
#include "ui/tfoptions.h"
#include "ui/tfprincip.h"

#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QStringList>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <cstring>
#include <string>

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

} // namespace

int main(int argc, char** argv) {
    // Help and version before Qt starts, so that they need no display.
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            Usage(stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("sillage " SILLAGE_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--dir") == 0) {
            ++i;
        }
    }
    // Qt takes its own options (-platform, -style...) out of argv here.
    QApplication application(argc, argv);
    // What Qt draws itself (message-box buttons, the file dialog) reads in French too.
    QTranslator traduction;
    if (traduction.load(QStringLiteral("qtbase_fr"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&traduction);
    }

    std::string repertoire;
    QStringList fichiers;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--dir" || arg.rfind("--dir=", 0) == 0) {
            if (arg == "--dir" && i + 1 < argc) {
                repertoire = argv[++i];
            } else if (arg != "--dir") {
                repertoire = arg.substr(6);
            }
            if (repertoire.empty()) {
                std::fputs("sillage : --dir attend un répertoire\n", stderr);
                Usage(stderr);
                return 2;
            }
        } else if (arg == "--") {
            for (++i; i < argc; ++i) {
                fichiers << QFile::decodeName(argv[i]);
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "sillage : option inconnue : %s\n", arg.c_str());
            Usage(stderr);
            return 2;
        } else {
            fichiers << QFile::decodeName(argv[i]);
        }
    }

    sillage::Base base;
    try {
        base.FixeRepertoire(sillage::EmplacementBase(repertoire, sillage::DossierProgramme()));
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
