#pragma once

#include "protocol/logsink.h"

#include <QByteArray>

// Received bytes waiting to be cut into device frames, which all start with A5 5A.
// Consumed bytes are only skipped over and released at the next append, so cutting many
// frames out of one large chunk does not move the remaining bytes once per frame.
class HeaderedBuffer
{
public:
    static constexpr int headerSize = 2;

    explicit HeaderedBuffer(int maxBytesWithoutHeader);

    void append(const QByteArray &chunk);
    // Position of the first frame header in the pending bytes, or -1. Without a header
    // the bytes are of no use; once they exceed the bound only the last one is kept, as it
    // may be the A5 of a header whose 5A is still on its way.
    int findHeader();
    // `length` pending bytes from `pos`, or fewer when fewer have arrived.
    QByteArray bytesAt(int pos, int length) const;
    // Drops `count` leading pending bytes, or all of them when fewer are pending.
    void drop(int count);
    void clear();
    int size() const { return m_bytes.size() - m_consumed; }

    // Trace lines carrying the pending bytes as hex, before cutting and after a drop; the hex
    // is built only for a sink.
    void traceBeforeCutting(const LogSink &sink) const;
    void traceAfterDrop(const LogSink &sink) const;

private:
    void trace(const LogSink &sink, const QString &label) const;

    int m_maxBytesWithoutHeader;
    QByteArray m_bytes;
    int m_consumed = 0;
};
