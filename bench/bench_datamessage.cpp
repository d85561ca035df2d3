// The protocol monitor near its size limit: what one receive line costs when the page already
// holds about 1 MB of text, against the same line on an empty page, with the page shown and
// the event loop turned after each line as the real loop would.
// Run: ./bench_datamessage [rounds]
#include "benchsupport.h"
#include "mainwindow/datamessagelog.h"
#include "mainwindowprobe.h"
#include "protocol/hextext.h"

#include <QRandomGenerator>

namespace {

constexpr int dataMessagePageRow = 3;
constexpr int measuredChunkBytes = 512;
constexpr int fillChunkBytes = 4096;
// Lines measured per round; together they stay below the limit that clears the page.
constexpr int linesPerRound = 40;
constexpr int fullPageCharacters = 1000 * 1000;
constexpr double goalRatio = 1.5;

QString receivedHex(int bytes)
{
    QByteArray chunk(bytes, Qt::Uninitialized);
    QRandomGenerator random(7);
    for (char &byte : chunk)
        byte = char(random.bounded(256));
    return HexText::fromBytes(chunk);
}

// Fills the page with receive lines up to `characters` without letting it clear itself.
void fillPage(DataMessageLog &log, int characters)
{
    const QString line = receivedHex(fillChunkBytes);
    while (log.characterCount() + 2 * line.size() < characters)
        log.appendReceive(line);
    QCoreApplication::processEvents();
}

// CPU seconds of one receive line and the turn of the event loop that shows it.
double timeLine(DataMessageLog &log, const QString &hex)
{
    const Bench::Stopwatch stopwatch;
    log.appendReceive(hex);
    QCoreApplication::processEvents();
    return stopwatch.cpuSeconds();
}

QVector<double> timeLines(DataMessageLog &log, const QString &hex)
{
    QVector<double> seconds;
    for (int i = 0; i < linesPerRound; ++i)
        seconds.append(timeLine(log, hex));
    return seconds;
}

// Seconds of the receive line that takes the page past its limit and so clears it.
double timeClearingLine(DataMessageLog &log, const QString &hex)
{
    fillPage(log, DataMessageLog::maxCharacters);
    for (;;) {
        const int before = log.characterCount();
        const double seconds = timeLine(log, hex);
        if (log.characterCount() < before)
            return seconds;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    const Bench::ShippedProgram program(argc, argv);
    const int rounds = Bench::countArgument(argc, argv, 1, 5);

    MainWindow window;
    Bench::showMainWindow(window);
    Bench::showPage(window, dataMessagePageRow);
    DataMessageLog &log = MainWindowProbe::dataMessageLog(window);
    const QString hex = receivedHex(measuredChunkBytes);

    // Empty and full rounds take turns, so both see the same machine load.
    QVector<double> empty;
    QVector<double> full;
    QVector<double> clearing;
    for (int round = 0; round < rounds; ++round) {
        log.clear();
        empty += timeLines(log, hex);
        log.clear();
        fillPage(log, fullPageCharacters);
        full += timeLines(log, hex);
        clearing.append(timeClearingLine(log, hex));
    }

    const double emptyMedian = Bench::median(empty);
    const double fullMedian = Bench::median(full);
    const double ratio = fullMedian / emptyMedian;
    const QString benchmark = QStringLiteral("data-message page, receive line");
    const QString parameter = QStringLiteral("%1 B chunk").arg(measuredChunkBytes);
    Bench::printRow(benchmark, parameter + QStringLiteral(", empty page"),
                    QStringLiteral("cpu ") + Bench::formatDuration(emptyMedian),
                    QStringLiteral("—"), QStringLiteral("—"), QStringLiteral("—"));
    Bench::printRow(benchmark, parameter + QStringLiteral(", page holding 1 MB"),
                    QStringLiteral("cpu ") + Bench::formatDuration(fullMedian),
                    QStringLiteral("%1× empty page").arg(ratio, 0, 'f', 2),
                    QStringLiteral("≤ %1×").arg(goalRatio), Bench::verdict(ratio <= goalRatio));
    Bench::printRow(benchmark, parameter + QStringLiteral(", line that clears the full page"),
                    QStringLiteral("cpu ") + Bench::formatDuration(Bench::median(clearing)),
                    QStringLiteral("—"), QStringLiteral("—"), QStringLiteral("—"));
    return 0;
}
