#include "simdevice.h"

#include "protocol/hextext.h"
#include "protocol/modbus.h"
#include "protocol/regionframe.h"
#include "regions/regionfile.h"

#include <QFile>


namespace {

const QByteArray ack = QByteArray::fromHex("A55A0098FAFB");
const QByteArray checksumError = QByteArray::fromHex("A55AFE96FAFB");
const QByteArray modelMismatch = QByteArray::fromHex("A55AEF87FAFB");
constexpr int firstVertexSlotOffset = 11;
const QByteArray modbusReadHead = QByteArray::fromHex("010388"); // slave, read, 136 bytes
constexpr int stopRotatingFrequency = 4;

const char *kindName(SimCommand::Kind kind)
{
    static const char *const names[] = {
        "stop",           "resolution query", "start",        "parameters",        "io output mode",
        "region request", "region frame ack", "region write", "region block read", "unknown"};
    return names[kind];
}

} // namespace

SimDevice::SimDevice(const SimOptions &options, QObject *parent)
    : QObject(parent), m_options(options), m_framer(options.modbus),
      m_queue(options.wire, options.seed),
      m_streamer(options.geometry, options.rateHz, options.seed), m_truth(options.geometry),
      m_regions(Regions::initialStore())
{
    m_streamer.setGarbage(options.faults.streamGarbage);
    connect(&m_streamer, &ScanStreamer::frameReady, &m_queue, &SendQueue::sendStream);
    connect(&m_streamer, &ScanStreamer::frameReady, this,
            [this](const QByteArray &bytes) { m_truth.record(bytes); });
    m_scanCablePull.setSingleShot(true);
    connect(&m_scanCablePull, &QTimer::timeout, this, &SimDevice::pullCable);
    connect(&m_queue, &SendQueue::bytesOut, this, &SimDevice::bytesOut);
    connect(&m_queue, &SendQueue::linkEnded, this, &SimDevice::linkEnded);
}

bool SimDevice::restoreRegions()
{
    const QString &path = m_options.regionsFile;
    return path.isEmpty() || !QFile::exists(path) || RegionFile::load(path, m_regions);
}

bool SimDevice::openTruthFile(QString *error)
{
    return m_options.truthFile.isEmpty() || m_truth.open(m_options.truthFile, error);
}

void SimDevice::reconnect()
{
    m_linkDown = false;
    m_motorStopped = false;
    m_transfer = Transfer::None;
    m_transferFrames = 0;
    m_regionFramesInRun = 0;
    m_framer = CommandFramer(m_options.modbus);
    m_queue.reopen();
    log(QStringLiteral("--"), {}, QStringLiteral("cable plugged back in"));
}

void SimDevice::receive(const QByteArray &bytes)
{
    if (m_linkDown)
        return;
    const QVector<SimCommand> commands = m_framer.feed(bytes);
    for (const SimCommand &command : commands) {
        if (m_linkDown)
            return;
        handle(command);
    }
}

void SimDevice::handle(const SimCommand &command)
{
    log(QStringLiteral("<<"), command.frame, QString::fromLatin1(kindName(command.kind)));
    followTransfer(command);
    const bool modbus = m_options.modbus;
    switch (command.kind) {
    case SimCommand::Stop:
        stopStreaming();
        reply(modbus ? modbusWriteEcho(command) : ack);
        break;
    case SimCommand::ResolutionQuery: {
        const char code =
            m_options.geometry.pointsPerFrame == ScanGeometry::fine().pointsPerFrame ? 0x10 : 0x20;
        const QByteArray answer = QByteArray::fromHex("A55A00") + code + "\xFA\xFB";
        reply(modbus ? withModbusCrc(QByteArray::fromHex("010306") + answer) : answer);
        break;
    }
    case SimCommand::Start:
        if (modbus)
            reply(modbusWriteEcho(command));
        startScan();
        break;
    case SimCommand::Parameters:
        applyParameters(command.payload);
        if (modbus)
            reply(modbusWriteEcho(command));
        break;
    case SimCommand::RegionRequest:
        answerRegionRequest();
        break;
    case SimCommand::FrameAck:
        if (m_transfer == Transfer::RawReading)
            sendNextRegionFrame(0);
        break;
    case SimCommand::RegionWrite:
        storeRegionWrite(command);
        break;
    case SimCommand::RegionBlockRead:
        answerBlockRead(command);
        break;
    case SimCommand::IoMode:
    case SimCommand::Unknown:
        break;
    }
}

