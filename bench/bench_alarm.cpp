// The alarm evaluation at its largest: one group's three regions of 30 vertices each against a
// 0.18° revolution of 1500 points, as the window and vks20-cli evaluate every revolution.
// Run: ./bench_alarm [batches]
#include "benchsupport.h"
#include "regions/alarmevaluation.h"

#include <QCoreApplication>
#include <QtMath>

namespace {

// A revolution comes every 50 ms at 20 Hz; the evaluation must stay a small share of that.
constexpr double goalSeconds = 0.0002;
constexpr int evaluationsPerBatch = 200;
constexpr int framesPerRevolution = 15;
constexpr int pointsPerFrame = 100;
constexpr double resolutionDegrees = 0.18;
constexpr double firstDegrees = -45.0;

QPointF polar(double degrees, double distance)
{
    return {distance * qCos(qDegreesToRadians(degrees)),
            distance * qSin(qDegreesToRadians(degrees))};
}

// Fans of 30 whole-millimetre vertices over the scan, nested, with a jagged far edge.
RegionGroup largestGroup()
{
    RegionGroup group(Regions::regionsPerGroup);
    for (int r = 0; r < group.size(); ++r) {
        QPolygonF polygon;
        for (int v = 0; v < Regions::maxVertices; ++v) {
            const QPointF vertex = polar(-40.0 + v * 260.0 / (Regions::maxVertices - 1),
                                         1000.0 + 700.0 * r + 150.0 * (v % 3));
            polygon << QPointF(qRound(vertex.x()), qRound(vertex.y()));
        }
        group[r].polygon = polygon;
        group[r].alarmPointNum = 20;
    }
    return group;
}

// Distances sweeping from inside the nearest region to beyond the farthest, so that every
// point is tested against every region's bounds and most against their edges.
ScanFrames revolution()
{
    ScanFrames frames(framesPerRevolution);
    for (int f = 0; f < framesPerRevolution; ++f) {
        for (int i = 0; i < pointsPerFrame; ++i) {
            const int index = f * pointsPerFrame + i;
            frames[f].append(
                polar(firstDegrees + index * resolutionDegrees, 800.0 + (index * 37) % 3000));
        }
    }
    return frames;
}

// The counts another implementation finds, for the result's check.
bool agreesWithQt(const AlarmEvaluator &evaluator, const ScanFrames &frames)
{
    const QVector<RegionAlarmState> states = evaluator.evaluate(frames);
    for (int r = 0; r < states.size(); ++r) {
        int inside = 0;
        for (const QVector<QPointF> &frame : frames) {
            for (const QPointF &point : frame)
                inside += evaluator.heldPolygon(r).containsPoint(point, Qt::OddEvenFill);
        }
        if (inside != states.at(r).pointsInside || inside == 0)
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int batches = Bench::countArgument(argc, argv, 1, 25);
    const AlarmEvaluator evaluator(largestGroup());
    const ScanFrames frames = revolution();

    QVector<double> cpuSeconds;
    int alarming = 0;
    for (int batch = 0; batch < batches; ++batch) {
        Bench::Stopwatch stopwatch;
        for (int i = 0; i < evaluationsPerBatch; ++i)
            alarming += evaluator.evaluate(frames).at(0).alarm;
        cpuSeconds.append(stopwatch.cpuSeconds() / evaluationsPerBatch);
    }
    const double perRevolution = Bench::median(cpuSeconds);
    Bench::printRow(QStringLiteral("alarm evaluation"),
                    QStringLiteral("3 regions × 30 vertices, 1500 points (0.18°)"),
                    QStringLiteral("cpu ") + Bench::formatDuration(perRevolution),
                    QStringLiteral("%1 revolutions/s").arg(1.0 / perRevolution, 0, 'f', 0),
                    QStringLiteral("≤ ") + Bench::formatDuration(goalSeconds),
                    alarming > 0 && agreesWithQt(evaluator, frames)
                        ? Bench::verdict(perRevolution <= goalSeconds)
                        : QStringLiteral("MISS (wrong result)"));
    return 0;
}
