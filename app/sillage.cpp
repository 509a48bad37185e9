// The window program: the main window over the store that sillage-import uses too (--dir, else
// the program's own folder when it holds a store, else the user's data folder); logs named on
// the command line are imported once the window is shown, as "Ouvrir" would.
#include "app/ligne_commande.h"
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
#include <optional>
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
    const sillage::Programme programme{"sillage", {}, Usage};
    // Help and version before Qt starts, so that they need no display.
    if (const std::optional<int> code = sillage::AideOuVersion(programme, argc, argv)) {
        return *code;
    }
    // Qt takes its own options (-platform, -style...) out of argv here.
    QApplication application(argc, argv);
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
