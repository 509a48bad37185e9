// The date of one hit, read from the access log's date text.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace sillage {

struct RDate {
    std::uint8_t Jour = 0;
    std::uint8_t Mois = 0; // 1 to 12; 0 when the name is not one of the twelve abbreviations
    std::string NomMois;
    std::int32_t Annee = 0;
    std::uint8_t Heure = 0;
    std::uint8_t Minute = 0;
    std::uint8_t Seconde = 0;
    bool operator==(const RDate&) const = default;
};

// The twelve month abbreviations of the log's dates, January first.
inline constexpr std::array<std::string_view, 12> kNomsMois = {
    "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Month number 1 to 12 of an English abbreviation ("Jan" to "Dec", exact case), 0 otherwise.
int MoisVersNumero(std::string_view mois);

// Reads day/month name/year:hour:minute:second (14/Feb/2004:10:11:12). Each number goes through
// ConvertitEntier, whose error stops the reading; day, hour, minute and second are kept as bytes,
// as converted, with no range test.
RDate LitDate(std::string_view texte);

// The same reading; also tells whether the date can be counted in the calendar tables: a month
// name of the table, a day 1 to 31 and an hour 0 to 23 (tested before they become bytes).
RDate LitDate(std::string_view texte, bool& comptable);

} // namespace sillage
