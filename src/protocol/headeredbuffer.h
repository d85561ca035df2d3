#pragma once

#include "protocol/logsink.h"

#include <QByteArray>

// Received bytes waiting to be cut into frames that start with a fixed header: A5 5A for the
// device's own frames, 01 03 88 for a Modbus region reply.
// Consumed bytes are only skipped over and released at the next append, so cutting many
// frames out of one large chunk does not move the remaining bytes once per frame.
class HeaderedBuffer
{
public:
    // The device's own frames: point clouds, region frames and reply codes.
    static const QByteArray deviceHeader;

    HeaderedBuffer(const QByteArray &header, int maxBytesWithoutHeader);

    void append(const QByteArray &chunk);
    // Position of the first frame header in the pending bytes, or -1. Without a header
    // the bytes are of no use; once they exceed the bound only the last few are kept, as they
    // may be the start of a header whose rest is still on its way.
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

    QByteArray m_header;
    int m_maxBytesWithoutHeader;
    QByteArray m_bytes;
    int m_consumed = 0;
};
