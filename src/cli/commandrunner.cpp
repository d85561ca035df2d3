#include "commandrunner.h"

#include "console.h"
#include "regionfileinput.h"
#include "regionproof.h"

#include "device/devicelink.h"
#include "regions/regioncomparison.h"
#include "regions/regionfile.h"
#include "regions/regionframes.h"

#include <QSaveFile>

namespace {

// The parameter frame names the baud rate by its index in the program's list.
constexpr qint32 fastBaudRate = 921600;
constexpr int fastBaudIndex = 1;
// The IO output mode the program selects on connect.
constexpr int connectIoModeIndex = 0;
// A device streams several revolutions a second; this long without one means no scan data.
constexpr int revolutionTimeoutMs = 5000;

QString modeName(ConnMode mode)
{
    switch (mode) {
    case Net:
        return QStringLiteral("udp");
    case Modbus:
        return QStringLiteral("modbus");
    case Usb:
        break;
    }
    return QStringLiteral("usb");
}

// The first of `count` failures of one kind, and how many more there were.
QString firstOf(const QString &first, int count)
{
    return count > 1 ? QStringLiteral("%1 (and %2 more)").arg(first).arg(count - 1) : first;
}

// Whether `path` can be replaced, found out without touching it.
bool canWrite(const QString &path, QString *error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.cancelWriting();
        return true;
    }
    *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return false;
}

} // namespace

CommandRunner::CommandRunner(const CliOptions &options, Console &console, QObject *parent)
    : QObject(parent), m_options(options), m_console(console),
      m_fileRegions(Regions::initialStore()), m_deviceRegions(Regions::initialStore()),
      // The monitor's CSV is its own: the scan records no points for it.
      m_scan(options.command == CliCommand::Scan ? options.csvFile : QString()),
      m_monitor(options, console)
{
    m_revolutionTimeout.setSingleShot(true);
    m_revolutionTimeout.setInterval(revolutionTimeoutMs);
    connect(&m_revolutionTimeout, &QTimer::timeout, this, &CommandRunner::endScan);
    m_captureTime.setSingleShot(true);
    m_captureTime.setInterval(options.seconds * 1000);
}

bool CommandRunner::prepare(QString *error)
{
    switch (m_options.command) {
    case CliCommand::RegionsWrite:
    case CliCommand::RegionsVerify:
    case CliCommand::RegionsDiff:
        return loadRegionFile(m_options.regionFile, m_fileRegions, error);
    case CliCommand::RegionsBackup:
        return RegionProof::canBackUpInto(m_options.backupFolder, error);
    case CliCommand::RegionsRead:
        return canWrite(m_options.regionFile, error);
    case CliCommand::Capture:
        return canWrite(m_options.captureFile, error);
    case CliCommand::Scan:
        return m_scan.open(error);
    case CliCommand::Monitor:
        return m_monitor.prepare(error);
    case CliCommand::Info:
    case CliCommand::RegionsFingerprint:
    case CliCommand::RegionsReport:
    case CliCommand::Replay:
    case CliCommand::RegionsExport:
    case CliCommand::RegionsImport:
    case CliCommand::Evaluate:
        break;
    }
    return true;
}

void CommandRunner::start(DeviceSession &session, DeviceLink &link)
{
    m_session = &session;
    connect(&link, &DeviceLink::faulted, this, [this](bool closed) {
        if (closed)
            fail(DeviceFailed, QStringLiteral("the link to the device closed"));
    });
    connect(&session, &DeviceSession::initialised, this, &CommandRunner::runCommand);
    connect(&session, &DeviceSession::transferProgress, this, [this](int regions) {
        m_console.progress(
            QStringLiteral("regions %1/%2").arg(regions).arg(RegionFrame::regionCount));
    });
    connect(
        &session, &DeviceSession::regionReceived, this,
        [this](const RegionFrame::Content &frame) { RegionFrames::store(m_deviceRegions, frame); });
    connect(&session, &DeviceSession::regionsWritten, this, &CommandRunner::afterWriting);
    connect(&session, &DeviceSession::regionsRead, this, &CommandRunner::afterReading);
    if (m_options.command == CliCommand::Capture) {
        if (!startRecording(link))
            return;
        // Without --scan nothing is sent: what crosses the link is recorded as it comes.
        if (!m_options.scan) {
            connect(&m_captureTime, &QTimer::timeout, this, &CommandRunner::endCapture);
            m_captureTime.start();
            return;
        }
    }

    RadarParameters parameters;
    if (m_options.link.mode != Net && m_options.link.baudRate == fastBaudRate)
        parameters.baudIndex = fastBaudIndex;
    session.initialise(parameters, connectIoModeIndex);
}

