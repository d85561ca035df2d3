#pragma once

#include "protocol/linktypes.h"
#include "regions/region.h"

#include <QPolygonF>
#include <QRectF>
#include <QVector>

// What one region makes of one revolution.
struct RegionAlarmState
{
    int pointsInside = 0;
    int alarmPoints = 0; // the count as the device holds it (one byte)
    bool alarm = false;

    bool operator==(const RegionAlarmState &other) const
    {
        return pointsInside == other.pointsInside && alarmPoints == other.alarmPoints &&
               alarm == other.alarm;
    }
};

// The three regions of one group, taken as a write would leave them on the device (whole
// millimetres, angular order) and closed through the sensor as the region display draws them,
// against the points of a revolution. The protocol does not report
// the device's own alarm state, so this is the tool's reading of a region set, not the device's
// safety function: a point on a polygon's edge counts as inside, a region alarms with at least
// its alarm point count of points inside (and at least one), and a region of fewer than three
// vertices never alarms.
class AlarmEvaluator
{
public:
    AlarmEvaluator() = default; // no regions: nothing alarms
    explicit AlarmEvaluator(const RegionGroup &group);

    // One state per region, regions 1..3 at indexes 0..2.
    QVector<RegionAlarmState> evaluate(const ScanFrames &revolution) const;
    // The index 0..2 of the first region holding `point`, or -1.
    int regionHolding(const QPointF &point) const;
    // The polygon region `rgnIndex` is evaluated with: the sensor, then its vertices in angular
    // order (empty or as held when it has fewer than three).
    QPolygonF heldPolygon(int rgnIndex) const;

private:
    struct HeldRegion
    {
        QPolygonF polygon;
        QRectF bounds;
        int alarmPoints = 0;
    };

    static bool holds(const HeldRegion &region, const QPointF &point);

    QVector<HeldRegion> m_regions;
};
