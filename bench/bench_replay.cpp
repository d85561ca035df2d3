// Offline replay: a capture of a 0.18 degree scan at 20 revolutions/s as a serial link records
// it (the tool's stop, resolution query and starts with the device's answers, then the frames
// in 4 KB chunks stamped when their last byte arrived), decoded to every complete revolution
// as fast as it reads. The goal: at least 100 times faster than the scan took. Then the first
// seconds of such a capture played at 4x through the replay link and the session, as the window
// plays it: the goal, within 20 % of a quarter of the recorded time.
// Run: ./bench_replay [seconds of capture] [runs]
#include "benchsupport.h"
#include "capture/capturefile.h"
#include "device/devicesession.h"
#include "device/offlinereplay.h"
#include "device/replaylink.h"
#include "protocol/commands.h"
#include "scanstreamer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>

namespace {

constexpr int rateHz = 20;
constexpr int chunkSize = 4096;
constexpr double goalRealTimeRatio = 100.0;
constexpr qint64 usPerSecond = 1000000;
constexpr qint64 usPerMs = 1000;
constexpr qint64 captureStartUs = qint64(1700000000) * usPerSecond;
// The device answers a few milliseconds after each command and streams from the first start,
// which the tool repeats twice, 150 ms apart.
constexpr qint64 replyDelayUs = 5 * usPerMs;
constexpr qint64 resolutionQueryUs = 100 * usPerMs;
constexpr qint64 firstStartUs = 200 * usPerMs;
constexpr qint64 startPauseUs = 150 * usPerMs;
constexpr int startRepeats = 3;
constexpr int pacedSeconds = 8;
constexpr double pacedSpeed = 4.0;
constexpr double paceTolerance = 0.2;

CaptureRecord toolSent(qint64 timeUs, const QString &hex)
{
    return {CaptureDirection::ToDevice, captureStartUs + timeUs,
            QByteArray::fromHex(hex.toLatin1())};
}

CaptureRecord deviceSent(qint64 timeUs, const QByteArray &bytes)
{
    return {CaptureDirection::FromDevice, captureStartUs + timeUs, bytes};
}

QVector<CaptureRecord> conversation(int seconds)
{
    QVector<CaptureRecord> records = {
        toolSent(0, DeviceCommand::stopScan(Usb)),
        deviceSent(replyDelayUs, QByteArray::fromHex(ReplyCode::ack.toLatin1())),
        toolSent(resolutionQueryUs, DeviceCommand::resolutionQuery(Usb)),
        deviceSent(resolutionQueryUs + replyDelayUs,
                   QByteArray::fromHex(ReplyCode::resolutionFine.toLatin1())),
    };
    for (int start = 0; start < startRepeats; ++start)
        records.append(
            toolSent(firstStartUs + start * startPauseUs, DeviceCommand::startScan(Usb)));

    ScanStreamer streamer(ScanGeometry::fine(), rateHz, 1);
    QByteArray stream;
    for (int revolution = 0; revolution < seconds * rateHz; ++revolution) {
        for (int index = 0; index < ScanStreamer::framesPerRevolution; ++index)
            stream += streamer.frame(revolution, index);
    }
    // Each revolution's frames are spread evenly over its period.
    const double streamUsPerByte =
        double(usPerSecond) / rateHz / (stream.size() / (seconds * rateHz));
    for (int pos = 0; pos < stream.size(); pos += chunkSize) {
        const QByteArray chunk = stream.mid(pos, chunkSize);
        const qint64 arrivedUs = qint64((pos + chunk.size()) * streamUsPerByte);
        records.append(deviceSent(firstStartUs + replyDelayUs + arrivedUs, chunk));
    }
    std::stable_sort(
        records.begin(), records.end(),
        [](const CaptureRecord &a, const CaptureRecord &b) { return a.timeUs < b.timeUs; });
    return records;
}

bool writeCapture(const QString &path, const QVector<CaptureRecord> &records)
{
    CaptureWriter writer;
    if (!writer.open(path, nullptr))
        return false;
    for (const CaptureRecord &record : records) {
        if (!writer.write(record.direction, record.bytes, record.timeUs))
            return false;
    }
    return writer.close();
}

// Plays the capture at the paced speed through a replay link into a session, as the window does.
void benchPacedReplay(const QString &path)
{
    ReplayLink link;
    link.open(path);
    DeviceSession session{LogSink()};
    session.setLink(&link);
    QEventLoop playing;
    QObject::connect(&link, &ReplayLink::finished, &playing, &QEventLoop::quit);
    link.setSpeed(pacedSpeed);
    const double dueSeconds = link.durationUs() / double(usPerSecond) / pacedSpeed;
    const Bench::Stopwatch stopwatch;
    link.play();
    playing.exec();
    const double ratio = stopwatch.wallSeconds() / dueSeconds;
    Bench::printRow(
        QStringLiteral("paced replay"),
        QStringLiteral("%1 s capture at %2×, through the session")
            .arg(pacedSeconds)
            .arg(pacedSpeed, 0, 'f', 0),
        QStringLiteral("wall %1 (due %2)")
            .arg(Bench::formatDuration(ratio * dueSeconds), Bench::formatDuration(dueSeconds)),
        QStringLiteral("%1× the due time").arg(ratio, 0, 'f', 3),
        QStringLiteral("within %1 %").arg(paceTolerance * 100, 0, 'f', 0),
        Bench::verdict(qAbs(ratio - 1) <= paceTolerance));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int seconds = Bench::countArgument(argc, argv, 1, 60);
    const int runs = Bench::countArgument(argc, argv, 2, 3);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("scan.pcap"));
    if (!writeCapture(path, conversation(seconds))) {
        std::fprintf(stderr, "cannot write the capture\n");
        return 1;
    }

