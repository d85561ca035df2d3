// The soak run: the real main window scans a simulated device over UDP on 127.0.0.1 for a
// number of minutes. Every revolution on its way to the scan display is checked, the resident
// memory is sampled each minute, and the rolling logs are measured against their bounds.
// Run (scripts/soak.sh starts the simulator): ./soak_driver --device-port PORT [--minutes N]
#include "benchsupport.h"
#include "mainwindowprobe.h"

#include "device/devicesession.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QTimer>
#include <QUdpSocket>
#include <QtMath>

#include <cmath>
#include <cstdio>

namespace {

constexpr int scanPageRow = 1;
constexpr int rateHz = 20;
constexpr int revolutionsPerHandOver = 4;
// A revolution covers -45 to 225 degrees in frames of 18 degrees.
constexpr int framesPerRevolution = 15;
constexpr double firstBaseAngle = -45.0;
constexpr double degreesPerFrame = 18.0;
constexpr int pointsPerFrame = 100;
constexpr double angleResolution = 0.18;
// Rounding of the frame's base angle and of the point coordinates.
constexpr double angleTolerance = 0.01;
constexpr double maxDistance = 65535.0;
constexpr double rssGrowthGoal = 1.10;
// The rolling files of the shipped Log4Qt.properties: the program log of 10 MB with two
// backups, the trace ring of 5 MB with one.
constexpr qint64 megabyte = 1024 * 1024;
constexpr qint64 programLogBoundBytes = 3 * 10 * megabyte;
constexpr qint64 traceRingBoundBytes = 2 * 5 * megabyte;
constexpr qint64 rollingBoundBytes = programLogBoundBytes + traceRingBoundBytes;
constexpr QLatin1String programLogName("vks20.log");
// Longer than any initialisation takes, retries included.
constexpr int initialisationLimitMs = 10000;
// The program log must hold a working day of streaming.
constexpr double workingDaySeconds = 8 * 3600.0;

template <typename T> T *widget(QObject *window, const char *name)
{
    auto *found = window->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("soak_driver: no widget %s", name);
    return found;
}

qint64 residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

quint16 freeUdpPort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress(QHostAddress::LocalHost), 0);
    return probe.localPort();
}

// Checks each revolution handed to the display: one frame per 18 degree sector in order, no
// more distances than a frame carries, every point at a real distance inside its sector.
class RevolutionCheck
{
public:
    void inspect(const ScanFrames &revolution)
    {
        ++m_revolutions;
        m_frames += revolution.size();
        const QString fault = findFault(revolution);
        if (fault.isEmpty())
            return;
        if (m_malformed++ == 0)
            m_firstFault = fault;
    }

    int revolutions() const { return m_revolutions; }
    qint64 frames() const { return m_frames; }
    int malformed() const { return m_malformed; }
    QString firstFault() const { return m_firstFault; }

private:
    static QString findFault(const ScanFrames &revolution)
    {
        if (revolution.size() != framesPerRevolution)
            return QStringLiteral("%1 frames in a revolution").arg(revolution.size());
        for (int index = 0; index < revolution.size(); ++index) {
            const QVector<QPointF> &points = revolution[index];
            if (points.size() > pointsPerFrame)
                return QStringLiteral("%1 points in frame %2").arg(points.size()).arg(index);
            for (const QPointF &point : points) {
                const QString fault = pointFault(point, firstBaseAngle + degreesPerFrame * index);
                if (!fault.isEmpty())
                    return QStringLiteral("frame %1: %2").arg(index).arg(fault);
            }
        }
        return {};
    }

    static QString pointFault(const QPointF &point, double baseAngle)
    {
        const double distance = std::hypot(point.x(), point.y());
        if (!std::isfinite(distance) || distance < 1.0 || distance > maxDistance + 1.0)
            return QStringLiteral("distance %1 mm").arg(distance);
        const double degrees = qRadiansToDegrees(std::atan2(point.y(), point.x()));
        const double intoSector = std::fmod(degrees - baseAngle + 720.0, 360.0);
        const double sectorSpan = angleResolution * (pointsPerFrame - 1);
        // A point just below the base angle wraps to nearly 360.
        if (intoSector > sectorSpan + angleTolerance && intoSector < 360.0 - angleTolerance)
            return QStringLiteral("point at %1 degrees outside sector from %2")
                .arg(degrees)
                .arg(baseAngle);
        return {};
    }

    int m_revolutions = 0;
    qint64 m_frames = 0;
    int m_malformed = 0;
    QString m_firstFault;
};

// Opens the UDP link from the connection page as the operator would and starts the scan.
bool connectAndStart(MainWindow &window, quint16 devicePort)
{
    window.setDeviceEndpoint(QHostAddress::LocalHost, devicePort);
    Bench::showPage(window, 0);
    widget<QComboBox>(&window, "comboBoxConnMode")->setCurrentIndex(Net);
    widget<QLineEdit>(&window, "lineEditIP")->setText(QStringLiteral("127.0.0.1"));
    widget<QLineEdit>(&window, "lineEditPort")->setText(QString::number(freeUdpPort()));
    // The resolution is known once the initialisation the open starts has run.
    QEventLoop initialising;
    QObject::connect(window.findChild<DeviceSession *>(), &DeviceSession::initialised,
                     &initialising, &QEventLoop::quit);
    QTimer::singleShot(initialisationLimitMs, &initialising, &QEventLoop::quit);
    widget<QAbstractButton>(&window, "pushButtonConnNet")->click();
    initialising.exec();
    const QString resolution = widget<QLineEdit>(&window, "lineEditAngleResolution")->text();
    std::printf("link opened, angular resolution \"%s\"\n", qPrintable(resolution));
    Bench::showPage(window, scanPageRow);
    auto *start = widget<QAbstractButton>(&window, "pushButtonStartScan");
    if (!start->isEnabled())
        return false;
    start->click();
    return true;
}

