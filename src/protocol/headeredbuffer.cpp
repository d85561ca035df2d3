#include "protocol/headeredbuffer.h"

#include "protocol/hextext.h"

#include <QtGlobal>

const QByteArray HeaderedBuffer::deviceHeader = QByteArrayLiteral("\xA5\x5A");

HeaderedBuffer::HeaderedBuffer(const QByteArray &header, int maxBytesWithoutHeader)
    : m_header(header), m_maxBytesWithoutHeader(maxBytesWithoutHeader)
{}

void HeaderedBuffer::append(const QByteArray &chunk)
{
    m_bytes.remove(0, m_consumed);
    m_consumed = 0;
    m_bytes.append(chunk);
}

int HeaderedBuffer::findHeader()
{
    const int found = m_bytes.indexOf(m_header, m_consumed);
    if (found >= 0)
        return found - m_consumed;
    if (size() > m_maxBytesWithoutHeader) {
        m_bytes = m_bytes.right(m_header.size() - 1);
        m_consumed = 0;
    }
    return -1;
}

QByteArray HeaderedBuffer::bytesAt(int pos, int length) const
{
    if (pos < 0 || pos >= size() || length <= 0)
        return {};
    return m_bytes.mid(m_consumed + pos, qMin(length, size() - pos));
}

void HeaderedBuffer::drop(int count)
{
    if (count >= size())
        clear();
    else if (count > 0)
        m_consumed += count;
}

void HeaderedBuffer::clear()
{
    m_bytes.clear();
    m_consumed = 0;
}

void HeaderedBuffer::traceBeforeCutting(const LogSink &sink) const
{
    trace(sink, QStringLiteral("byteBuff data before operator >>> "));
}

void HeaderedBuffer::traceAfterDrop(const LogSink &sink) const
{
    trace(sink, QStringLiteral("byteBuff data after midding operator >>> "));
}

void HeaderedBuffer::trace(const LogSink &sink, const QString &label) const
{
    if (sink)
        sink(label + HexText::fromBytes(bytesAt(0, size())));
}
