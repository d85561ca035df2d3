#include "regions/region.h"

#include <QtMath>

#include <algorithm>

double polarAngle(double x, double y)
{
    // Deliberately nine decimals: angle readouts and the region order are defined with this value.
    constexpr double pi = 3.141592653;
    if (x == 0.0)
        return y > 0 ? 90.0 : (y < 0 ? 270.0 : 0.0);
    const double degrees = std::atan(qAbs(y / x)) / pi * 180.0;
    if (y >= 0)
        return x > 0 ? degrees : 180.0 - degrees;
    return x < 0 ? 180.0 + degrees : 360.0 - degrees;
}

namespace Regions {

namespace {

constexpr double rangeLimitMillimetres = 20000.0;

} // namespace

QColor defaultColor(int rgnIndex)
{
    static const QColor colors[regionsPerGroup] = {
        QColor(255, 250, 0, 128), QColor(255, 200, 50, 128), QColor(255, 100, 0, 128)};
    return colors[rgnIndex];
}

RegionStore initialStore()
{
    RegionGroup group;
    for (int rgnIndex = 0; rgnIndex < regionsPerGroup; ++rgnIndex) {
        Region region;
        region.color = defaultColor(rgnIndex);
        group.append(region);
    }
    RegionStore store;
    for (int groupIndex = 1; groupIndex <= groupCount; ++groupIndex)
        store.insert(groupIndex, group);
    return store;
}

double angleKey(const QPointF &point)
{
    const double angle = polarAngle(point.x(), point.y());
    return angle >= 315.0 ? angle - 360.0 : angle;
}

QPolygonF sortedByAngle(const QPolygonF &polygon)
{
    QPolygonF sorted = polygon;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const QPointF &a, const QPointF &b) { return angleKey(a) < angleKey(b); });
    return sorted;
}

RegionStore sortedRegions(const RegionStore &store)
{
    RegionStore sorted = store;
    for (RegionGroup &group : sorted) {
        for (Region &region : group)
            region.polygon = sortedByAngle(region.polygon);
    }
    return sorted;
}

bool isPointInRange(const QPointF &point)
{
    // The blind wedge (225, 315) exclusive is "below both diagonals". Tested on the coordinates
    // because polarAngle's shortened pi puts points exactly on a diagonal a hair inside it.
    const bool inBlindWedge = point.y() < 0 && qAbs(point.x()) < -point.y();
    const double squaredDistance = point.x() * point.x() + point.y() * point.y();
    return !inBlindWedge && squaredDistance <= rangeLimitMillimetres * rangeLimitMillimetres;
}

} // namespace Regions
