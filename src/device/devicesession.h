#pragma once

#include "device/replyscanner.h"
#include "protocol/linktypes.h"
#include "protocol/logsink.h"
#include "protocol/pointclouddecoder.h"
#include "protocol/regionframe.h"
#include "protocol/regionframeparser.h"

#include <QObject>
#include <QPair>
#include <QQueue>
#include <QSet>
#include <QVector>

#include <functional>

class DeviceLink;
class ReplayLink;
class StepTimer;

// The selections the connect initialisation sends to the device, as indexes of the tool's lists.
struct RadarParameters
{
    int baudIndex = 0;      // 460800, 921600
    int frequencyIndex = 2; // 20, 15, 10, 5 Hz, stop rotating
    int navModeIndex = 0;   // navigation, avoidance
};

// A region as the device names it: group 1..15, region 1..3.
struct RegionKey
{
    int group = 0;
    int region = 0;
    bool operator==(const RegionKey &other) const
    {
        return group == other.group && region == other.region;
    }
};

struct InitialisationResult
{
    bool stopAcknowledged = false;
    bool resolutionAnswered = false;
};

struct RegionWriteResult
{
    int sent = 0;
    QVector<RegionKey> unacknowledged; // in sending order
};

struct RegionReadResult
{
    int received = 0; // distinct regions stored
    bool complete() const { return received == RegionFrame::regionCount; }
};

// The conversation with one device, without any widget: the commands and their repeats, pauses
// and time-outs, the reply codes, point-cloud decoding and the region transfers. Operations run
// one at a time, each after those asked for before it, on timers and signals; nothing waits.
// The session outlives the links given to it: what it learnt (resolution, partial frames) stays
// for the next connection.
class DeviceSession : public QObject
{
    Q_OBJECT
    friend class DeviceSessionProbe;

public:
    enum class Transfer
    {
        Writing, // tool to device
        Reading, // device to tool
    };

    // Pauses and waits run on `timer` (owned by the session); a test passes a clock of its own.
    explicit DeviceSession(LogSink log, StepTimer *timer = nullptr, QObject *parent = nullptr);
    ~DeviceSession() override;

    // The link bytes travel on; it stays its owner's. Commands sent while it is closed (or
    // while there is none) are shown and logged but go nowhere. On a ReplayLink the session
    // sends nothing and follows the recorded conversation instead (sessionreplay.cpp).
    void setLink(DeviceLink *link);
    // Raw frames (Usb, Net) or Modbus-RTU; also decides what a reply looks like.
    void setMode(ConnMode mode);
    ConnMode mode() const { return m_mode; }
    LinkState linkState() const { return m_linkState; }
    const ScanGeometry &scanGeometry() const { return m_geometry; }
    bool isBusy() const { return m_operationRunning; }

    // The sequence run after every open: stop, parameters, resolution query, IO output mode.
    void initialise(const RadarParameters &parameters, int ioModeIndex);
    void startScan();
    void stopScan();
    void setIoOutputMode(int index);
    // The 45 regions in sending order (group by group, regions 1..3), vertices already in the
    // order they are to be written. False, with nothing queued, while another transfer is
    // asked for or under way.
    bool writeRegions(const QVector<RegionFrame::Content> &frames);
    bool readRegions();
    // The stop sent when the tool goes away: once, at once, without waiting for anything.
    void sendFinalStop();

signals:
    // Every command, as hex text, whether or not a link took it.
    void frameSent(const QString &hexText);
    void chunkReceived(const QString &hexText);
    // A line for the protocol monitor, already translated.
    void statusReported(const QString &text);
    void scanStarting();
    void scanStarted();
    void scanStopping();
    void scanStopped(bool acknowledged);
    void initialised(const InitialisationResult &result);
    void angleResolutionReceived(double degrees);
    void revolutionDecoded(const ScanFrames &revolution, bool complete);
    // A transfer's exchange begins (after its stop); the progress counts 0..45 from here.
    void transferStarted(DeviceSession::Transfer transfer);
    void transferProgress(int regions);
    void regionReceived(const RegionFrame::Content &frame);
    void regionsWritten(const RegionWriteResult &result);
    void regionsRead(const RegionReadResult &result);

private:
    using Step = std::function<void()>;
    using Outcome = std::function<void(bool)>;

