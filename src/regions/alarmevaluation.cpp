#include "regions/alarmevaluation.h"

#include "protocol/regionframe.h"

namespace {

constexpr int minimumVertices = 3;
// A point this close to an edge (in millimetres) lies on it: the vertices are whole
// millimetres, the points are not.
constexpr double edgeTolerance = 1e-6;

// Called only for a point within the edge's height (and the tolerance).
bool onSegment(const QPointF &a, const QPointF &b, const QPointF &p)
{
    const double cross = (b.x() - a.x()) * (p.y() - a.y()) - (b.y() - a.y()) * (p.x() - a.x());
    const double squaredLength = QPointF::dotProduct(b - a, b - a);
    if (cross * cross > edgeTolerance * edgeTolerance * qMax(squaredLength, 1.0))
        return false;
    return p.x() >= qMin(a.x(), b.x()) - edgeTolerance &&
           p.x() <= qMax(a.x(), b.x()) + edgeTolerance;
}

} // namespace

AlarmEvaluator::AlarmEvaluator(const RegionGroup &group)
{
    for (int rgnIndex = 0; rgnIndex < group.size(); ++rgnIndex) {
        const Region &region = group.at(rgnIndex);
        const RegionFrame::Content held = RegionFrame::asHeldByDevice(
            {1, rgnIndex + 1, region.alarmPointNum, Regions::sortedByAngle(region.polygon)});
        // Drawn and held as the region display draws it: from the sensor through the vertices
        // and back, which is why operators are told to draw from the origin.
        QPolygonF polygon(held.polygon);
        if (polygon.size() >= minimumVertices)
            polygon.prepend(QPointF(0, 0));
        m_regions.append({polygon, polygon.boundingRect(), held.alarmPointNum});
    }
}

QVector<RegionAlarmState> AlarmEvaluator::evaluate(const ScanFrames &revolution) const
{
    QVector<RegionAlarmState> states(Regions::regionsPerGroup);
    for (const QVector<QPointF> &frame : revolution) {
        for (const QPointF &point : frame) {
            for (int rgnIndex = 0; rgnIndex < m_regions.size(); ++rgnIndex) {
                if (holds(m_regions.at(rgnIndex), point))
                    ++states[rgnIndex].pointsInside;
            }
        }
    }
    for (int rgnIndex = 0; rgnIndex < m_regions.size(); ++rgnIndex) {
        RegionAlarmState &state = states[rgnIndex];
        const HeldRegion &region = m_regions.at(rgnIndex);
        state.alarmPoints = region.alarmPoints;
        state.alarm = region.polygon.size() >= minimumVertices && state.pointsInside > 0 &&
                      state.pointsInside >= region.alarmPoints;
    }
    return states;
}

int AlarmEvaluator::regionHolding(const QPointF &point) const
{
    for (int rgnIndex = 0; rgnIndex < m_regions.size(); ++rgnIndex) {
        if (holds(m_regions.at(rgnIndex), point))
            return rgnIndex;
    }
    return -1;
}

QPolygonF AlarmEvaluator::heldPolygon(int rgnIndex) const
{
    return m_regions.value(rgnIndex).polygon;
}

// Crossing number, with the edges themselves counted as inside.
bool AlarmEvaluator::holds(const HeldRegion &region, const QPointF &point)
{
    const QPolygonF &polygon = region.polygon;
    if (polygon.size() < minimumVertices ||
        !region.bounds.adjusted(-edgeTolerance, -edgeTolerance, edgeTolerance, edgeTolerance)
             .contains(point))
        return false;
    bool inside = false;
    for (int i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const QPointF &a = polygon.at(i);
        const QPointF &b = polygon.at(j);
        // An edge the point is not level with neither holds nor crosses its ray: most edges.
        if (point.y() < qMin(a.y(), b.y()) - edgeTolerance ||
            point.y() > qMax(a.y(), b.y()) + edgeTolerance)
            continue;
        if (onSegment(a, b, point))
            return true;
        if ((a.y() > point.y()) != (b.y() > point.y()) &&
            point.x() < (b.x() - a.x()) * (point.y() - a.y()) / (b.y() - a.y()) + a.x())
            inside = !inside;
    }
    return inside;
}
