// Error-status tab: the paths that ended in one HTTP error status.
#include "ui/tfprincip.h"

namespace sillage {

void TFPrincip::B400Click() {}

} // namespace sillage