    // The device takes the start more surely when it comes more than once.
    static constexpr int startRepeats = 3;
    static constexpr int startPauseMs = 150;

    // The send path and the receive dispatcher (devicesession.cpp).
    void send(const QString &hexText);
    void handleReceivedData(const QByteArray &chunk);
    void handleStopReply(const QString &hex);
    void handleResolutionReply(const QString &hex);
    void handleRegionWriteReply(const QString &hex);
    void handleRawRegionData(const QByteArray &chunk, const QString &hex);
    void handleModbusRegionData(const QByteArray &chunk);
    void setLinkState(LinkState state);
    void report(const QString &status, const QString &logText);
    void log(const QString &line) const;

    // Steps: one pause or reply wait at a time, then the next step.
    void pauseThen(int ms, Step next);
    // Ends early once the awaited reply is in; `next` learns whether it came.
    void awaitReplyThen(int ms, Outcome next);
    void endWaitEarly();
    void runPendingStep();
    // One operation at a time; `operation` calls the step it is given when it is done.
    void enqueue(std::function<void(Step done)> operation);
    void startNextOperation();

    // Scan operations (sessionoperations.cpp).
    void runStart(Step done);
    void runStop(Outcome done);
    void stopAttempt(int attempt, Outcome done);
    void runResolutionQuery(Outcome done);
    void runIoOutputMode(int index, Step done);
    void repeatCommand(const QString &command, int times, int pauseMs, Step done);

    // Region transfers (regiontransfer.cpp).
    void writeNextFrame(Step done);
    void startReading(Step done);
    void beginReading();
    void readBlock(int block, int attempt, Step done);
    void finishTransfer(Step done, const Step &report);
    void takeRegionFrame(const RegionFrame::Content &frame, RegionFrame::FrameCheck check);
    void storeRegion(const RegionFrame::Content &frame);

    // Following a replay (sessionreplay.cpp): each recorded command moves the session as
    // sending it did.
    void follow(ReplayLink *replay);
    void beginFollowing();
    void followRecordedCommand(const QByteArray &bytes, qint64 timeUs);
    void followRecordedTime(qint64 timeUs);
    void followRecordedStart(qint64 timeUs);

    LogSink m_log;
    StepTimer *m_timer;
    DeviceLink *m_link = nullptr;
    ConnMode m_mode = Usb;
    LinkState m_linkState = Scanning;
    ScanGeometry m_geometry;
    ReplyScanner m_scanner;
    PointCloudDecoder m_decoder;
    RegionFrameParser m_rawRegionParser;
    ModbusRegionReplyParser m_modbusRegionParser;

    Step m_pendingStep;
    bool m_stepEndsOnReply = false;
    bool m_replyReceived = false;
    QQueue<std::function<void(Step)>> m_operations;
    bool m_operationRunning = false;

    // The transfer asked for or under way.
    bool m_transferAsked = false;
    QVector<RegionFrame::Content> m_framesToWrite;
    RegionWriteResult m_writeResult;
    bool m_regionRequestAcked = false;
    QSet<QPair<int, int>> m_regionsStored;
    bool m_blockStored = false;
    bool m_blockDamaged = false;

    // The replay followed, if any: its recorded starts so far and when the scan began then.
    bool m_following = false;
    int m_recordedStarts = 0;
    qint64 m_recordedScanStartUs = 0;
};

Q_DECLARE_METATYPE(RegionFrame::Content)
Q_DECLARE_METATYPE(InitialisationResult)
Q_DECLARE_METATYPE(RegionWriteResult)
Q_DECLARE_METATYPE(RegionReadResult)
