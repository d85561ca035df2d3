#pragma once

#include "protocol/linktypes.h"

#include <QCommandLineParser>
#include <QHostAddress>
#include <QString>
#include <QStringList>

// How the tool reaches the device.
struct LinkOptions
{
    ConnMode mode = Usb;
    QString serialPath;
    qint32 baudRate = 460800;
    QString deviceHost;
    quint16 devicePort = 0;
    QHostAddress bindAddress = QHostAddress(QHostAddress::AnyIPv4);
    quint16 bindPort = 0;
};

enum class CliCommand
{
    Info,
    RegionsRead,
    RegionsWrite,
    RegionsVerify,
    RegionsFingerprint, // of FILE, or of the device's regions without one
    RegionsDiff,        // FILE against otherRegionFile, or against the device's regions
    RegionsBackup,
    RegionsReport,
    Scan,
    Capture,       // records what crosses the link
    Replay,        // decodes a capture; no link
    RegionsExport, // a region file as DXF or Nav2 polygons; no link
    RegionsImport, // a DXF layer into a region file; no link
    Monitor,       // evaluates a group's regions against the live scan
    Evaluate,      // evaluates a group's regions against a capture; no link
};

struct CliOptions
{
    LinkOptions link;
    CliCommand command = CliCommand::Info;
    QString regionFile;      // the FILE of the regions commands; A of diff; --regions of monitor
                             // and evaluate
    QString otherRegionFile; // B of diff; empty with --device
    bool againstDevice = false;
    QString backupFolder;
    QString pdfFile;
    QString captureFile; // the FILE of capture, replay and evaluate
    bool verify = false;
    int revolutions = 1;
    QString csvFile; // empty: no CSV
    int seconds = 10;
    bool scan = false; // capture: start acquisition first, stop it at the end
    bool quiet = false;
    // regions export and import
    QString dxfFile;
    QString nav2File;
    QString nav2Names;
    QString layer;
    int group = 0;      // --group, 1..15; 0: not given
    int region = 0;     // --region of regions import, 1..3; 0: not given
    int untilAlarm = 0; // monitor: end when this region (1..3) alarms; 0: run the seconds out
};

// Whether the command talks to a device through a LINK.
bool needsDevice(const CliOptions &options);

// The command line of vks20-cli: one link, one command and the options that go with it.
class CliCommandLine
{
public:
    CliCommandLine();

    // False when the command line is not one the tool takes; errorText() says why.
    bool parse(const QStringList &arguments);
    bool helpRequested() const;
    bool versionRequested() const;
    QString helpText() const;
    QString errorText() const { return m_error; }
    const CliOptions &options() const { return m_options; }

private:
    bool readLink();
    bool noLink();
    bool readRegionFormats();
    bool readCommand(const QStringList &words);
    bool readRegionsCommand(const QStringList &words);
    bool readCount(const QString &option, int &count);
    bool readAlarmWatch();
    bool readRegionIndex(const QString &option, int last, int &index);
    bool readNumber(const QString &option, int last, int &number);
    bool readEndpoint(const QString &option, QString &host, quint16 &port);
    bool onlyWith(const QString &option, bool allowed, const QString &where);
    bool fail(const QString &message);

    QCommandLineParser m_parser;
    CliOptions m_options;
    QString m_error;
};