// A device that leaves the resolution query unanswered is not there to talk to.
void CommandRunner::runCommand(const InitialisationResult &initialisation)
{
    if (!initialisation.resolutionAnswered) {
        fail(DeviceFailed, QStringLiteral("no reply from the device"));
        return;
    }
    switch (m_options.command) {
    case CliCommand::Info:
        showInfo();
        break;
    case CliCommand::RegionsWrite:
        m_session->writeRegions(RegionFrames::toDevice(m_fileRegions));
        break;
    case CliCommand::RegionsRead:
    case CliCommand::RegionsVerify:
    case CliCommand::RegionsFingerprint:
    case CliCommand::RegionsDiff:
    case CliCommand::RegionsBackup:
        m_session->readRegions();
        break;
    case CliCommand::Scan:
    case CliCommand::Monitor:
        startScan();
        break;
    case CliCommand::Capture:
        startScanForCapture();
        break;
    case CliCommand::RegionsReport:
    case CliCommand::Replay:
    case CliCommand::RegionsExport:
    case CliCommand::RegionsImport:
    case CliCommand::Evaluate:
        break;
    }
}

void CommandRunner::showInfo()
{
    const ScanGeometry &geometry = m_session->scanGeometry();
    succeed(QStringLiteral("mode %1, resolution %2 degrees, frame length %3 bytes")
                .arg(modeName(m_options.link.mode))
                .arg(geometry.angleResolution, 0, 'f', 2)
                .arg(geometry.frameLength));
}

void CommandRunner::afterWriting(const RegionWriteResult &result)
{
    if (!result.unacknowledged.isEmpty()) {
        const RegionKey first = result.unacknowledged.first();
        fail(DeviceFailed,
             firstOf(
                 QStringLiteral("region %1/%2 not acknowledged").arg(first.group).arg(first.region),
                 result.unacknowledged.size()));
    } else if (m_options.verify) {
        m_session->readRegions();
    } else {
        succeed(QStringLiteral("%1 regions written from %2")
                    .arg(result.sent)
                    .arg(m_options.regionFile));
    }
}

void CommandRunner::afterReading(const RegionReadResult &result)
{
    if (!result.complete()) {
        fail(DeviceFailed, QStringLiteral("regions incomplete: %1 of %2 received")
                               .arg(result.received)
                               .arg(RegionFrame::regionCount));
    } else if (m_options.command == CliCommand::RegionsRead) {
        saveDeviceRegions();
    } else if (m_options.command == CliCommand::RegionsVerify ||
               m_options.command == CliCommand::RegionsWrite) {
        compareWithFile();
    } else {
        proveDeviceRegions();
    }
}

void CommandRunner::proveDeviceRegions()
{
    if (m_finished)
        return;
    const LinkOptions &link = m_options.link;
    const RegionProof::DeviceFacts device{
        link.mode == Net ? QStringLiteral("%1:%2").arg(link.deviceHost).arg(link.devicePort)
                         : link.serialPath,
        modeName(link.mode), m_session->scanGeometry().angleResolution};
    const ExitStatus status =
        RegionProof::fromDevice(m_options, m_fileRegions, m_deviceRegions, device, m_console);
    m_finished = true;
    emit finished(status);
}

void CommandRunner::compareWithFile()
{
    const QVector<RegionDifference> differences =
        RegionComparison::differences(m_deviceRegions, m_fileRegions);
    if (!differences.isEmpty()) {
        fail(DeviceFailed, firstOf(differences.first().text, differences.size()));
        return;
    }
    succeed(m_options.command == CliCommand::RegionsWrite
                ? QStringLiteral("%1 regions written from %2 and verified")
                      .arg(RegionFrame::regionCount)
                      .arg(m_options.regionFile)
                : QStringLiteral("the device's %1 regions match %2")
                      .arg(RegionFrame::regionCount)
                      .arg(m_options.regionFile));
}

void CommandRunner::saveDeviceRegions()
{
    if (!RegionFile::save(m_deviceRegions, m_options.regionFile)) {
        fail(UsageOrFileError, QStringLiteral("cannot write %1").arg(m_options.regionFile));
        return;
    }
    succeed(QStringLiteral("%1 regions read into %2")
                .arg(RegionFrame::regionCount)
                .arg(m_options.regionFile));
}

