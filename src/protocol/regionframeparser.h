#pragma once

#include "protocol/headeredbuffer.h"
#include "protocol/logsink.h"
#include "protocol/regionframe.h"

#include <QByteArray>
#include <QPair>
#include <QSet>

#include <functional>

// Collects the 45 region frames the device sends when the program reads its regions.
// One parser per link flavour (raw, Modbus); each owns its buffer and frame count.
// Bytes without a frame header are cut back to their last byte beyond maxBufferedBytes,
// and every header is consumed together with the frame that follows it.
class RegionFrameParser
{
public:
    // Called for each stored frame, in order; `count` is the regions received in this reading.
    using FrameHandler = std::function<void(const RegionFrame::Content &frame, int count)>;

    static constexpr int maxBufferedBytes = 64 * 1024;

    explicit RegionFrameParser(LogSink log = {});

    // A reading starts afresh: no stale bytes or count from an earlier, unfinished one.
    void reset();
    // Consumes frames from the chunk. Frames of another type are skipped by
    // `pointCloudFrameLength` bytes; frames the store cannot hold are dropped uncounted.
    // Returns true when this chunk completed the 45th frame (the parser then resets, and
    // whatever followed that frame in the chunk is dropped).
    bool feed(const QByteArray &chunk, int pointCloudFrameLength, const FrameHandler &onFrame);

    // Distinct regions received in this reading: a repeated frame is stored again, not counted.
    int frameCount() const { return m_receivedRegions.size(); }
    int bufferedBytes() const { return m_buffer.size(); }

private:
    // Handles the region frame at `pos`; true when it was counted.
    bool takeRegionFrame(int pos, const QByteArray &frame, const FrameHandler &onFrame);

    LogSink m_log;
    HeaderedBuffer m_buffer{maxBufferedBytes};
    QSet<QPair<int, int>> m_receivedRegions; // (group, region)
};
