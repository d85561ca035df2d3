#include "benchsupport.h"

#include "chrome/uxdarkstyle.h"
#include "mainwindow/mainwindow.h"
#include "vksresources.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>

#include <log4qt/propertyconfigurator.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace Bench {

ShippedLogging::ShippedLogging()
{
    const QString properties = m_workDir.filePath(QStringLiteral("Log4Qt.properties"));
    QFile::copy(QStringLiteral(VKS_LOG4QT_PROPERTIES), properties);
    // The properties name the log file relative to the working directory, as at program start.
    QDir::setCurrent(m_workDir.path());
    m_configured = Log4Qt::PropertyConfigurator::configure(properties);
}

QString ShippedLogging::logFolder() const
{
    return m_workDir.filePath(QStringLiteral("logs"));
}

qint64 ShippedLogging::logFolderBytes() const
{
    qint64 bytes = 0;
    for (const QFileInfo &file : QDir(logFolder()).entryInfoList(QDir::Files))
        bytes += file.size();
    return bytes;
}

qint64 ShippedLogging::logBytes(const QString &fileName) const
{
    qint64 bytes = 0;
    const QStringList withBackups{fileName, fileName + QStringLiteral(".*")};
    for (const QFileInfo &file : QDir(logFolder()).entryInfoList(withBackups, QDir::Files))
        bytes += file.size();
    return bytes;
}

int ShippedLogging::logFileCount() const
{
    return QDir(logFolder()).entryList(QDir::Files).size();
}

OffscreenByDefault::OffscreenByDefault()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

ShippedProgram::ShippedProgram(int &argc, char **argv) : m_application(argc, argv)
{
    initVksResources();
    QApplication::setStyle(new UxDarkStyle);
}

int countArgument(int argc, char **argv, int index, int fallback)
{
    return argc > index ? std::max(1, std::atoi(argv[index])) : fallback;
}

void showMainWindow(MainWindow &window)
{
    window.resize(1920, 1080);
    window.show();
    QApplication::processEvents();
}

void showPage(MainWindow &window, int row)
{
    window.findChild<QListWidget *>(QStringLiteral("listWidgetMenu"))->setCurrentRow(row);
    QApplication::processEvents();
}

namespace {

double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

} // namespace

void Stopwatch::restart()
{
    m_cpuStart = threadCpuSeconds();
    m_wall.start();
}

double Stopwatch::wallSeconds() const
{
    return m_wall.nsecsElapsed() / 1e9;
}

double Stopwatch::cpuSeconds() const
{
    return threadCpuSeconds() - m_cpuStart;
}

double median(QVector<double> values)
{
    if (values.isEmpty())
        return 0.0;
    const auto middle = values.begin() + values.size() / 2;
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

QString formatDuration(double seconds)
{
    // Three significant digits in the largest unit that keeps the figure at or above 1.
    if (seconds < 1e-3)
        return QString::number(seconds * 1e6, 'g', 3) + QStringLiteral(" µs");
    if (seconds < 1.0)
        return QString::number(seconds * 1e3, 'g', 3) + QStringLiteral(" ms");
    return QString::number(seconds, 'g', 3) + QStringLiteral(" s");
}

QString formatBytesPerSecond(double bytesPerSecond)
{
    if (bytesPerSecond >= 1e6)
        return QStringLiteral("%1 MB/s").arg(bytesPerSecond / 1e6, 0, 'f', 2);
    return QStringLiteral("%1 KB/s").arg(bytesPerSecond / 1e3, 0, 'f', 1);
}

QString verdict(bool goalMet)
{
    return goalMet ? QStringLiteral("PASS") : QStringLiteral("MISS");
}

void printRow(const QString &benchmark, const QString &parameter, const QString &median,
              const QString &throughput, const QString &goal, const QString &result)
{
    const QString row = QStringList{benchmark, parameter, median, throughput, goal, result}.join(
        QStringLiteral(" | "));
    std::printf("| %s |\n", row.toUtf8().constData());
    std::fflush(stdout);
}

} // namespace Bench
