#pragma once
// Shared by the benchmark programs and the soak driver: the program's look and logging as
// shipped, medians, and the rows of the results table that scripts/bench.sh prints.

#include <QApplication>
#include <QElapsedTimer>
#include <QString>
#include <QTemporaryDir>
#include <QVector>

class MainWindow;

namespace Bench {

// The serial line's top rate, 921600 baud at ten bits per byte.
constexpr double lineBytesPerSecond = 921600.0 / 10.0;

// Logging as the program ships it: Log4Qt.properties copied into a temporary working
// directory, so the rolling files land in its logs/ folder.
class ShippedLogging
{
public:
    ShippedLogging();
    bool isConfigured() const { return m_configured; }
    QString logFolder() const;
    qint64 logFolderBytes() const;
    // The bytes of one log file of the folder together with its numbered backups.
    qint64 logBytes(const QString &fileName) const;
    int logFileCount() const;

private:
    QTemporaryDir m_workDir;
    bool m_configured = false;
};

// Chooses the offscreen platform unless the environment names one.
struct OffscreenByDefault
{
    OffscreenByDefault();
};

// The main window's program as shipped: its logging, the application, the embedded resources
// and the dark style, on the offscreen platform unless another is chosen.
class ShippedProgram : private OffscreenByDefault
{
public:
    ShippedProgram(int &argc, char **argv);
    const ShippedLogging &logging() const { return m_logging; }

private:
    ShippedLogging m_logging;
    QApplication m_application;
};

// The positive whole number given as command-line argument `index`, else `fallback`.
int countArgument(int argc, char **argv, int index, int fallback);
// The main window at a common desktop size, shown on the platform in use.
void showMainWindow(MainWindow &window);
// Selects a page through the navigation list: 1 scan, 3 data messages.
void showPage(MainWindow &window, int row);

// Wall-clock and this thread's CPU seconds since construction or the last restart. CPU time
// is the figure that stays honest on a shared machine.
class Stopwatch
{
public:
    Stopwatch() { restart(); }
    void restart();
    double wallSeconds() const;
    double cpuSeconds() const;

private:
    QElapsedTimer m_wall;
    double m_cpuStart = 0.0;
};

double median(QVector<double> values);

QString formatDuration(double seconds);
QString formatBytesPerSecond(double bytesPerSecond);
QString verdict(bool goalMet);

// One row of the results table, in Markdown.
void printRow(const QString &benchmark, const QString &parameter, const QString &median,
              const QString &throughput, const QString &goal, const QString &result);

} // namespace Bench
