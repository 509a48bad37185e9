#include "visiteurs/json.h"

#include <cstdint>

namespace sillage {

const ValeurJson* ValeurJson::Membre(std::string_view nom) const {
    for (const auto& [cle, v] : membres) {
        if (cle == nom) {
            return &v;
        }
    }
    return nullptr;
}

namespace {

constexpr int kProfondeurMax = 200;

class Lecteur {
  public:
    explicit Lecteur(std::string_view t) : t_(t) {}

    bool Lit(ValeurJson& v) {
        Blancs();
        if (!Valeur(v, 0)) {
            return false;
        }
        Blancs();
        if (i_ != t_.size()) {
            return Echec("la fin des données");
        }
        return true;
    }

    int Ligne() const {
        int n = 1;
        for (std::size_t k = 0; k < i_ && k < t_.size(); ++k) {
            n += t_[k] == '\n';
        }
        return n;
    }
    const std::string& Erreur() const { return erreur_; }

  private:
    bool Echec(const char* attendu) {
        if (erreur_.empty()) {
            erreur_ = attendu;
        }
        return false;
    }
    void Blancs() {
        while (i_ < t_.size() &&
               (t_[i_] == ' ' || t_[i_] == '\t' || t_[i_] == '\n' || t_[i_] == '\r')) {
            ++i_;
        }
    }
    bool Mot(std::string_view m) {
        if (t_.substr(i_, m.size()) != m) {
            return Echec("une valeur");
        }
        i_ += m.size();
        return true;
    }

    bool Valeur(ValeurJson& v, int profondeur) {
        if (profondeur > kProfondeurMax) {
            return Echec("moins de niveaux imbriqués");
        }
        if (i_ >= t_.size()) {
            return Echec("une valeur avant la fin du fichier");
        }
        switch (t_[i_]) {
        case '{':
            return Objet(v, profondeur);
        case '[':
            return Tableau(v, profondeur);
        case '"':
            v.genre = ValeurJson::Genre::Texte;
            return Chaine(v.texte);
        case 't':
            v.genre = ValeurJson::Genre::Booleen, v.booleen = true;
            return Mot("true");
        case 'f':
            v.genre = ValeurJson::Genre::Booleen, v.booleen = false;
            return Mot("false");
        case 'n':
            v.genre = ValeurJson::Genre::Nul;
            return Mot("null");
        default:
            return Nombre(v);
        }
    }

    bool Objet(ValeurJson& v, int profondeur) {
        v.genre = ValeurJson::Genre::Objet;
        ++i_;
        Blancs();
        if (i_ < t_.size() && t_[i_] == '}') {
            ++i_;
            return true;
        }
        for (;;) {
            Blancs();
            if (i_ >= t_.size() || t_[i_] != '"') {
                return Echec("un nom de membre entre guillemets");
            }
            MembreJson m;
            if (!Chaine(m.nom)) {
                return false;
            }
            Blancs();
            if (i_ >= t_.size() || t_[i_] != ':') {
                return Echec("« : » après un nom de membre");
            }
            ++i_;
            Blancs();
            if (!Valeur(m.valeur, profondeur + 1)) {
                return false;
            }
            v.membres.push_back(std::move(m));
            Blancs();
            if (i_ < t_.size() && t_[i_] == ',') {
                ++i_;
                continue;
            }
            if (i_ < t_.size() && t_[i_] == '}') {
                ++i_;
                return true;
            }
            return Echec("« , » ou « } » dans un objet");
        }
    }

    bool Tableau(ValeurJson& v, int profondeur) {
        v.genre = ValeurJson::Genre::Tableau;
        ++i_;
        Blancs();
        if (i_ < t_.size() && t_[i_] == ']') {
            ++i_;
            return true;
        }
        for (;;) {
            Blancs();
            v.elements.emplace_back();
            if (!Valeur(v.elements.back(), profondeur + 1)) {
                return false;
            }
            Blancs();
            if (i_ < t_.size() && t_[i_] == ',') {
                ++i_;
                continue;
            }
            if (i_ < t_.size() && t_[i_] == ']') {
                ++i_;
                return true;
            }
            return Echec("« , » ou « ] » dans un tableau");
        }
    }