// A transfer lasts while its own kind of request keeps coming; anything else ends it.
// The IO output command is no request for the transfer and leaves it alone.
void SimDevice::followTransfer(const SimCommand &command)
{
    Transfer transfer = Transfer::None;
    switch (command.kind) {
    case SimCommand::IoMode:
        return;
    case SimCommand::FrameAck:
        transfer = m_transfer == Transfer::RawReading ? Transfer::RawReading : Transfer::None;
        break;
    case SimCommand::RegionRequest:
        transfer = Transfer::RawReading;
        m_transferFrames = 0;
        break;
    case SimCommand::RegionWrite:
        transfer = Transfer::Writing;
        break;
    case SimCommand::RegionBlockRead:
        transfer = Transfer::ModbusReading;
        break;
    default:
        break;
    }
    if (transfer != m_transfer)
        m_transferFrames = 0;
    m_transfer = transfer;
}

void SimDevice::startScan()
{
    if (m_motorStopped) {
        log(QStringLiteral("--"), {}, QStringLiteral("motor stopped by parameters, start ignored"));
        return;
    }
    const int pullAfterMs = m_options.faults.cablePullAfterScanMs;
    if (!m_streamer.isRunning() && pullAfterMs >= 0)
        m_scanCablePull.start(pullAfterMs);
    m_streamer.start();
}

void SimDevice::stopStreaming()
{
    m_streamer.stop();
    m_scanCablePull.stop();
    m_truth.finishRevolution();
}

// FF B F A1 N: baud rate, frequency and navigation mode indexes. The simulated motor turns
// at --rate whatever frequency is asked for, but "stop rotating" stops it.
void SimDevice::applyParameters(const QByteArray &payload)
{
    const int frequency = quint8(payload.at(2));
    m_motorStopped = frequency == stopRotatingFrequency;
    if (m_motorStopped)
        stopStreaming();
    log(QStringLiteral("--"), {},
        QStringLiteral("parameters: baud index %1, frequency index %2, navigation mode %3")
            .arg(quint8(payload.at(1)))
            .arg(frequency)
            .arg(quint8(payload.at(4))));
}

void SimDevice::answerRegionRequest()
{
    reply(ack);
    sendNextRegionFrame(firstRegionFrameDelayMs);
}

// Raw reading: one frame per acknowledgement, in block order, 45 in all.
void SimDevice::sendNextRegionFrame(int extraDelayMs)
{
    const int silenceAfter = m_options.faults.silenceAfter;
    if (m_transferFrames >= RegionFrame::regionCount ||
        (silenceAfter >= 0 && m_transferFrames >= silenceAfter))
        return;
    const int frameNumber = ++m_transferFrames;
    const QByteArray frame = deviceRegionFrame(frameNumber - 1, frameNumber);
    reply(inTransit(frame, frameNumber, 0), extraDelayMs);
    if (frameNumber == RegionFrame::regionCount && m_options.wire.lateCopyMs >= 0)
        QTimer::singleShot(m_options.wire.lateCopyMs, this, [this, frame] { sendLateCopy(frame); });
    countRegionFrame();
}

// The last frame once more, as a retransmission on the line would bring it.
void SimDevice::sendLateCopy(const QByteArray &frame)
{
    if (m_linkDown)
        return;
    log(QStringLiteral("--"), {}, QStringLiteral("late copy of the last region frame"));
    reply(frame);
}

void SimDevice::answerBlockRead(const SimCommand &command)
{
    const int silenceAfter = m_options.faults.silenceAfter;
    if (silenceAfter >= 0 && m_transferFrames >= silenceAfter)
        return;
    const int frameNumber = ++m_transferFrames;
    const QByteArray data = '\0' + deviceRegionFrame(command.block, frameNumber) + '\0';
    reply(inTransit(withModbusCrc(modbusReadHead + data), frameNumber, modbusReadHead.size() + 1));
    countRegionFrame();
}

void SimDevice::storeRegionWrite(const SimCommand &command)
{
    const int frameNumber = ++m_transferFrames;
    const int silenceAfter = m_options.faults.silenceAfter;
    if (silenceAfter < 0 || frameNumber <= silenceAfter) {
        const QByteArray verdict = writeVerdict(command, frameNumber);
        if (verdict.isEmpty()) {
            storeRegion(command.regionFrame);
            reply(m_options.modbus ? modbusWriteEcho(command) : ack);
            if (frameNumber == RegionFrame::regionCount)
                saveRegionsFile();
        } else {
            reply(verdict);
        }
    }
    countRegionFrame();
}

