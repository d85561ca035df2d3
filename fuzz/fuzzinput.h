#pragma once

#include <QByteArray>
#include <QList>

#include <cstddef>
#include <cstdint>

// A fuzz input read as a few leading control bytes followed by the payload, which arrives in
// chunks the way a serial port or socket hands bytes over.
class FuzzInput
{
public:
    FuzzInput(const uint8_t *data, size_t size)
        : m_bytes(reinterpret_cast<const char *>(data), int(size))
    {}

    // The next control byte; 0 once the input is used up, so short inputs stay meaningful.
    quint8 takeByte() { return m_pos < m_bytes.size() ? quint8(m_bytes.at(m_pos++)) : 0; }

    qint16 takeInt16()
    {
        const quint8 high = takeByte();
        return qint16(quint16(high << 8 | takeByte()));
    }

    // Two control bytes, then the rest of the input cut into chunks: a first size of 0 keeps
    // it whole; otherwise chunk i holds 1 + (firstSize - 1 + i * stride) % 256 bytes, so one
    // stride of 0 repeats the size and other strides walk the cut across frame boundaries.
    QList<QByteArray> takeChunks()
    {
        const int firstSize = takeByte();
        const int stride = takeByte();
        const QByteArray payload = m_bytes.mid(m_pos);
        m_pos = m_bytes.size();
        if (firstSize == 0)
            return {payload};
        QList<QByteArray> chunks;
        for (int pos = 0, i = 0; pos < payload.size(); ++i) {
            const int size = 1 + (firstSize - 1 + i * stride) % 256;
            chunks.append(payload.mid(pos, size));
            pos += size;
        }
        return chunks;
    }

private:
    QByteArray m_bytes;
    int m_pos = 0;
};
