#include "store/manifeste.h"

#include "store/champs.h"
#include "store/enregistrements.h"

#include <charconv>

namespace sillage {

namespace {

// Groups the digits of n by three with a space, as the French write numbers.
std::string Milliers(std::int64_t n) {
    std::string chiffres = std::to_string(n);
    std::string s;
    const std::size_t premier = chiffres.size() % 3 == 0 ? 3 : chiffres.size() % 3;
    for (std::size_t i = 0; i < chiffres.size(); ++i) {
        if (i > 0 && (i - premier) % 3 == 0 && i >= premier) {
            s += ' ';
        }
        s += chiffres[i];
    }
    return s;
}

} // namespace

bool LitManifeste(const Table& table, std::vector<EntreeManifeste>& entrees) {
    entrees.clear();
    for (std::size_t i = 0; i < table.Count(); ++i) {
        LecteurChamps l(table[i]);
        EntreeManifeste e;
        e.Nom = std::string(l.Suivant());
        const std::string_view taille = l.Suivant();
        const std::string_view crc = l.Suivant();
        const auto [pt, et] =
            std::from_chars(taille.data(), taille.data() + taille.size(), e.Taille);
        const auto [pc, ec] = std::from_chars(crc.data(), crc.data() + crc.size(), e.Crc, 16);
        if (e.Nom.empty() || taille.empty() || et != std::errc() ||
            pt != taille.data() + taille.size() || e.Taille < 0 || crc.size() != 8 ||
            ec != std::errc() || pc != crc.data() + crc.size()) {
            return false;
        }
        entrees.push_back(std::move(e));
    }
    return true;
}

Table EcritManifeste(const std::vector<EntreeManifeste>& entrees) {
    Table table;
    std::string ligne;
    for (const EntreeManifeste& e : entrees) {
        ligne = "\\1;" + e.Nom + "\\2;";
        AjouteEntier(ligne, e.Taille);
        ligne += "\\3;";
        char hexa[9];
        for (int i = 7, v = 0; i >= 0; --i, ++v) {
            hexa[i] = "0123456789abcdef"[(e.Crc >> (4 * v)) & 15];
        }
        ligne.append(hexa, 8);
        ligne += "\\4;";
        table.Ajoute(ligne);
    }
    return table;
}

std::string MessageDifferences(const std::string& dossier,
                               const std::vector<DifferenceManifeste>& differences) {
    std::string m = "Les tables de " + dossier +
                    " ont été modifiées depuis leur dernier enregistrement par Sillage :";
    for (const DifferenceManifeste& d : differences) {
        m += "\n- " + d.Nom + " : ";
        if (d.Illisible) {
            m += "le manifeste lui-même ne se lit pas";
        } else if (d.Absent) {
            m += "le fichier manque";
        } else if (d.MemeTaille) {
            m += "le contenu a changé (même taille, " + Milliers(d.TailleTrouvee) + " octets)";
        } else {
            m += Milliers(d.TailleTrouvee) + " octets au lieu de " + Milliers(d.TailleAttendue);
        }
    }
    m += "\nUn arrêt brutal du système peut couper ou remplir de zéros un fichier ; une "
         "modification à la main ou une copie par-dessus le change aussi. Rien n'est enregistré "
         "par-dessus sans votre accord : restaurez les fichiers depuis une sauvegarde, ou "
         "acceptez-les tels qu'ils sont (sillage-import --accepte-modifications, ou « Oui » dans "
         "la fenêtre).";
    return m;
}

} // namespace sillage
