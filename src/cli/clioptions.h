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
    Scan,
    Capture,  // records what crosses the link
    Replay,   // decodes a capture; no link
    Monitor,  // evaluates a group's regions against the live scan
    Evaluate, // evaluates a group's regions against a capture; no link
};

struct CliOptions
{
    LinkOptions link;
    CliCommand command = CliCommand::Info;
    QString regionFile;  // the FILE of the regions commands, --regions of monitor and evaluate
    QString captureFile; // the FILE of capture, replay and evaluate
    bool verify = false;
    int revolutions = 1;
    QString csvFile; // empty: no CSV
    int seconds = 10;
    bool scan = false; // capture: start acquisition first, stop it at the end
    bool quiet = false;
    int group = 0;      // --group of monitor and evaluate, 1..15
    int untilAlarm = 0; // monitor: end when this region (1..3) alarms; 0: run the seconds out
};

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
    bool readCommand(const QStringList &words);
    bool readCount(const QString &option, int &count);
    bool readAlarmWatch();
    bool readNumber(const QString &option, int last, int &number);
    bool readEndpoint(const QString &option, QString &host, quint16 &port);
    bool onlyWith(const QString &option, bool allowed, const QString &where);
    bool fail(const QString &message);

    QCommandLineParser m_parser;
    CliOptions m_options;
    QString m_error;
};
