#include "import/moteur/progression.h"

#include <algorithm>
#include <cmath>

namespace sillage {

namespace {

// The progress value of line i of n: the integer part, truncated toward zero, of 100·i/n − 1.
int ValeurProgression(std::int64_t i, std::int64_t n) {
    if (n <= 0) {
        return 0;
    }
    const std::int64_t q = (100 * i) / n;
    const std::int64_t reste = (100 * i) % n;
    if (q == 0) {
        return reste == 0 ? -1 : 0;
    }
    return static_cast<int>(std::min<std::int64_t>(q - 1, 100));
}

} // namespace

void SuiviProgression::Ligne(std::int64_t i) {
    if (!rappel_) {
        return;
    }
    // A compressed log's line count is not known ahead: its progress follows the compressed
    // bytes read.
    int v = -1;
    if (total_ >= 0) {
        v = ValeurProgression(i, total_);
    } else if (i > 0) {
        v = static_cast<int>(std::trunc(100.0 * source_.Fraction() - 1.0));
    }
    if (v != derniere_) {
        derniere_ = v;
        rappel_(v);
    }
}

} // namespace sillage
