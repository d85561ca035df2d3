#pragma once

#include "protocol/headeredbuffer.h"
#include "protocol/logsink.h"
#include "protocol/regionframe.h"

#include <QByteArray>

#include <functional>

// Called for every region frame cut from the received bytes, with what it is good for. A
// damaged frame's content is not to be trusted; it comes along so its arrival can be answered.
using RegionFrameHandler =
    std::function<void(const RegionFrame::Content &frame, RegionFrame::FrameCheck check)>;

// Cuts the region frames the device sends in the raw modes (A5 5A 03 ..., 134 bytes) out of
// the received stream. Acknowledgement codes in the stream are passed over: they are never
// region data. Bytes without a frame header are cut back beyond maxBufferedBytes, and every
// header is consumed together with the frame that follows it.
class RegionFrameParser
{
public:
    static constexpr int maxBufferedBytes = 64 * 1024;

    explicit RegionFrameParser(LogSink log = {});

    // A reading starts afresh: no stale bytes from an earlier, unfinished one.
    void reset() { m_buffer.clear(); }
    // Frames of another type are skipped by `pointCloudFrameLength` bytes.
    void feed(const QByteArray &chunk, int pointCloudFrameLength,
              const RegionFrameHandler &onFrame);

    int bufferedBytes() const { return m_buffer.size(); }

private:
    LogSink m_log;
    HeaderedBuffer m_buffer{HeaderedBuffer::deviceHeader, maxBufferedBytes};
};

// Cuts the Modbus replies to region block reads (01 03 88, 136 data bytes, CRC) out of the
// received stream; the data carry one region frame after a leading zero byte. A reply whose
// CRC fails is reported damaged, and the search goes on from its next byte, so a false header
// inside other bytes cannot hide a real reply behind it.
class ModbusRegionReplyParser
{
public:
    static constexpr int maxBufferedBytes = 64 * 1024;
    static constexpr int replySize = 141;

    explicit ModbusRegionReplyParser(LogSink log = {});

    void reset() { m_buffer.clear(); }
    void feed(const QByteArray &chunk, const RegionFrameHandler &onFrame);

    int bufferedBytes() const { return m_buffer.size(); }

private:
    LogSink m_log;
    HeaderedBuffer m_buffer;
};
