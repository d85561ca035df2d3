#include "protocol/regionframeparser.h"

#include "protocol/hextext.h"

#include <utility>

namespace {

constexpr char regionDataType = 0x03;
constexpr int typeOffset = 2;

} // namespace

RegionFrameParser::RegionFrameParser(LogSink log) : m_log(std::move(log)) {}

void RegionFrameParser::reset()
{
    m_buffer.clear();
    m_receivedRegions.clear();
}

bool RegionFrameParser::feed(const QByteArray &chunk, int pointCloudFrameLength,
                             const FrameHandler &onFrame)
{
    // Skipping at least the header guarantees progress whatever length is passed in.
    const int skipLength = qMax(pointCloudFrameLength, HeaderedBuffer::headerSize);

    m_buffer.append(chunk);
    m_buffer.traceBeforeCutting(m_log);
    for (int pos = m_buffer.findHeader(); pos >= 0; pos = m_buffer.findHeader()) {
        const QByteArray frame = m_buffer.bytesAt(pos, RegionFrame::size);
        if (frame.size() < RegionFrame::size)
            return false;
        if (frame.at(typeOffset) != regionDataType) {
            if (m_log)
                m_log(QStringLiteral(
                    "The second byte is not 0X03 and is discarded as point cloud data......"));
            m_buffer.drop(pos + skipLength);
            m_buffer.traceAfterDrop(m_log);
        } else if (takeRegionFrame(pos, frame, onFrame) &&
                   frameCount() == RegionFrame::regionCount) {
            reset();
            return true;
        }
        m_buffer.traceBeforeCutting(m_log);
    }
    return false;
}

bool RegionFrameParser::takeRegionFrame(int pos, const QByteArray &frame,
                                        const FrameHandler &onFrame)
{
    const RegionFrame::Content content = RegionFrame::decode(frame);
    if (m_log) {
        m_log(QStringLiteral("Regional group index >>> ") + QString::number(content.groupIndex));
        m_log(QStringLiteral("Number of alarm points:") + QString::number(content.alarmPointNum));
        m_log(QStringLiteral("oneFrame data >>> ") + HexText::fromBytes(frame));
    }
    const bool stored = RegionFrame::fitsStore(frame);
    if (stored) {
        m_receivedRegions.insert({content.groupIndex, content.regionNumber});
        if (onFrame)
            onFrame(content, frameCount());
        if (m_log)
            m_log(QStringLiteral("The second byte is 0X03, which is for uploading data......"));
    } else if (m_log) {
        m_log(QStringLiteral("The region frame names no stored region and is discarded......"));
    }
    m_buffer.drop(pos + RegionFrame::size);
    m_buffer.traceAfterDrop(m_log);
    return stored;
}