// Empty when the frame is accepted, otherwise the device's refusal. The refusals are the
// raw codes in Modbus mode too: the program looks for them whatever the link.
QByteArray SimDevice::writeVerdict(const SimCommand &command, int frameNumber) const
{
    const QByteArray &frame = command.regionFrame;
    if (m_options.faults.modelMismatch)
        return modelMismatch;
    if (m_options.faults.checksumErrorFrames.contains(frameNumber) ||
        !RegionFrame::fitsStore(frame))
        return checksumError;
    // A Modbus block carries 00 in the checksum position; the CRC already guards it.
    if (!m_options.modbus && !RegionFrame::isIntact(frame))
        return checksumError;
    return {};
}

void SimDevice::storeRegion(const QByteArray &frame)
{
    const RegionFrame::Content content = RegionFrame::decode(frame);
    Region &region = m_regions[content.groupIndex][content.regionNumber - 1];
    region.polygon = content.polygon;
    region.alarmPointNum = content.alarmPointNum;
    const DeviceFaults &faults = m_options.faults;
    if (content.groupIndex == faults.dropVertexGroup &&
        content.regionNumber == faults.dropVertexRegion && !region.polygon.isEmpty())
        region.polygon.removeLast();
}

void SimDevice::saveRegionsFile()
{
    const QString &path = m_options.regionsFile;
    if (path.isEmpty())
        return;
    const bool saved = RegionFile::save(m_regions, path);
    log(QStringLiteral("--"), {},
        (saved ? QStringLiteral("regions saved to ")
               : QStringLiteral("could not save regions to ")) +
            path);
}

// Region block k as the device sends it as frame `frameNumber` of a reading: type 0x03,
// checksum, FA FB.
QByteArray SimDevice::deviceRegionFrame(int block, int frameNumber) const
{
    const int groupIndex = block / Regions::regionsPerGroup + 1;
    const int rgnIndex = block % Regions::regionsPerGroup;
    const Region &region = m_regions.value(groupIndex).at(rgnIndex);
    const int named = frameNumber == m_options.faults.badGroupFrame ? 0 : groupIndex;
    return RegionFrame::encodeFromDevice(
        {named, rgnIndex + 1, region.alarmPointNum, region.polygon});
}

// Line noise: one bit of the first vertex slot flips after the checksum or CRC was computed.
// It strikes once, so a frame asked for again arrives intact.
QByteArray SimDevice::inTransit(QByteArray bytes, int frameNumber, int frameOffset)
{
    if (frameNumber != m_options.wire.corruptFrame || m_transitDamageDone)
        return bytes;
    m_transitDamageDone = true;
    bytes[frameOffset + firstVertexSlotOffset] =
        char(bytes.at(frameOffset + firstVertexSlotOffset) ^ 0x01);
    return bytes;
}

// The standard answer to a register write: slave, function, first register, count, CRC.
QByteArray SimDevice::modbusWriteEcho(const SimCommand &command) const
{
    return withModbusCrc(command.frame.left(6));
}

// Counts a region frame sent or received; the cable comes out after the configured number.
void SimDevice::countRegionFrame()
{
    const int pullAfter = m_options.faults.cablePullAfter;
    if (pullAfter >= 0 && ++m_regionFramesInRun >= pullAfter)
        pullCable();
}

void SimDevice::pullCable()
{
    log(QStringLiteral("--"), {}, QStringLiteral("cable pulled"));
    m_linkDown = true;
    stopStreaming();
    m_queue.endLink();
}

void SimDevice::reply(const QByteArray &bytes, int extraDelayMs)
{
    if (m_options.faults.noReply) {
        log(QStringLiteral("  "), bytes, QStringLiteral("withheld"));
        return;
    }
    log(QStringLiteral(">>"), bytes);
    m_queue.sendReply(bytes, extraDelayMs);
}

void SimDevice::log(const QString &direction, const QByteArray &bytes, const QString &note)
{
    QString line = direction;
    if (!bytes.isEmpty())
        line += QLatin1Char(' ') + HexText::fromBytes(bytes);
    if (!note.isEmpty())
        line += QLatin1Char(' ') + note;
    emit trace(line);
}
