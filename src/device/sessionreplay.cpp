// Following a replayed conversation: the session sends nothing, and takes each command the tool
// sent then as if it were sending it now, so that the device's chunks are read as they were.
#include "device/devicesession.h"

#include "device/replaylink.h"
#include "protocol/commands.h"
#include "protocol/hextext.h"

namespace {

constexpr qint64 usPerMs = 1000;
// Function code, register address and register count: what tells one Modbus block from another.
constexpr int modbusRequestHeadSize = 6;

enum class Command
{
    Other,
    Stop,
    Start,
    ResolutionQuery,
    RegionRequest,
    RegionWrite,
};

struct RecordedCommand
{
    Command command = Command::Other;
    ConnMode form = Usb;
    int block = 0; // of a Modbus region request or write
};

bool isModbusWrite(const QByteArray &bytes, int block)
{
    return bytes.size() == RegionFrame::modbusWriteRequestSize &&
           bytes.startsWith(RegionFrame::modbusWriteRequest(block, {}).left(modbusRequestHeadSize));
}

RecordedCommand recognise(const QByteArray &bytes)
{
    const QString hex = HexText::fromBytes(bytes);
    for (ConnMode form : {Usb, Modbus}) {
        if (hex == DeviceCommand::stopScan(form))
            return {Command::Stop, form};
        if (hex == DeviceCommand::startScan(form))
            return {Command::Start, form};
        if (hex == DeviceCommand::resolutionQuery(form))
            return {Command::ResolutionQuery, form};
    }
    if (hex == DeviceCommand::regionRequest)
        return {Command::RegionRequest, Usb};
    if (bytes.size() == RegionFrame::size && RegionFrame::isIntact(bytes))
        return {Command::RegionWrite, Usb};
    for (int block = 0; block < RegionFrame::regionCount; ++block) {
        if (bytes == RegionFrame::modbusReadRequest(block))
            return {Command::RegionRequest, Modbus, block};
        if (isModbusWrite(bytes, block))
            return {Command::RegionWrite, Modbus, block};
    }
    return {};
}

} // namespace

void DeviceSession::follow(ReplayLink *replay)
{
    m_following = replay != nullptr;
    if (!replay)
        return;
    connect(replay, &ReplayLink::recordedCommand, this, &DeviceSession::followRecordedCommand);
    connect(replay, &ReplayLink::recordedTimeReached, this, &DeviceSession::followRecordedTime);
    connect(replay, &ReplayLink::rewound, this, &DeviceSession::beginFollowing);
    beginFollowing();
}

// A recording may begin in the middle of a scan, with a revolution whose start it missed.
void DeviceSession::beginFollowing()
{
    setLinkState(Scanning);
    m_decoder.restartStream();
}

void DeviceSession::followRecordedCommand(const QByteArray &bytes, qint64 timeUs)
{
    const QString hex = HexText::fromBytes(bytes);
    log(QStringLiteral("the software send data >>> ") + hex);
    emit frameSent(hex);

    const RecordedCommand recorded = recognise(bytes);
    if (recorded.command != Command::Other)
        m_mode = recorded.form;
    switch (recorded.command) {
    case Command::Stop:
        setLinkState(StoppingScan);
        break;
    case Command::Start:
        followRecordedStart(timeUs);
        break;
    case Command::ResolutionQuery:
        setLinkState(ResolutionQuery);
        break;
    case Command::RegionRequest:
        // A Modbus reading asks block by block; its first request begins it.
        if (m_mode != Modbus || m_linkState != RegionsFromDevice)
            beginReading();
        break;
    case Command::RegionWrite:
        // The Modbus echo awaited names the block.
        m_writeResult.sent = recorded.block;
        setLinkState(RegionsToDevice);
        break;
    case Command::Other:
        break;
    }
}

// The live start scans from its last repeat on. A recording that began within the repeats
// cannot count to the last: it scans once no further start has come for as long as all the
// repeats take.
void DeviceSession::followRecordedStart(qint64 timeUs)
{
    if (m_linkState != StartingScan) {
        setLinkState(StartingScan);
        m_recordedStarts = 0;
    }
    if (++m_recordedStarts == startRepeats)
        setLinkState(Scanning);
    m_recordedScanStartUs = timeUs + startRepeats * startPauseMs * usPerMs;
}

void DeviceSession::followRecordedTime(qint64 timeUs)
{
    if (m_linkState == StartingScan && timeUs >= m_recordedScanStartUs)
        setLinkState(Scanning);
}
