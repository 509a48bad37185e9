// Charts tab: the yearly and monthly bar charts on PaintBox1.
#include "ui/tfprincip.h"

namespace sillage {

void TFPrincip::LBListAnneeClick() {}
void TFPrincip::LBListMoisClick() {}
void TFPrincip::PaintBox1Paint(QPainter&) {}
void TFPrincip::DessineAxes(QPainter&) {}
void TFPrincip::DessineAnnee(QPainter&, int) {}
void TFPrincip::DessineMois(QPainter&, int) {}

} // namespace sillage
