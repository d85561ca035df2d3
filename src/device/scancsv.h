#pragma once

#include "protocol/linktypes.h"

#include <QString>

// Revolutions as a table: `revolution,angle_deg,distance_mm,x_mm,y_mm`, one row per point in
// frame order. The angle (two decimals, 0 to 360) and the distance are read back from the
// point, which the decoder made from them; x and y have one decimal.
namespace ScanCsv {

QString header();
QString rows(int revolution, const ScanFrames &frames);

} // namespace ScanCsv
