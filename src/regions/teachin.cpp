#include "regions/teachin.h"

#include <QtMath>

#include <algorithm>
#include <cmath>
#include <limits>

namespace TeachIn {

namespace {

constexpr double fieldStartDeg = -45.0;
constexpr double fieldEndDeg = 225.0;
// The tool's angle readout (polarAngle, with its shortened pi) puts a point exactly on the
// -45 degree edge at 314.99999999 degrees, last in the angular order written to the device;
// vertices keep this far inside the field's edges.
constexpr double edgeGuardDeg = 1e-6;
// The device keeps whole millimetres, rounding each coordinate down, which can move a vertex
// sqrt(2) mm outwards: free directions reach two millimetres short of the 20000 mm limit.
constexpr double reachMm = 20000.0 - 2.0;
// Wider than the coarse resolution's 0.36 degree step, so an empty bin is a ray without echo.
constexpr double finestBinDeg = 0.5;
// Even without a margin points keep this distance, so none lies on the boundary.
constexpr double minimumClearanceMm = 1.0;
// A vertex right at the sensor has no direction (its angle reads 0) and would leave the
// angular order; where a point within the margin pinches the region, it stays this far out.
constexpr double pinchRadiusMm = 0.001;
// How many bins beyond the two it touches an edge looks, on either side, for the lowest limit
// to place a candidate vertex at. More or wider stretches gained little and cost time.
constexpr int stretchReaches[] = {0, 4};
// A chord spanning half a turn or more would pass through or behind the sensor.
constexpr double halfTurnDeg = 180.0;

double cross(const QPointF &a, const QPointF &b)
{
    return a.x() * b.y() - a.y() * b.x();
}

// The angles the contour spans: the sector cut to the scan field.
struct Sector
{
    double from;
    double to;

