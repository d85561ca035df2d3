// The region settings file and the transfer encoding with every region at its largest:
// 45 regions of 30 vertices saved and loaded through RegionFile, and the 45 frames of a
// writing encoded for the raw and the Modbus link.
// Run: ./bench_regionfile [runs]
#include "benchsupport.h"
#include "protocol/regionframe.h"
#include "regions/regionfile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtMath>

#include <functional>

namespace {

// The operator sees a file operation as immediate below this.
constexpr double fileGoalSeconds = 0.1;
// A writing takes seconds on the wire; encoding all its frames must not show beside that.
constexpr double encodeGoalSeconds = 0.001;

RegionStore fullStore()
{
    RegionStore store = Regions::initialStore();
    for (int group = 1; group <= Regions::groupCount; ++group) {
        for (int r = 0; r < Regions::regionsPerGroup; ++r) {
            QPolygonF polygon;
            for (int v = 0; v < Regions::maxVertices; ++v) {
                const double degrees = -40.0 + v * 260.0 / (Regions::maxVertices - 1);
                const double distance = 1000.0 + 500.0 * r + 37.0 * group + 20.0 * (v % 4);
                polygon << QPointF(qRound(distance * qCos(qDegreesToRadians(degrees))),
                                   qRound(distance * qSin(qDegreesToRadians(degrees))));
            }
            store[group][r].polygon = polygon;
            store[group][r].alarmPointNum = 3 + (group + r) % 20;
        }
    }
    return store;
}

QVector<RegionFrame::Content> frameContents(const RegionStore &store)
{
    QVector<RegionFrame::Content> contents;
    for (auto group = store.cbegin(); group != store.cend(); ++group) {
        for (int r = 0; r < group->size(); ++r)
            contents.append({group.key(), r + 1, group->at(r).alarmPointNum, group->at(r).polygon});
    }
    return contents;
}

double medianSeconds(int runs, const std::function<void()> &work)
{
    QVector<double> seconds;
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        timer.start();
        work();
        seconds.append(timer.nsecsElapsed() / 1e9);
    }
    return Bench::median(seconds);
}

QString framesPerSecond(int frames, double seconds)
{
    return QStringLiteral("%1 k frames/s").arg(frames / seconds / 1e3, 0, 'f', 0);
}

void printTiming(const QString &benchmark, const QString &parameter, double seconds,
                 const QString &throughput, double goalSeconds, bool correct)
{
    Bench::printRow(benchmark, parameter, Bench::formatDuration(seconds), throughput,
                    QStringLiteral("≤ ") + Bench::formatDuration(goalSeconds),
                    correct ? Bench::verdict(seconds <= goalSeconds)
                            : QStringLiteral("MISS (wrong result)"));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = Bench::countArgument(argc, argv, 1, 50);
    const QString benchmark = QStringLiteral("region file and transfer encoding");

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("regions.dat"));
    const RegionStore store = fullStore();

    bool saved = true;
    const double saveSeconds = medianSeconds(runs, [&] { saved &= RegionFile::save(store, path); });
    const qint64 fileBytes = QFileInfo(path).size();
    printTiming(benchmark, QStringLiteral("save 45 × 30 vertices (%1 B)").arg(fileBytes),
                saveSeconds, Bench::formatBytesPerSecond(fileBytes / saveSeconds), fileGoalSeconds,
                saved);

    bool loaded = true;
    RegionStore read = Regions::initialStore();
    const double loadSeconds = medianSeconds(runs, [&] {
        read = Regions::initialStore();
        loaded &= RegionFile::load(path, read);
    });
    printTiming(benchmark, QStringLiteral("load 45 × 30 vertices (%1 B)").arg(fileBytes),
                loadSeconds, Bench::formatBytesPerSecond(fileBytes / loadSeconds), fileGoalSeconds,
                loaded && read == store);

    const QVector<RegionFrame::Content> contents = frameContents(store);
    QByteArray raw;
    const double rawSeconds = medianSeconds(runs, [&] {
        raw.clear();
        for (const RegionFrame::Content &content : contents)
            raw += RegionFrame::encodeRaw(content);
    });
    printTiming(benchmark, QStringLiteral("encodeRaw, 45 frames"), rawSeconds,
                framesPerSecond(contents.size(), rawSeconds), encodeGoalSeconds,
                raw.size() == contents.size() * RegionFrame::size);

    QByteArray modbus;
    const double modbusSeconds = medianSeconds(runs, [&] {
        modbus.clear();
        for (int block = 0; block < contents.size(); ++block)
            modbus +=
                RegionFrame::modbusWriteRequest(block, RegionFrame::encodeBody(contents[block]));
    });
    printTiming(benchmark, QStringLiteral("encodeBody + modbusWriteRequest, 45 frames"),
                modbusSeconds, framesPerSecond(contents.size(), modbusSeconds), encodeGoalSeconds,
                modbus.size() == contents.size() * RegionFrame::modbusWriteRequestSize);
    return 0;
}
