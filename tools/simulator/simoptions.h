#pragma once

#include "protocol/linktypes.h"

#include <QCommandLineParser>
#include <QHostAddress>
#include <QSet>
#include <QString>
#include <QStringList>

// Misbehaviour of the device itself: what it answers and when it falls silent.
struct DeviceFaults
{
    bool noReply = false;          // commands take effect, but no answer ever leaves
    bool modelMismatch = false;    // every region write is refused as the wrong model
    QSet<int> checksumErrorFrames; // region write numbers 1..45 refused as bad checksum
    int silenceAfter = -1;         // region frames sent or answered per transfer; -1 = no limit
    int cablePullAfter = -1;       // region frames sent or received in the run; -1 = never
    int cablePullAfterScanMs = -1; // after each start of streaming; -1 = never
    bool streamGarbage = false;    // junk bytes between point-cloud frames
    int badGroupFrame = -1;        // frame number 1..45 of a reading that names group 0
    int dropVertexGroup = 0;       // the region stored without its last vertex when written:
    int dropVertexRegion = 0;      // group 1..15 and region 1..3; 0 = none
};

// Misbehaviour of the line between device and program.
struct WireFaults
{
    int replyDelayMs = 0;
    bool splitReplies = false; // every reply and frame leaves in 2-3 pieces
    int dropPercent = 0;       // replies lost on the way
    bool duplicateReplies = false;
    int pieceGapMs = 4;    // quiet time between the pieces of a split reply
    int corruptFrame = -1; // frame number 1..45 of a reading with one bit flipped, once
    int lateCopyMs = -1;   // raw reading: the 45th frame arrives again this much later
};

enum class SimLink
{
    Udp,
    Serial,
};

struct SimOptions
{
    SimLink link = SimLink::Udp;
    QHostAddress udpAddress = QHostAddress(QHostAddress::LocalHost);
    quint16 udpPort = 5020;
    bool modbus = false;
    ScanGeometry geometry = ScanGeometry::fine();
    int rateHz = 10;
    QString regionsFile;
    QString truthFile;   // CSV of every point streamed
    QString ptyLink;     // symlink kept pointing at the current pseudo-terminal
    int comeBackMs = -1; // serial: plug back in this long after a pulled cable; -1 = exit
    bool log = false;
    quint32 seed = 1;
    DeviceFaults faults;
    WireFaults wire;
};

// The command line of vks20-sim.
class SimCommandLine
{
public:
    SimCommandLine();

    // False when an option is malformed or not allowed; errorText() says why.
    bool parse(const QStringList &arguments);
    bool helpRequested() const;
    QString helpText() const;
    QString errorText() const { return m_error; }
    const SimOptions &options() const { return m_options; }

private:
    bool readOptions();
    bool readUdpEndpoint(const QString &text);
    bool readInt(const QString &name, int minimum, int maximum, int &value);
    bool readFrameList(const QString &text);
    bool readDropVertex(const QString &text);
    bool fail(const QString &message);

    QCommandLineParser m_parser;
    SimOptions m_options;
    QString m_error;
};