double megabytes(qint64 bytes)
{
    return bytes / (1024.0 * 1024.0);
}

} // namespace

int main(int argc, char *argv[])
{
    const Bench::ShippedProgram program(argc, argv);

    QCommandLineParser parser;
    parser.addOptions({{QStringLiteral("device-port"), QStringLiteral("Simulator's UDP port."),
                        QStringLiteral("port")},
                       {QStringLiteral("minutes"), QStringLiteral("Length of the run."),
                        QStringLiteral("minutes"), QStringLiteral("10")}});
    parser.process(QCoreApplication::arguments());
    const auto devicePort = quint16(parser.value(QStringLiteral("device-port")).toUInt());
    const int minutes = qMax(1, parser.value(QStringLiteral("minutes")).toInt());
    if (devicePort == 0 || !program.logging().isConfigured()) {
        std::fprintf(stderr, "soak_driver: needs --device-port and a readable Log4Qt.properties\n");
        return 2;
    }

    MainWindow window;
    Bench::showMainWindow(window);
    RevolutionCheck check;
    MainWindowProbe::inspectRevolutions(window,
                                        [&check](const ScanFrames &r) { check.inspect(r); });
    if (!connectAndStart(window, devicePort)) {
        std::fprintf(stderr, "soak_driver: the link did not open\n");
        return 1;
    }

    QVector<qint64> rssKilobytes;
    int revolutionsAtLastMinute = 0;
    int stalledMinutes = 0;
    const Bench::Stopwatch scanClock;
    QTimer minuteTimer;
    QObject::connect(&minuteTimer, &QTimer::timeout, [&] {
        rssKilobytes.append(residentKilobytes());
        const int revolutionsThisMinute = check.revolutions() - revolutionsAtLastMinute;
        revolutionsAtLastMinute = check.revolutions();
        if (revolutionsThisMinute == 0)
            ++stalledMinutes;
        std::printf("minute %d: RSS %lld kB, %d revolutions shown, %d malformed, log %.1f MB, "
                    "program log %.1f kB\n",
                    rssKilobytes.size(), rssKilobytes.last(), revolutionsThisMinute,
                    check.malformed(), megabytes(program.logging().logFolderBytes()),
                    program.logging().logBytes(programLogName) / 1024.0);
        std::fflush(stdout);
        if (rssKilobytes.size() == minutes)
            QCoreApplication::quit();
    });
    minuteTimer.start(60 * 1000);
    QApplication::exec();

    const double scanSeconds = scanClock.wallSeconds();
    const double cpuShare = scanClock.cpuSeconds() / scanSeconds;
    const double rssRatio = double(rssKilobytes.last()) / rssKilobytes.first();
    const qint64 logBytes = program.logging().logFolderBytes();
    // The connect at the start counts too, so the projection errs on the safe side.
    const qint64 programLogBytes = program.logging().logBytes(programLogName);
    const double programLogDayBytes = programLogBytes / scanSeconds * workingDaySeconds;
    const bool logsBounded =
        logBytes <= rollingBoundBytes && programLogDayBytes <= double(programLogBoundBytes);
    const int expectedRevolutions = qRound(scanSeconds * rateHz);

    std::printf("\nSoak: %d min at %d Hz, 0.18 degrees, UDP on 127.0.0.1\n", minutes, rateHz);
    std::printf("RSS after minute 1: %lld kB, at the end: %lld kB, ratio %.3f (goal <= %.2f): %s\n",
                rssKilobytes.first(), rssKilobytes.last(), rssRatio, rssGrowthGoal,
                qPrintable(Bench::verdict(rssRatio <= rssGrowthGoal)));
    std::printf("log folder: %.1f MB in %d files, bound %.0f MB (program log 10 MB x 3 files, "
                "trace ring 5 MB x 2 files): %s\n",
                megabytes(logBytes), program.logging().logFileCount(), megabytes(rollingBoundBytes),
                qPrintable(Bench::verdict(logBytes <= rollingBoundBytes)));
    std::printf("program log: %.1f kB, i.e. %.2f MB in a working day of 8 h at this rate (goal "
                "<= %.0f MB): %s\n",
                programLogBytes / 1024.0, megabytes(qint64(programLogDayBytes)),
                megabytes(programLogBoundBytes),
                qPrintable(Bench::verdict(programLogDayBytes <= double(programLogBoundBytes))));
    std::printf("revolutions shown: %d (%lld frames), i.e. %d decoded; %d expected at 20 Hz\n",
                check.revolutions(), check.frames(), check.revolutions() * revolutionsPerHandOver,
                expectedRevolutions);
    std::printf("malformed revolutions: %d%s%s\n", check.malformed(),
                check.malformed() ? ", first: " : "", qPrintable(check.firstFault()));
    std::printf("minutes without a revolution: %d\n", stalledMinutes);
    std::printf("GUI thread CPU while scanning: %.1f %%\n", 100.0 * cpuShare);
    const bool sound = check.malformed() == 0 && stalledMinutes == 0;
    return sound && rssRatio <= rssGrowthGoal && logsBounded ? 0 : 1;
}
