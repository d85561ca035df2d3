// Feeds a recorded-style 0.18 degree point-cloud stream through the shown main window's
// receive path, chunk by chunk as a port delivers it, and compares the throughput with the
// serial line's top rate.
// Run: ./bench_receive [seconds of stream] [runs] [only the cases whose row contains this text]
#include "benchsupport.h"
#include "mainwindowprobe.h"
#include "scanstreamer.h"

#include <cstdio>

namespace {

constexpr int rateHz = 20;
constexpr int scanPageRow = 1;
constexpr int dataMessagePageRow = 3;
// The display gets one revolution in four.
constexpr int revolutionsPerHandOver = 4;

struct Case
{
    QString page;
    int row;
    int chunkSize;
    double goalRatio; // 0: reported without a goal
    // The data-message page was looked at before: its hidden text is laid out from then on.
    bool dataPageSeen = false;
};

struct Measurement
{
    double medianChunkCpuSeconds;
    double cpuBytesPerSecond;
    double wallBytesPerSecond;
    int revolutionsShown; // per run
};

QVector<QByteArray> recordedStream(int seconds, int chunkSize)
{
    ScanStreamer streamer(ScanGeometry::fine(), rateHz, 1);
    QByteArray stream;
    for (int revolution = 0; revolution < seconds * rateHz; ++revolution) {
        for (int index = 0; index < ScanStreamer::framesPerRevolution; ++index)
            stream += streamer.frame(revolution, index);
    }
    QVector<QByteArray> chunks;
    for (int pos = 0; pos < stream.size(); pos += chunkSize)
        chunks.append(stream.mid(pos, chunkSize));
    return chunks;
}

Measurement measure(const Case &c, const QVector<QByteArray> &chunks, int runs)
{
    qint64 streamBytes = 0;
    for (const QByteArray &chunk : chunks)
        streamBytes += chunk.size();

    QVector<double> chunkSeconds;
    QVector<double> cpuRates;
    QVector<double> wallRates;
    int revolutionsShown = 0;
    for (int run = 0; run < runs; ++run) {
        MainWindow window;
        Bench::showMainWindow(window);
        if (c.dataPageSeen)
            Bench::showPage(window, dataMessagePageRow);
        Bench::showPage(window, c.row);
        MainWindowProbe::scanFineResolution(window);
        revolutionsShown = 0;
        MainWindowProbe::inspectRevolutions(window,
                                            [&](const ScanFrames &) { ++revolutionsShown; });

        Bench::Stopwatch total;
        Bench::Stopwatch perChunk;
        for (const QByteArray &chunk : chunks) {
            perChunk.restart();
            MainWindowProbe::receive(window, chunk);
            QCoreApplication::processEvents();
            chunkSeconds.append(perChunk.cpuSeconds());
        }
        cpuRates.append(streamBytes / total.cpuSeconds());
        wallRates.append(streamBytes / total.wallSeconds());
    }
    return {Bench::median(chunkSeconds), Bench::median(cpuRates), Bench::median(wallRates),
            revolutionsShown};
}

} // namespace

int main(int argc, char *argv[])
{
    const Bench::ShippedProgram program(argc, argv);
    const int seconds = Bench::countArgument(argc, argv, 1, 8);
    const int runs = Bench::countArgument(argc, argv, 2, 3);
    // Narrows the run to one page or chunk size, e.g. for a profiler.
    const QString only = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    if (!program.logging().isConfigured())
        std::fprintf(stderr, "bench_receive: logging could not be configured\n");

    const QString scanPage = QStringLiteral("receive, scan page");
    const QString dataPage = QStringLiteral("receive, data-message page");
    const QVector<Case> cases = {
        {scanPage, scanPageRow, 64, 0},
        {scanPage, scanPageRow, 512, 20},
        {scanPage, scanPageRow, 4096, 20},
        // What a UDP read hands over after the loop was held up for about a second.
        {scanPage, scanPageRow, 65536, 0},
        {scanPage + QStringLiteral(", data-message page seen"), scanPageRow, 512, 20, true},
        {scanPage + QStringLiteral(", data-message page seen"), scanPageRow, 4096, 20, true},
        {dataPage, dataMessagePageRow, 64, 0},
        {dataPage, dataMessagePageRow, 512, 10},
        {dataPage, dataMessagePageRow, 4096, 10},
    };
    // Every revolution of the stream closes; one in four reaches the scan page's display.
    const int expectedShown = seconds * rateHz / revolutionsPerHandOver;
    for (const Case &c : cases) {
        const QString parameter = QStringLiteral("%1 B chunks").arg(c.chunkSize);
        if (!(c.page + QLatin1Char(' ') + parameter).contains(only))
            continue;
        const Measurement m = measure(c, recordedStream(seconds, c.chunkSize), runs);
        const double ratio = m.cpuBytesPerSecond / Bench::lineBytesPerSecond;
        const bool displayFed = c.row != scanPageRow || m.revolutionsShown == expectedShown;
        QString result = c.goalRatio > 0 ? Bench::verdict(ratio >= c.goalRatio && displayFed)
                                         : QStringLiteral("—");
        if (!displayFed) {
            result += QStringLiteral(" (%1 of %2 revolutions shown)")
                          .arg(m.revolutionsShown)
                          .arg(expectedShown);
        }
        Bench::printRow(
            c.page, parameter,
            QStringLiteral("cpu %1/chunk").arg(Bench::formatDuration(m.medianChunkCpuSeconds)),
            QStringLiteral("%1 = %2× 92 KB/s (wall %3)")
                .arg(Bench::formatBytesPerSecond(m.cpuBytesPerSecond))
                .arg(ratio, 0, 'f', 1)
                .arg(Bench::formatBytesPerSecond(m.wallBytesPerSecond)),
            c.goalRatio > 0 ? QStringLiteral("≥ %1×").arg(c.goalRatio) : QStringLiteral("—"),
            result);
    }
    return 0;
}
