#pragma once

#include "simdevice.h"
#include "simoptions.h"

#include <QByteArray>
#include <QList>
#include <QObject>

#include <utility>

inline QByteArray hex(const QString &text)
{
    return QByteArray::fromHex(text.toLatin1());
}

// The options vks20-sim's command line gives, e.g. "--modbus --silence-after 3".
inline SimOptions simOptions(const QString &arguments = QString())
{
    SimCommandLine commandLine;
    if (!commandLine.parse(QStringList{"vks20-sim"} + arguments.split(' ', Qt::SkipEmptyParts)))
        qFatal("bad options \"%s\": %s", qPrintable(arguments),
               qPrintable(commandLine.errorText()));
    return commandLine.options();
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
    QByteArray joined() const { return pieces.join(); }
    QByteArray takeAll() { return std::exchange(pieces, {}).join(); }

    QByteArrayList pieces;
};
