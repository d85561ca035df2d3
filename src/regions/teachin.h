#pragma once

#include "regions/region.h"

#include <QPointF>
#include <QPolygonF>
#include <QVector>

// Teaching a region from a scan: the free space the sensor sees, pulled in by a margin.
namespace TeachIn {

struct Options
{
    // How far the region stays inside the measured contour, along each ray; at least 1 mm.
    double marginMm = 100;
    // The sector taught, in degrees counter-clockwise from +x within the scan field
    // (-45 to 225); parts outside the field are dropped.
    double startAngleDeg = -45;
    double endAngleDeg = 225;
    int maxVertices = Regions::maxVertices;
};

// The region between the sensor and the contour of `points` (one revolution, world
// millimetres) pulled in by the margin, within the sector. Directions without a point count
// as free to 2 mm short of the 20000 mm range limit. Like every region it is closed through the
// sensor, which is not one of its vertices (the display draws the sensor followed by the vertices
// in angular order). The vertices follow the contour in the tool's angular order, at most
// maxVertices of them, all inside the scan field; no point lies inside the region or on its
// boundary, short of points at the sensor itself. Empty when the sector holds no part of the scan
// field or maxVertices is too few to span it.
QPolygonF regionFromScan(const QVector<QPointF> &points, const Options &options = {});

} // namespace TeachIn
