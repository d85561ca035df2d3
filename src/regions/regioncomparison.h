#pragma once

#include "regions/region.h"

#include <QPointF>
#include <QString>
#include <QVector>

// How one region differs between two region sets as the device holds them: the first of its
// vertex count, a vertex, its alarm point count, in that order.
struct RegionMismatch
{
    enum Kind
    {
        VertexCount,
        Vertex,
        AlarmPoints,
    };

    int group = 0;  // 1..15
    int region = 0; // 1..3
    Kind kind = VertexCount;
    int vertex = 0;             // Vertex: numbered from 1 in angular order
    QPointF pointA, pointB;     // Vertex
    int countA = 0, countB = 0; // VertexCount, AlarmPoints (the alarm count as its set has it)
};

// A region the device holds otherwise than a region file says, and how, in one line.
struct RegionDifference
{
    int group = 0;  // 1..15
    int region = 0; // 1..3
    QString text;   // e.g. "group 3 region 1: 12 vertices on the device, 11 in the file"
};

namespace RegionComparison {

// The regions where `a` and `b` differ once both are written to a device, in sending order
// (group by group, regions 1..3): vertices in angular order and truncated to whole
// millimetres, the alarm point count as one byte. Colours do not travel and are not compared.
QVector<RegionMismatch> mismatches(const RegionStore &a, const RegionStore &b);

// The regions of `device` that differ from what writing `file` leaves on a device, each with
// its first difference as one line. The device's regions are taken as they were read.
QVector<RegionDifference> differences(const RegionStore &device, const RegionStore &file);

} // namespace RegionComparison