    bool Nombre(ValeurJson& v) {
        const std::size_t debut = i_;
        auto chiffres = [&] {
            const std::size_t d = i_;
            while (i_ < t_.size() && t_[i_] >= '0' && t_[i_] <= '9') {
                ++i_;
            }
            return i_ > d;
        };
        if (i_ < t_.size() && t_[i_] == '-') {
            ++i_;
        }
        if (!chiffres()) {
            i_ = debut;
            return Echec("une valeur");
        }
        if (i_ < t_.size() && t_[i_] == '.') {
            ++i_;
            if (!chiffres()) {
                return Echec("des chiffres après le point");
            }
        }
        if (i_ < t_.size() && (t_[i_] == 'e' || t_[i_] == 'E')) {
            ++i_;
            if (i_ < t_.size() && (t_[i_] == '+' || t_[i_] == '-')) {
                ++i_;
            }
            if (!chiffres()) {
                return Echec("des chiffres dans l'exposant");
            }
        }
        v.genre = ValeurJson::Genre::Nombre;
        v.texte = std::string(t_.substr(debut, i_ - debut));
        return true;
    }

    static void AjouteUtf8(std::string& s, std::uint32_t c) {
        if (c < 0x80) {
            s += static_cast<char>(c);
        } else if (c < 0x800) {
            s += static_cast<char>(0xC0 | (c >> 6));
            s += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            s += static_cast<char>(0xE0 | (c >> 12));
            s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            s += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            s += static_cast<char>(0xF0 | (c >> 18));
            s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            s += static_cast<char>(0x80 | (c & 0x3F));
        }
    }

    bool Hexa4(std::uint32_t& c) {
        if (i_ + 4 > t_.size()) {
            return Echec("quatre chiffres hexadécimaux après \\u");
        }
        c = 0;
        for (int k = 0; k < 4; ++k) {
            const char h = t_[i_++];
            c <<= 4;
            if (h >= '0' && h <= '9') {
                c |= static_cast<std::uint32_t>(h - '0');
            } else if (h >= 'a' && h <= 'f') {
                c |= static_cast<std::uint32_t>(h - 'a' + 10);
            } else if (h >= 'A' && h <= 'F') {
                c |= static_cast<std::uint32_t>(h - 'A' + 10);
            } else {
                return Echec("quatre chiffres hexadécimaux après \\u");
            }
        }
        return true;
    }

    bool Chaine(std::string& s) {
        ++i_; // the opening quote
        for (;;) {
            if (i_ >= t_.size()) {
                return Echec("un guillemet fermant");
            }
            const char c = t_[i_++];
            if (c == '"') {
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                return Echec("un caractère de contrôle échappé dans une chaîne");
            }
            if (c != '\\') {
                s += c;
                continue;
            }
            if (i_ >= t_.size()) {
                return Echec("un guillemet fermant");
            }
            const char e = t_[i_++];
            switch (e) {
            case '"':
            case '\\':
            case '/':
                s += e;
                break;
            case 'b':
                s += '\b';
                break;
            case 'f':
                s += '\f';
                break;
            case 'n':
                s += '\n';
                break;
            case 'r':
                s += '\r';
                break;
            case 't':
                s += '\t';
                break;
            case 'u': {
                std::uint32_t u = 0;
                if (!Hexa4(u)) {
                    return false;
                }
                if (u >= 0xD800 && u < 0xDC00 && t_.substr(i_, 2) == "\\u") {
                    i_ += 2;
                    std::uint32_t bas = 0;
                    if (!Hexa4(bas)) {
                        return false;
                    }
                    if (bas >= 0xDC00 && bas < 0xE000) {
                        u = 0x10000 + ((u - 0xD800) << 10) + (bas - 0xDC00);
                    } else {
                        AjouteUtf8(s, 0xFFFD);
                        u = bas;
                    }
                }
                AjouteUtf8(s, u >= 0xD800 && u < 0xE000 ? 0xFFFD : u);
                break;
            }
            default:
                return Echec("un échappement valide après une barre oblique inverse");
            }
        }
    }

    std::string_view t_;
    std::size_t i_ = 0;
    std::string erreur_;
};

} // namespace

bool LitJson(std::string_view texte, ValeurJson& valeur, int& ligne, std::string& erreur) {
    Lecteur l(texte);
    valeur = ValeurJson{};
    if (l.Lit(valeur)) {
        return true;
    }
    ligne = l.Ligne();
    erreur = "on attendait " + l.Erreur();
    return false;
}

} // namespace sillage
