#include "store/date_compacte.h"

namespace sillage {

namespace {

inline bool Chiffre(char c) {
    return c >= '0' && c <= '9';
}
inline unsigned Deux(const char* p) {
    return (p[0] - '0') * 10u + (p[1] - '0');
}

// Fields of the packed value, from the low bits: second, minute, hour, day (7 bits each,
// 0-99), month (4 bits, 1-12), year (14 bits, 0-9999).
constexpr int kSeconde = 0, kMinute = 7, kHeure = 14, kJour = 21, kMoisBit = 28, kAnnee = 32;

inline unsigned Champ(DateCompacte d, int decalage, unsigned masque) {
    return static_cast<unsigned>(d >> decalage) & masque;
}

} // namespace

bool CompacteDate(std::string_view t, DateCompacte& date) {
    if (t.size() != 20 || t[2] != '/' || t[6] != '/' || t[11] != ':' || t[14] != ':' ||
        t[17] != ':') {
        return false;
    }
    for (int i : {0, 1, 7, 8, 9, 10, 12, 13, 15, 16, 18, 19}) {
        if (!Chiffre(t[i])) {
            return false;
        }
    }
    const int mois = MoisVersNumero(t.substr(3, 3));
    if (mois == 0) {
        return false;
    }
    const DateCompacte annee = Deux(&t[7]) * 100u + Deux(&t[9]);
    date = (annee << kAnnee) | (DateCompacte(mois) << kMoisBit) |
           (DateCompacte(Deux(&t[0])) << kJour) | (DateCompacte(Deux(&t[12])) << kHeure) |
           (DateCompacte(Deux(&t[15])) << kMinute) | (DateCompacte(Deux(&t[18])) << kSeconde);
    return true;
}

void AjouteDateCompacte(std::string& s, DateCompacte d) {
    char t[20];
    auto deux = [&](int i, unsigned v) {
        t[i] = static_cast<char>('0' + v / 10);
        t[i + 1] = static_cast<char>('0' + v % 10);
    };
    deux(0, Champ(d, kJour, 127));
    t[2] = '/';
    const std::string_view mois = kNomsMois[Champ(d, kMoisBit, 15) - 1];
    t[3] = mois[0];
    t[4] = mois[1];
    t[5] = mois[2];
    t[6] = '/';
    const unsigned annee = Champ(d, kAnnee, 16383);
    deux(7, annee / 100);
    deux(9, annee % 100);
    t[11] = ':';
    deux(12, Champ(d, kHeure, 127));
    t[14] = ':';
    deux(15, Champ(d, kMinute, 127));
    t[17] = ':';
    deux(18, Champ(d, kSeconde, 127));
    s.append(t, 20);
}

RDate DecompacteDate(DateCompacte d) {
    RDate r;
    r.Jour = static_cast<std::uint8_t>(Champ(d, kJour, 127));
    r.Mois = static_cast<std::uint8_t>(Champ(d, kMoisBit, 15));
    r.NomMois = kNomsMois[r.Mois - 1];
    r.Annee = static_cast<std::int32_t>(Champ(d, kAnnee, 16383));
    r.Heure = static_cast<std::uint8_t>(Champ(d, kHeure, 127));
    r.Minute = static_cast<std::uint8_t>(Champ(d, kMinute, 127));
    r.Seconde = static_cast<std::uint8_t>(Champ(d, kSeconde, 127));
    return r;
}

} // namespace sillage
