#pragma once

#include "protocol/headeredbuffer.h"
#include "protocol/linktypes.h"
#include "protocol/logsink.h"

#include <QByteArray>

#include <functional>

// Cuts point-cloud frames out of the received byte stream, converts their distances to
// points and groups them into revolutions, each handed over as its closing frame arrives.
//
// Memory stays bounded whatever arrives: bytes without a frame header are cut back to their
// last byte once they exceed maxBufferedBytes; a header is always consumed with the
// frameLength bytes that follow it (frame lengths are capped at maxBufferedBytes); and a
// stream that never closes a revolution keeps only its newest maxPendingFrames frames.
class PointCloudDecoder
{
public:
    // Called at every revolution-closing frame with the frames since the previous one.
    // `complete` is false for a revolution whose start this decoder may have missed: the first
    // one after construction or restartStream(), or one that outgrew maxPendingFrames.
    using RevolutionHandler = std::function<void(const ScanFrames &revolution, bool complete)>;

    // Bytes kept while no frame header is in sight; a stream that never carries a header
    // cannot grow the buffer beyond this.
    static constexpr int maxBufferedBytes = 64 * 1024;
    // A revolution has about 15 frames; far more without a closing frame is not a scan.
    static constexpr int maxPendingFrames = 256;

    explicit PointCloudDecoder(LogSink log = {});

    void setRevolutionHandler(RevolutionHandler handler);
    // A geometry whose frame cannot hold its distances reads only the distances that fit.
    void feed(const QByteArray &chunk, const ScanGeometry &geometry);
    // The device starts streaming anew: the revolution under way began before the gap.
    void restartStream() { m_revolutionStartSeen = false; }

    int bufferedBytes() const { return m_buffer.size(); }
    int pendingFrameCount() const { return m_pendingFrames.size(); }

private:
    void decodeFrame(const QByteArray &frame, double angleResolution, int pointsPerFrame);
    void closeRevolution();

    LogSink m_log;
    RevolutionHandler m_onRevolution;
    HeaderedBuffer m_buffer{HeaderedBuffer::deviceHeader, maxBufferedBytes};
    ScanFrames m_pendingFrames;
    bool m_revolutionStartSeen = false;
};
