#pragma once

#include "alarmmonitor.h"
#include "clioptions.h"
#include "exitstatus.h"
#include "scanrecording.h"

#include "device/devicesession.h"
#include "device/linkrecorder.h"
#include "regions/region.h"

#include <QObject>
#include <QTimer>

class Console;
class DeviceLink;

// Runs one command on the device session, as the window would: the connect initialisation,
// then the command's operations, each started by the session signal that ends the one before.
// It ends once, through `finished`, having said on the console how it went.
class CommandRunner : public QObject
{
    Q_OBJECT
public:
    CommandRunner(const CliOptions &options, Console &console, QObject *parent = nullptr);

    // Reads the region file or readies the output file, before anything is sent; false, with
    // `error`, when the command cannot run.
    bool prepare(QString *error);
    void start(DeviceSession &session, DeviceLink &link);

signals:
    void finished(int exitStatus);

private:
    void runCommand(const InitialisationResult &initialisation);
    void showInfo();
    void afterWriting(const RegionWriteResult &result);
    void afterReading(const RegionReadResult &result);
    void compareWithFile();
    // Fingerprint, diff against the device, backup: they say themselves how it went.
    void proveDeviceRegions();
    void saveDeviceRegions();
    void startScan();
    void takeRevolution(const ScanFrames &revolution, bool complete);
    void endScan();
    void afterScan();
    void endMonitor();
    // False, having said why, when the capture file cannot be written.
    bool startRecording(DeviceLink &link);
    void startScanForCapture();
    void endCapture();
    void succeed(const QString &summary);
    void fail(ExitStatus status, const QString &line);

    const CliOptions m_options;
    Console &m_console;
    DeviceSession *m_session = nullptr;
    RegionStore m_fileRegions;
    RegionStore m_deviceRegions;
    ScanRecording m_scan;
    AlarmMonitor m_monitor;
    bool m_scanning = false; // complete revolutions are taken
    QTimer m_revolutionTimeout;
    LinkRecorder m_recorder;
    QTimer m_captureTime;
    bool m_finished = false;
};