// Connected only now: a transfer ends by starting a scan too.
void CommandRunner::startScan()
{
    connect(m_session, &DeviceSession::scanStarted, this, [this] {
        m_scanning = true;
        m_revolutionTimeout.start();
        // The monitor runs for its seconds rather than a count of revolutions.
        if (m_options.command == CliCommand::Monitor)
            m_captureTime.start();
    });
    connect(&m_captureTime, &QTimer::timeout, this, &CommandRunner::endScan);
    connect(m_session, &DeviceSession::revolutionDecoded, this, &CommandRunner::takeRevolution);
    connect(m_session, &DeviceSession::scanStopped, this, &CommandRunner::afterScan);
    m_session->startScan();
}

// The first revolution after a start began before it; the decoder reports it incomplete.
void CommandRunner::takeRevolution(const ScanFrames &revolution, bool complete)
{
    if (!m_scanning || !complete)
        return;
    m_scan.add(revolution);
    if (m_options.command == CliCommand::Monitor) {
        if (m_monitor.take(revolution))
            endScan();
        else
            m_revolutionTimeout.start();
        return;
    }
    m_console.progress(
        QStringLiteral("revolutions %1/%2").arg(m_scan.revolutions()).arg(m_options.revolutions));
    if (m_scan.revolutions() == m_options.revolutions)
        endScan();
    else
        m_revolutionTimeout.start();
}

// Whether or not the revolutions came, the device is told to stop before the tool ends.
void CommandRunner::endScan()
{
    m_scanning = false;
    m_revolutionTimeout.stop();
    m_captureTime.stop();
    m_session->stopScan();
}

void CommandRunner::afterScan()
{
    const int collected = m_scan.revolutions();
    if (collected == 0) {
        fail(DeviceFailed, QStringLiteral("no scan data"));
        return;
    }
    if (m_options.command == CliCommand::Monitor) {
        endMonitor();
        return;
    }
    if (collected < m_options.revolutions) {
        fail(DeviceFailed, QStringLiteral("scan incomplete: %1 of %2 revolutions")
                               .arg(collected)
                               .arg(m_options.revolutions));
        return;
    }
    QString error;
    if (!m_scan.commit(&error)) {
        fail(UsageOrFileError, error);
        return;
    }
    QString summary =
        QStringLiteral("%1 revolutions, %2 points").arg(collected).arg(m_scan.points());
    if (!m_options.csvFile.isEmpty())
        summary += QStringLiteral(" written to ") + m_options.csvFile;
    succeed(summary);
}

void CommandRunner::endMonitor()
{
    QString line;
    const ExitStatus status = m_monitor.finish(&line);
    if (status == Success)
        succeed(line);
    else
        fail(status, line);
}

// The recording runs from the link's opening, so a capture also holds the resolution reply a
// replay needs to decode the scan.
bool CommandRunner::startRecording(DeviceLink &link)
{
    QString error;
    if (!m_recorder.start(&link, m_options.captureFile, &error,
                          LinkRecorder::WhenLinkCloses::Discard)) {
        fail(UsageOrFileError, error);
        return false;
    }
    connect(&m_recorder, &LinkRecorder::bytesRecordedChanged, this, [this](qint64 bytes) {
        m_console.progress(QStringLiteral("captured %1 bytes").arg(bytes));
    });
    return true;
}

// Connected only now: the initialisation stops the device too.
void CommandRunner::startScanForCapture()
{
    connect(m_session, &DeviceSession::scanStarted, &m_captureTime, qOverload<>(&QTimer::start));
    connect(&m_captureTime, &QTimer::timeout, m_session, &DeviceSession::stopScan);
    connect(m_session, &DeviceSession::scanStopped, this, &CommandRunner::endCapture);
    m_session->startScan();
}

void CommandRunner::endCapture()
{
    const qint64 bytes = m_recorder.bytesRecorded();
    QString error;
    if (!m_recorder.stop(&error)) {
        fail(UsageOrFileError, error);
        return;
    }
    succeed(QStringLiteral("%1 bytes captured into %2").arg(bytes).arg(m_options.captureFile));
}

void CommandRunner::succeed(const QString &summary)
{
    if (m_finished)
        return;
    m_finished = true;
    m_console.summary(summary);
    emit finished(Success);
}

void CommandRunner::fail(ExitStatus status, const QString &line)
{
    if (m_finished)
        return;
    m_finished = true;
    // A capture cut short leaves an earlier file in its place.
    m_recorder.discard();
    m_console.failure(line);
    emit finished(status);
}
