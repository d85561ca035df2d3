#include "protocol/regionframeparser.h"

#include "protocol/hextext.h"
#include "protocol/modbus.h"

#include <utility>

namespace {

constexpr char regionDataType = 0x03;
constexpr int typeOffset = 2;
const QByteArray acknowledgement = QByteArrayLiteral("\xA5\x5A\x00\x98\xFA\xFB");
const QByteArray modbusReplyHeader = QByteArrayLiteral("\x01\x03\x88");
// The region frame inside a Modbus reply: after the header and one zero byte.
constexpr int modbusFrameOffset = 4;

using RegionFrame::FrameCheck;

FrameCheck checkFrame(const QByteArray &frame, bool checksummed)
{
    if (checksummed && !RegionFrame::isIntact(frame))
        return FrameCheck::Damaged;
    return RegionFrame::fitsStore(frame) ? FrameCheck::Usable : FrameCheck::Unusable;
}

// Decodes a region frame of type 0x03, tells its trace and hands it on.
void takeRegionFrame(const QByteArray &frame, FrameCheck check, const LogSink &log,
                     const RegionFrameHandler &onFrame)
{
    const RegionFrame::Content content = RegionFrame::decode(frame);
    if (log) {
        log(QStringLiteral("Regional group index >>> ") + QString::number(content.groupIndex));
        log(QStringLiteral("Number of alarm points:") + QString::number(content.alarmPointNum));
        log(QStringLiteral("oneFrame data >>> ") + HexText::fromBytes(frame));
        switch (check) {
        case FrameCheck::Usable:
            log(QStringLiteral("The second byte is 0X03, which is for uploading data......"));
            break;
        case FrameCheck::Unusable:
            log(QStringLiteral("The region frame names no stored region and is discarded......"));
            break;
        case FrameCheck::Damaged:
            log(QStringLiteral("The region frame fails its checksum and is discarded......"));
            break;
        }
    }
    if (onFrame)
        onFrame(content, check);
}

void traceOtherType(const LogSink &log)
{
    if (log)
        log(QStringLiteral(
            "The second byte is not 0X03 and is discarded as point cloud data......"));
}

} // namespace

RegionFrameParser::RegionFrameParser(LogSink log) : m_log(std::move(log)) {}

void RegionFrameParser::feed(const QByteArray &chunk, int pointCloudFrameLength,
                             const RegionFrameHandler &onFrame)
{
    // Skipping at least the header guarantees progress whatever length is passed in.
    const int skipLength = qMax(pointCloudFrameLength, HeaderedBuffer::deviceHeader.size());

    m_buffer.append(chunk);
    m_buffer.traceBeforeCutting(m_log);
    for (int pos = m_buffer.findHeader(); pos >= 0; pos = m_buffer.findHeader()) {
        const QByteArray start = m_buffer.bytesAt(pos, acknowledgement.size());
        if (acknowledgement.startsWith(start)) {
            if (start.size() < acknowledgement.size())
                return; // the rest of what may be an acknowledgement is on its way
            m_buffer.drop(pos + acknowledgement.size());
            continue;
        }
        const QByteArray frame = m_buffer.bytesAt(pos, RegionFrame::size);
        if (frame.size() < RegionFrame::size)
            return;
        if (frame.at(typeOffset) != regionDataType) {
            traceOtherType(m_log);
            m_buffer.drop(pos + skipLength);
        } else {
            takeRegionFrame(frame, checkFrame(frame, true), m_log, onFrame);
            m_buffer.drop(pos + RegionFrame::size);
        }
        m_buffer.traceAfterDrop(m_log);
        m_buffer.traceBeforeCutting(m_log);
    }
}

ModbusRegionReplyParser::ModbusRegionReplyParser(LogSink log)
    : m_log(std::move(log)), m_buffer(modbusReplyHeader, maxBufferedBytes)
{}

void ModbusRegionReplyParser::feed(const QByteArray &chunk, const RegionFrameHandler &onFrame)
{
    m_buffer.append(chunk);
    m_buffer.traceBeforeCutting(m_log);
    for (int pos = m_buffer.findHeader(); pos >= 0; pos = m_buffer.findHeader()) {
        const QByteArray reply = m_buffer.bytesAt(pos, replySize);
        if (reply.size() < replySize)
            return;
        if (!hasValidModbusCrc(reply)) {
            if (m_log)
                m_log(QStringLiteral("The Modbus reply fails its CRC and is discarded......"));
            if (onFrame)
                onFrame({}, FrameCheck::Damaged);
            m_buffer.drop(pos + 1);
        } else {
            const QByteArray frame = reply.mid(modbusFrameOffset, RegionFrame::size);
            // The checksum position of a block is not the device's to fill: the CRC guards it.
            if (frame.at(typeOffset) == regionDataType)
                takeRegionFrame(frame, checkFrame(frame, false), m_log, onFrame);
            else
                traceOtherType(m_log);
            m_buffer.drop(pos + replySize);
        }
        m_buffer.traceAfterDrop(m_log);
        m_buffer.traceBeforeCutting(m_log);
    }
}
