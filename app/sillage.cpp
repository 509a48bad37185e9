// The window program: the main window over a store kept in the program's own directory.
#include "store/base.h"
#include "ui/tfapropos.h"
#include "ui/tfoptions.h"
#include "ui/tfprincip.h"

#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // What Qt draws itself (message-box buttons, the file dialog) reads in French too.
    QTranslator traduction;
    if (traduction.load(QStringLiteral("qtbase_fr"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&traduction);
    }

    sillage::Base base;
    base.FixeRepertoire(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());

    sillage::TFPrincip principale(base);
    sillage::TFApropos apropos;
    sillage::TFOptions options(base);
    principale.FixeDialogues(&apropos, &options);
    principale.show();
    return QApplication::exec();
}
