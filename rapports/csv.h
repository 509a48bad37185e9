// CSV as RFC 4180 writes it: fields apart by a separator, a field that holds the separator, a
// double quote or a line break enclosed in double quotes (its double quotes doubled), each record
// ended by CR LF, the column titles first.
#pragma once

#include "rapports/sortie.h"
#include "rapports/tableau.h"

#include <string>
#include <string_view>

namespace sillage {

// How a CSV file is written.
struct FormatCsv {
    char Separateur = ';';
    // The UTF-8 byte-order mark first, by which a spreadsheet knows the encoding.
    bool MarqueOrdre = true;
    // A text cell that a spreadsheet would take for a formula (it begins with =, +, -, @, a tab
    // or a carriage return, and is no number) gets an apostrophe in front: a log's text is
    // chosen by whoever sent the request, and must not run in the user's spreadsheet.
    bool DesarmeFormules = true;
};

// What a French spreadsheet opens without a question: UTF-8 with its mark, ';', the decimal comma
// of the views' texts. The window's exports and sillage-rapport --csv.
inline constexpr FormatCsv kCsvTableur{};
// What analytical engines read: ',' and nothing added to the texts.
inline constexpr FormatCsv kCsvMoteurs{',', false, false};

// Appends one field, UTF-8, quoted when it must be.
void AjouteChampCsv(std::string& ligne, std::string_view utf8, const FormatCsv& format);

// Writes a table as CSV into sortie: the mark, the titles, then each row, every cell shown as
// the window shows it (TexteAffiche).
class EcrivainCsv final : public EcrivainTableau {
  public:
    EcrivainCsv(Sortie& sortie, const FormatCsv& format = kCsvTableur)
        : sortie_(sortie), format_(format) {}
    void Debut(const std::vector<ColonneTableau>& colonnes, std::size_t rangees) override;
    void Rangee(std::span<const std::string_view> cellules) override;
    void Fin() override;

  private:
    Sortie& sortie_;
    FormatCsv format_;
    std::string tampon_;
};

} // namespace sillage
