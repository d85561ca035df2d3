// Moves the 45 alarm regions between the tool and the device, one region frame each. Writing
// sends a frame every 100 ms and counts the acknowledgements; reading asks once and takes the
// frames as the device sends them (raw), or asks block by block (Modbus).
#include "device/devicesession.h"

#include "protocol/commands.h"
#include "protocol/hextext.h"

namespace {

constexpr int frameReplyWaitMs = 100;
constexpr int modbusBlockReplyWaitMs = 250;
constexpr int rawReadingTimeoutMs = 10000;
// A block whose reply came damaged is asked for at most this often in all.
constexpr int modbusBlockAttempts = 3;

} // namespace

bool DeviceSession::writeRegions(const QVector<RegionFrame::Content> &frames)
{
    if (m_transferAsked)
        return false;
    m_transferAsked = true;
    enqueue([this, frames](Step done) {
        log(QStringLiteral("Start downloading......"));
        runStop([this, frames, done](bool) {
            m_framesToWrite = frames;
            m_writeResult = {};
            emit transferStarted(Transfer::Writing);
            writeNextFrame(done);
        });
    });
    return true;
}

void DeviceSession::writeNextFrame(Step done)
{
    const int block = m_writeResult.sent;
    if (block == m_framesToWrite.size()) {
        finishTransfer(done, [this] { emit regionsWritten(m_writeResult); });
        return;
    }
    const RegionFrame::Content &frame = m_framesToWrite.at(block);
    if (block == 0 || m_framesToWrite.at(block - 1).groupIndex != frame.groupIndex)
        log(QStringLiteral("Regional group index") + QString::number(frame.groupIndex));
    log(QStringLiteral("Regional index") + QString::number(frame.regionNumber));
    log(QStringLiteral("Alarm points:") + QString::number(frame.alarmPointNum));
    log(QStringLiteral("Download obstacle avoidance area......"));
    setLinkState(RegionsToDevice);
    m_replyReceived = false;
    send(HexText::fromBytes(
        m_mode == Modbus ? RegionFrame::modbusWriteRequest(block, RegionFrame::encodeBody(frame))
                         : RegionFrame::encodeRaw(frame)));
    ++m_writeResult.sent;
    emit transferProgress(m_writeResult.sent);
    // The full pause always runs: the device needs it between frames.
    pauseThen(frameReplyWaitMs, [this, frame, done] {
        if (!m_replyReceived) {
            log(QStringLiteral("Response timeout......"));
            m_writeResult.unacknowledged.append({frame.groupIndex, frame.regionNumber});
        }
        writeNextFrame(done);
    });
}

void DeviceSession::handleRegionWriteReply(const QString &hex)
{
    const QString code = m_scanner.scan(hex);
    if (code == ReplyCode::checksumError) {
        report(tr("校验位错误"), QStringLiteral("Check bit error......"));
    } else if (code == ReplyCode::modelMismatch) {
        report(tr("雷达的实际型号不符"),
               QStringLiteral("The actual model of the radar does not match......"));
    } else if (!code.isEmpty()) {
        m_replyReceived = true;
        report(tr("下位机接收成功"),
               QStringLiteral("The lower computer received successfully......"));
    }
}

bool DeviceSession::readRegions()
{
    if (m_transferAsked)
        return false;
    m_transferAsked = true;
    enqueue([this](Step done) {
        log(QStringLiteral("Start uploading......"));
        log(QStringLiteral("Send command to upload obstacle avoidance area......"));
        runStop([this, done](bool) { startReading(done); });
    });
    return true;
}

void DeviceSession::startReading(Step done)
{
    emit transferStarted(Transfer::Reading);
    beginReading();
    const Step finish = [this, done] {
        finishTransfer(done, [this] { emit regionsRead({m_regionsStored.size()}); });
    };
    if (m_mode == Modbus) {
        readBlock(0, 1, finish);
        return;
    }
    // The device sends its 45 frames on its own, each after the acknowledgement of the last.
    send(DeviceCommand::regionRequest);
    awaitReplyThen(rawReadingTimeoutMs, [finish](bool) { finish(); });
}

