// Infos tab: one page, host, download or referrer cross-referenced against the others.
#include "ui/tfprincip.h"

namespace sillage {

void TFPrincip::BPageClick() {}
void TFPrincip::BNomDClick() {}
void TFPrincip::BDownloadClick() {}
void TFPrincip::BReferentClick() {}
void TFPrincip::LBSearchClick() {}
void TFPrincip::BFiltre2Click() {}
void TFPrincip::EFiltre2KeyUp(int) {}
void TFPrincip::LVAfficheDblClick() {}
void TFPrincip::VLPagesDblClick(int) {}
void TFPrincip::LVIPDblClick(int) {}
void TFPrincip::LVDownloadDblClick(int) {}
void TFPrincip::LVOrigineDblClick(int) {}

} // namespace sillage
