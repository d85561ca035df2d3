#pragma once

#include "regions/region.h"

#include <QString>
#include <QVector>

// A region the device holds otherwise than a region file says, and how, in one line.
struct RegionDifference
{
    int group = 0;  // 1..15
    int region = 0; // 1..3
    QString text;   // e.g. "group 3 region 1: 12 vertices on the device, 11 in the file"
};

namespace RegionComparison {

// The regions of `device` that differ from what writing `file` leaves on a device, in sending
// order (group by group, regions 1..3), each with its first difference: the vertex count, else
// the first differing vertex (numbered from 1 in angular order), else the alarm point count.
// The file is taken as the device keeps it: vertices in angular order and truncated to whole
// millimetres, the alarm point count as one byte. Colours do not travel and are not compared.
QVector<RegionDifference> differences(const RegionStore &device, const RegionStore &file);

} // namespace RegionComparison