void DeviceSession::beginReading()
{
    setLinkState(RegionsFromDevice);
    m_regionRequestAcked = false;
    m_regionsStored.clear();
    // Leftovers of an unfinished reading would complete this one early.
    m_rawRegionParser.reset();
    m_modbusRegionParser.reset();
}

void DeviceSession::readBlock(int block, int attempt, Step done)
{
    if (block == RegionFrame::regionCount) {
        done();
        return;
    }
    m_replyReceived = false;
    m_blockStored = false;
    m_blockDamaged = false;
    send(HexText::fromBytes(RegionFrame::modbusReadRequest(block)));
    // The full wait always runs, as the device's pace asks.
    pauseThen(modbusBlockReplyWaitMs, [this, block, attempt, done] {
        if (m_blockDamaged && !m_blockStored && attempt < modbusBlockAttempts) {
            readBlock(block, attempt + 1, done);
            return;
        }
        if (!m_replyReceived)
            log(QString::number(block) + QStringLiteral("Regional response timeout......"));
        readBlock(block + 1, 1, done);
    });
}

// Every transfer ends by telling the device to scan again, whether or not it was scanning.
void DeviceSession::finishTransfer(Step done, const Step &reportResult)
{
    runStart([this, done, reportResult] {
        m_transferAsked = false;
        reportResult();
        done();
    });
}

void DeviceSession::handleRawRegionData(const QByteArray &chunk, const QString &hex)
{
    if (!m_regionRequestAcked && !m_scanner.scan(hex).isEmpty()) {
        report(tr("下位机接收到下载指令"),
               QStringLiteral("The lower computer received a download command......"));
        m_regionRequestAcked = true;
    }
    // Acknowledgements are no region data; the parser passes over them, and a chunk of nothing
    // else is not announced as data being parsed.
    const bool regionData = !QString(hex).remove(ReplyCode::ack).isEmpty();
    if (regionData)
        report(tr("开始解析下载区域数据"),
               QStringLiteral("Start parsing download area data......"));
    m_rawRegionParser.feed(
        chunk, m_geometry.frameLength,
        [this](const RegionFrame::Content &frame, RegionFrame::FrameCheck check) {
            takeRegionFrame(frame, check);
        });
    if (regionData)
        report(tr("结束解析下载区域数据"), QStringLiteral("End parsing download area data......"));
    if (m_regionsStored.size() == RegionFrame::regionCount)
        endWaitEarly();
}

void DeviceSession::handleModbusRegionData(const QByteArray &chunk)
{
    m_replyReceived = true;
    report(tr("开始解析下载区域数据"), QStringLiteral("Start parsing download area data......"));
    m_modbusRegionParser.feed(
        chunk, [this](const RegionFrame::Content &frame, RegionFrame::FrameCheck check) {
            takeRegionFrame(frame, check);
        });
    report(tr("结束解析下载区域数据"), QStringLiteral("End parsing download area data......"));
}

// In the raw modes every region frame is acknowledged, a damaged or unusable one too: the
// device waits for the acknowledgement before it sends the next frame.
void DeviceSession::takeRegionFrame(const RegionFrame::Content &frame,
                                    RegionFrame::FrameCheck check)
{
    if (check == RegionFrame::FrameCheck::Damaged)
        m_blockDamaged = true;
    if (m_mode != Modbus) {
        log(QStringLiteral("One frame data upload completed, send response signal......"));
        send(DeviceCommand::regionFrameAck);
    }
    if (check == RegionFrame::FrameCheck::Usable)
        storeRegion(frame);
}

void DeviceSession::storeRegion(const RegionFrame::Content &frame)
{
    m_blockStored = true;
    const int before = m_regionsStored.size();
    m_regionsStored.insert({frame.groupIndex, frame.regionNumber});
    emit regionReceived(frame);
    emit transferProgress(m_regionsStored.size());
    // A repeated frame is stored again but completes nothing a second time.
    if (m_regionsStored.size() == RegionFrame::regionCount && before < m_regionsStored.size()) {
        emit statusReported(tr("上传区域数据完成"));
        log(QStringLiteral("Upload area data completed......"));
        m_rawRegionParser.reset();
        m_modbusRegionParser.reset();
    }
}
