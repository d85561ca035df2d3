#pragma once

#include <QColor>
#include <QMap>
#include <QPointF>
#include <QPolygonF>
#include <QVector>

// One alarm region: a polygon in world millimetres, its drawing colour and alarm point count.
struct Region
{
    QPolygonF polygon;
    QColor color;
    int alarmPointNum = 5;

    bool operator==(const Region &other) const
    {
        return polygon == other.polygon && color == other.color &&
               alarmPointNum == other.alarmPointNum;
    }
};

// Exactly three regions; the index is the region index 0..2.
using RegionGroup = QVector<Region>;
// Keys 1..15, the group index; always all fifteen.
using RegionStore = QMap<int, RegionGroup>;

// Angle in degrees [0, 360), counter-clockwise from +x; pi taken as 3.141592653.
double polarAngle(double x, double y);

namespace Regions {

constexpr int groupCount = 15;
constexpr int regionsPerGroup = 3;
constexpr int maxVertices = 30;

// The content every program start begins with: 15 empty groups, counts 5, default colours.
RegionStore initialStore();
QColor defaultColor(int rgnIndex);

// Sort key that starts at the scan field's right-hand edge: angles >= 315 count as negative.
double angleKey(const QPointF &point);
// The polygon's points in ascending angle key.
QPolygonF sortedByAngle(const QPolygonF &polygon);
// Copy of the store with every region's points in angular order.
RegionStore sortedRegions(const RegionStore &store);
// Inside the scan field: angle not strictly between 225 and 315, distance <= 20000 mm.
bool isPointInRange(const QPointF &point);

} // namespace Regions
