// Shared by the window tests: a main window over a store in a temporary directory.
#pragma once

#include "store/base.h"
#include "support/repertoire_temporaire.h"
#include "ui/dialogues.h"
#include "ui/tfprincip.h"

#include <QAbstractItemModel>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

namespace sillage::test {

struct FenetreDeTest {
    RepertoireTemporaire repertoire;
    Base base{repertoire.Chemin()};
    std::unique_ptr<TFPrincip> fenetre;

    // Writes a table file, every line ended by CR LF.
    void EcritTable(const std::string& fichier, const std::vector<std::string>& lignes) {
        std::string octets;
        for (const std::string& l : lignes) {
            octets += l + "\r\n";
        }
        Ecrit(repertoire.Fichier(fichier), octets);
    }
    // Creates and shows the window, which starts up on the table files.
    TFPrincip& Ouvre() {
        fenetre = std::make_unique<TFPrincip>(base);
        fenetre->show();
        return *fenetre;
    }
};

// A four-field keyed-table row: id, name, count, date.
inline std::string Rangee(int id, const std::string& nom, int acces,
                          const std::string& date = "14/Feb/2004:10:11:12") {
    return "\\1;" + std::to_string(id) + "\\2;" + nom + "\\3;" + std::to_string(acces) + "\\4;" +
           date + "\\5;";
}

inline std::string Compteur(int id) {
    return "\\1;" + std::to_string(id) + "\\2;";
}

// The texts of one column of a model, top to bottom.
inline QStringList Colonne(const QAbstractItemModel& modele, int colonne) {
    QStringList textes;
    for (int r = 0; r < modele.rowCount(); ++r) {
        textes << modele.index(r, colonne).data().toString();
    }
    return textes;
}

} // namespace sillage::test
