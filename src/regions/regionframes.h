#pragma once

#include "protocol/regionframe.h"
#include "regions/region.h"

#include <QVector>

// The region store as it travels to and from the device: one frame per region.
namespace RegionFrames {

// The 45 frames of a writing: group by group in ascending key order, regions 1..3 within a
// group, each polygon's vertices in angular order.
QVector<RegionFrame::Content> toDevice(const RegionStore &store);
// Puts a frame the device sent into the store: the region's vertices and alarm point count
// (its colour stays). The frame must name a region the store holds.
void store(RegionStore &store, const RegionFrame::Content &frame);

} // namespace RegionFrames