    QVector<double> cpuSeconds;
    QVector<double> wallSeconds;
    int revolutions = 0;
    bool decoded = true;
    for (int run = 0; run < runs; ++run) {
        revolutions = 0;
        Bench::Stopwatch stopwatch;
        decoded &= OfflineReplay::decode(
            path, [&revolutions](int, qint64, const ScanFrames &) { ++revolutions; });
        cpuSeconds.append(stopwatch.cpuSeconds());
        wallSeconds.append(stopwatch.wallSeconds());
    }
    const double cpu = Bench::median(cpuSeconds);
    const double ratio = seconds / cpu;
    // The live session decodes from the last start on: the revolutions streamed before, and
    // the one then under way, are not complete.
    const int total = seconds * rateHz;
    const int missedAtStart =
        int(std::ceil(double((startRepeats - 1) * startPauseUs) * rateHz / usPerSecond)) + 1;
    const bool correct = decoded && revolutions <= total && revolutions >= total - missedAtStart;
    Bench::printRow(
        QStringLiteral("offline replay"),
        QStringLiteral("%1 s capture, %2 Hz, 0.18° (%3 MB, %4 B chunks), %5 revolutions")
            .arg(seconds)
            .arg(rateHz)
            .arg(QFileInfo(path).size() / 1e6, 0, 'f', 1)
            .arg(chunkSize)
            .arg(revolutions),
        QStringLiteral("cpu %1 (wall %2)")
            .arg(Bench::formatDuration(cpu), Bench::formatDuration(Bench::median(wallSeconds))),
        QStringLiteral("%1× real time").arg(ratio, 0, 'f', 0),
        QStringLiteral("≥ %1× (60 s in < 0.6 s)").arg(goalRealTimeRatio, 0, 'f', 0),
        correct ? Bench::verdict(ratio >= goalRealTimeRatio)
                : QStringLiteral("MISS (wrong result)"));

    const QString pacedPath = dir.filePath(QStringLiteral("paced.pcap"));
    if (!writeCapture(pacedPath, conversation(pacedSeconds))) {
        std::fprintf(stderr, "cannot write the capture\n");
        return 1;
    }
    benchPacedReplay(pacedPath);
    return 0;
}