    double span() const { return to - from; }
};

// Per equal angular bin of the sector, how far out the region may reach: the nearest point
// of the bin less the clearance, or the reach where the bin holds no point.
QVector<double> binLimits(const QVector<QPointF> &points, const Sector &sector, int binCount,
                          double clearance)
{
    QVector<double> limits(binCount, reachMm);
    const double binDeg = sector.span() / binCount;
    for (const QPointF &point : points) {
        // The angle readout is a few billionths of a degree off: points of the sector just
        // outside the contour's angles still bound the outermost bins.
        const double angle = Regions::angleKey(point);
        if (!(angle >= sector.from - edgeGuardDeg && angle <= sector.to + edgeGuardDeg))
            continue;
        const int bin = qBound(0, int((angle - sector.from) / binDeg), binCount - 1);
        const double limit = std::hypot(point.x(), point.y()) - clearance;
        limits[bin] = std::min(limits[bin], std::max(limit, pinchRadiusMm));
    }
    return limits;
}

// A possible vertex on the edge between two bins.
struct Candidate
{
    int edge;
    QPointF point;
};

// Candidate vertices on the bin edges, in edge order. The first on each edge lies as far out
// as both neighbouring bins allow and bounds every chord that passes the edge; the others lie
// at the lowest limit of wider stretches around it, so that a chord can cut straight across
// the front of a rounded obstacle instead of following it vertex by vertex.
QVector<Candidate> edgeCandidates(const QVector<double> &limits, const Sector &sector)
{
    const int binCount = limits.size();
    QVector<Candidate> candidates;
    for (int edge = 0; edge <= binCount; ++edge) {
        const double radians = qDegreesToRadians(sector.from + sector.span() * edge / binCount);
        const QPointF direction(std::cos(radians), std::sin(radians));
        double previousRadius = std::numeric_limits<double>::infinity();
        for (const int reach : stretchReaches) {
            const auto first = limits.cbegin() + qBound(0, edge - 1 - reach, binCount - 1);
            const auto last = limits.cbegin() + qBound(1, edge + 1 + reach, binCount);
            const double radius = *std::min_element(first, last);
            if (radius < previousRadius)
                candidates.append({edge, radius * direction});
            previousRadius = radius;
        }
    }
    return candidates;
}

// For every candidate, the earlier ones a chord may join it to. Along a chord the distance
// from the sensor peaks at the ends of each bin it crosses, so the chord stays within the
// limits if it passes each edge in between no farther out than that edge's first candidate.
// Seen from the chord's start, that holds while the chord's end lies no further clockwise than
// the most counter-clockwise of those candidates.
QVector<QVector<int>> chordsInto(const QVector<Candidate> &candidates, int maxSpanEdges)
{
    QVector<QVector<int>> starts(candidates.size());
    for (int i = 0; i < candidates.size(); ++i) {
        const Candidate &start = candidates[i];
        QPointF bound;
        bool bounded = false; // no edge passed yet
        for (int j = i + 1;
             j < candidates.size() && candidates[j].edge <= start.edge + maxSpanEdges; ++j) {
            const Candidate &end = candidates[j];
            if (end.edge == start.edge)
                continue;
            const QPointF direction = end.point - start.point;
            const bool withinBound = !bounded || cross(bound, direction) >= 0;
            if (withinBound)
                starts[j].append(i);
            if (withinBound && candidates[j - 1].edge != end.edge) {
                bound = direction;
                bounded = true;
            }
        }
    }
    return starts;
}

// The chain of at most maxChords chords from the first edge to the last that encloses the
// largest area with the sensor, as candidate indexes; empty if there is none.
QVector<int> widestChain(const QVector<Candidate> &candidates, const QVector<QVector<int>> &starts,
                         int maxChords)
{
    constexpr double unreachable = -std::numeric_limits<double>::infinity();
    const int lastEdge = candidates.last().edge;
    QVector<double> area(candidates.size(), unreachable);
    for (int i = 0; candidates[i].edge == 0; ++i)
        area[i] = 0;
    QVector<QVector<int>> predecessors; // per chain length, each candidate's best predecessor
    double bestArea = unreachable;
    int bestEnd = -1;
    int bestLength = 0;
    for (int length = 1; length <= std::min(maxChords, lastEdge); ++length) {
        QVector<double> longerArea(candidates.size(), unreachable);
        QVector<int> predecessor(candidates.size(), -1);
        for (int j = 0; j < candidates.size(); ++j) {
            for (const int i : starts[j]) {
                const double enclosed =
                    area[i] + cross(candidates[i].point, candidates[j].point) / 2;
                if (enclosed > longerArea[j]) {
                    longerArea[j] = enclosed;
                    predecessor[j] = i;
                }
            }
        }
        predecessors.append(predecessor);
        area = longerArea;
        for (int j = candidates.size() - 1; candidates[j].edge == lastEdge; --j) {
            if (area[j] > bestArea) {
                bestArea = area[j];
                bestEnd = j;
                bestLength = length;
            }
        }
    }
    if (bestLength == 0)
        return {};
    QVector<int> chain{bestEnd};
    for (int length = bestLength; length > 0; --length)
        chain.prepend(predecessors[length - 1][chain.first()]);
    return chain;
}

} // namespace

QPolygonF regionFromScan(const QVector<QPointF> &points, const Options &options)
{
    const Sector sector{std::max(options.startAngleDeg, fieldStartDeg) + edgeGuardDeg,
                        std::min(options.endAngleDeg, fieldEndDeg) - edgeGuardDeg};
    // The first vertex starts the first chord.
    const int maxChords = options.maxVertices - 1;
    if (!(sector.span() > 0) || maxChords < 1)
        return {};
    const double clearance = std::max(options.marginMm, minimumClearanceMm);
    // Fine bins follow the contour closely but may need more chords than allowed; coarser bins
    // always fit in the end.
    for (int binCount = int(std::ceil(sector.span() / finestBinDeg));;
         binCount = (binCount + 1) / 2) {
        const QVector<Candidate> candidates =
            edgeCandidates(binLimits(points, sector, binCount, clearance), sector);
        const int maxSpanEdges = int(std::ceil(halfTurnDeg * binCount / sector.span())) - 1;
        const QVector<int> chain =
            widestChain(candidates, chordsInto(candidates, maxSpanEdges), maxChords);
        if (!chain.isEmpty()) {
            QPolygonF region;
            for (const int i : chain)
                region.append(candidates[i].point);
            return region;
        }
        if (binCount == 1)
            return {};
    }
}

} // namespace TeachIn
