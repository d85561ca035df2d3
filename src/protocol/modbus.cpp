#include "protocol/modbus.h"

#include "protocol/hextext.h"

#include <QtEndian>

QByteArray modbusCrc16(const QByteArray &bytes)
{
    quint16 crc = 0xFFFF;
    for (const char byte : bytes) {
        crc ^= static_cast<quint8>(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<quint16>((crc >> 1) ^ 0xA001) : crc >> 1;
    }
    QByteArray lowByteFirst(2, '\0');
    qToLittleEndian(crc, lowByteFirst.data());
    return lowByteFirst;
}

QByteArray withModbusCrc(const QByteArray &bytes)
{
    return bytes + modbusCrc16(bytes);
}

QString appendModbusCrc(const QString &hexText)
{
    return HexText::fromBytes(withModbusCrc(HexText::toBytes(hexText)));
}

bool hasValidModbusCrc(const QByteArray &frame)
{
    const int crcSize = 2;
    if (frame.size() < crcSize)
        return false;
    return modbusCrc16(frame.left(frame.size() - crcSize)) == frame.right(crcSize);
}
