#pragma once

#include "simdevice.h"
#include "simoptions.h"

#include <QByteArray>
#include <QList>
#include <QObject>

inline QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

inline SimOptions simOptions(bool modbus = false)
{
    SimOptions options;
    options.modbus = modbus;
    return options;
}

// Collects everything a simulated device sends, one entry per emitted piece.
class SentBytes : public QObject
{
public:
    explicit SentBytes(SimDevice &device)
    {
        connect(&device, &SimDevice::bytesOut, this,
                [this](const QByteArray &bytes) { pieces.append(bytes); });
    }

    QByteArray joined() const
    {
        QByteArray all;
        for (const QByteArray &piece : pieces)
            all += piece;
        return all;
    }

    QByteArray takeAll()
    {
        const QByteArray all = joined();
        pieces.clear();
        return all;
    }

    QList<QByteArray> pieces;
};
