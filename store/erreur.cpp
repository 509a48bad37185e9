#include "store/erreur.h"

#include <cerrno>
#include <sys/stat.h>

namespace sillage {

namespace {

// Code points of 0x80 to 0x9F in Windows-1252; 0 where the code page defines nothing.
constexpr char16_t kPlage80[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                   0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AjouteUtf8(std::string& s, char32_t c) {
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

std::string Windows1252VersUtf8(std::string_view texte) {
    std::string s;
    s.reserve(texte.size());
    AjouteWindows1252EnUtf8(s, texte);
    return s;
}

void AjouteWindows1252EnUtf8(std::string& s, std::string_view texte) {
    for (unsigned char c : texte) {
        if (c < 0x80) {
            s += static_cast<char>(c);
        } else if (c < 0xA0) {
            char16_t u = kPlage80[c - 0x80];
            AjouteUtf8(s, u ? u : 0xFFFD);
        } else {
            AjouteUtf8(s, c);
        }
    }
}

void LeveErreurEntier(std::string_view texte) {
    throw ErreurSillage("'" + Windows1252VersUtf8(texte) +
                        "' n'est pas une valeur entière correcte");
}

std::string RaisonSysteme(int erreur) {
    switch (erreur) {
    case ENOENT:
        return "fichier introuvable";
    case EACCES:
    case EPERM:
        return "permission refusée";
    case EISDIR:
        return "c'est un répertoire";
    case ENOTDIR:
        return "une partie du chemin n'est pas un répertoire";
    case ELOOP:
        return "trop de liens symboliques";
    case ENAMETOOLONG:
        return "nom trop long";
    case EIO:
        return "erreur d'entrée-sortie";
    case ENOMEM:
        return "mémoire insuffisante";
    case ENOSPC:
    case EDQUOT:
        return "disque plein";
    case EROFS:
        return "système de fichiers en lecture seule";
    case EMFILE:
    case ENFILE:
        return "trop de fichiers ouverts";
    default:
        return "erreur système " + std::to_string(erreur);
    }
}

std::string RaisonSysteme(int erreur, std::string_view chemin) {
    std::string raison = RaisonSysteme(erreur);
    if ((erreur == EACCES || erreur == EPERM) && chemin.starts_with("/var/log/")) {
        raison += " ; les journaux de /var/log se lisent en étant membre du groupe adm";
    }
    return raison;
}

std::string RaisonPasFichier(unsigned mode) {
    return S_ISDIR(mode) ? RaisonSysteme(EISDIR) : "ce n'est pas un fichier ordinaire";
}

namespace {

std::string AvecRaison(std::string message, std::string_view raison) {
    if (!raison.empty()) {
        message += " : ";
        message += raison;
    }
    return message;
}

} // namespace

void LeveErreurOuverture(std::string_view fichier, std::string_view raison) {
    throw ErreurSillage(
        AvecRaison("Impossible d'ouvrir le fichier " + std::string(fichier), raison));
}

void LeveErreurCreation(std::string_view fichier, std::string_view raison) {
    throw ErreurSillage(
        AvecRaison("Impossible de créer le fichier " + std::string(fichier), raison));
}

void LeveErreurIndice(std::int64_t indice) {
    throw ErreurSillage("Indice de liste hors limites (" + std::to_string(indice) + ")");
}

void LeveErreurLecture(std::int64_t ligne) {
    throw ErreurSillage("Erreur à la lecture du fichier (ligne " + std::to_string(ligne) + ")");
}

} // namespace sillage
