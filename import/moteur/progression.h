// The progress of an import, as the window's bar and the command's bar show it.
#pragma once

#include "import/lecture/source_log.h"

#include <cstdint>
#include <functional>

namespace sillage {

// Told the progress bar's value (the integer part of 100·i/N − 1 for line i of N, then 100 at
// the end) each time that value changes.
using RappelProgression = std::function<void(int valeur)>;

// Tells a progress callback the bar's value for each line, each time the value changes: the
// integer part of 100·i/N − 1 for line i of N when the source knows N, else the part of the
// input read; 100 at the end.
class SuiviProgression {
  public:
    // source has given the first line to count; its Total is asked for only when rappel is set.
    SuiviProgression(const RappelProgression& rappel, const SourceLignes& source)
        : rappel_(rappel), source_(source), total_(rappel ? source.Total() : -1) {}
    // Line i (from 0) of what the import reads is about to be counted.
    void Ligne(std::int64_t i);
    void Fin() {
        if (rappel_) {
            rappel_(100);
        }
    }

  private:
    const RappelProgression& rappel_;
    const SourceLignes& source_;
    std::int64_t total_;
    int derniere_ = INT32_MIN;
};

} // namespace sillage
