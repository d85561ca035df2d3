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

// Candidate vertices on the bin edges, each as far out as both neighbouring bins allow.
QVector<QPointF> edgeVertices(const QVector<double> &limits, const Sector &sector)
{
    const int binCount = limits.size();
    QVector<QPointF> vertices;
    for (int edge = 0; edge <= binCount; ++edge) {
        const double radius =
            std::min(limits[std::max(edge - 1, 0)], limits[std::min(edge, binCount - 1)]);
        const double radians = qDegreesToRadians(sector.from + sector.span() * edge / binCount);
        vertices.append(radius * QPointF(std::cos(radians), std::sin(radians)));
    }
    return vertices;
}

// For every edge vertex, the earlier ones a chord may join it to. Along a chord the distance
// from the sensor peaks at the ends of each bin it crosses, so the chord stays within the
// limits if it passes every edge vertex in between on the sensor's side. Seen from the chord's
// start, that holds while the chord's end is the most counter-clockwise vertex so far.
QVector<QVector<int>> chordsInto(const QVector<QPointF> &vertices, int maxSpanEdges)
{
    QVector<QVector<int>> starts(vertices.size());
    for (int i = 0; i < vertices.size(); ++i) {
        QPointF mostCounterClockwise;
        const int last = std::min(i + maxSpanEdges, vertices.size() - 1);
        for (int j = i + 1; j <= last; ++j) {
            const QPointF direction = vertices[j] - vertices[i];
            if (j == i + 1 || cross(mostCounterClockwise, direction) >= 0) {
                starts[j].append(i);
                mostCounterClockwise = direction;
            }
        }
    }
    return starts;
}

// The chain of at most maxChords chords from the first to the last edge vertex that encloses
// the largest area with the sensor, as vertex indexes; empty if there is none.
QVector<int> widestChain(const QVector<QPointF> &vertices, const QVector<QVector<int>> &starts,
                         int maxChords)
{
    constexpr double unreachable = -std::numeric_limits<double>::infinity();
    const int last = vertices.size() - 1;
    QVector<double> area(vertices.size(), unreachable);
    area[0] = 0;
    QVector<QVector<int>> predecessors; // per chain length, each vertex's best predecessor
    double bestArea = unreachable;
    int bestLength = 0;
    for (int length = 1; length <= std::min(maxChords, last); ++length) {
        QVector<double> longerArea(vertices.size(), unreachable);
        QVector<int> predecessor(vertices.size(), -1);
        for (int j = 1; j <= last; ++j) {
            for (const int i : starts[j]) {
                const double candidate = area[i] + cross(vertices[i], vertices[j]) / 2;
                if (candidate > longerArea[j]) {
                    longerArea[j] = candidate;
                    predecessor[j] = i;
                }
            }
        }
        predecessors.append(predecessor);
        area = longerArea;
        if (area[last] > bestArea) {
            bestArea = area[last];
            bestLength = length;
        }
    }
    if (bestLength == 0)
        return {};
    QVector<int> chain{last};
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
        const QVector<QPointF> vertices =
            edgeVertices(binLimits(points, sector, binCount, clearance), sector);
        const int maxSpanEdges = int(std::ceil(halfTurnDeg * binCount / sector.span())) - 1;
        const QVector<int> chain =
            widestChain(vertices, chordsInto(vertices, maxSpanEdges), maxChords);
        if (!chain.isEmpty()) {
            QPolygonF region;
            for (const int i : chain)
                region.append(vertices[i]);
            return region;
        }
        if (binCount == 1)
            return {};
    }
}

} // namespace TeachIn
