#include "protocol/regionframe.h"

#include "protocol/modbus.h"

#include <QtEndian>

#include <cmath>

namespace RegionFrame {

namespace {

constexpr int typeOffset = 2;
constexpr char regionDataType = 0x03;
constexpr int groupOffset = 4;
constexpr int alarmPointOffset = 8;
constexpr int regionOffset = 9;
constexpr int vertexCountOffset = 10;
constexpr int firstSlotOffset = 11;
constexpr int slotSize = 4;
constexpr int checksumOffset = bodySize;
// The device stores coordinates shifted into unsigned 16-bit range; y uses its own offset.
constexpr int xOffset = 30000;
constexpr int yOffset = 30040;
constexpr int registersPerBlock = 0x44;
constexpr int groupCount = 15;
constexpr int regionsPerGroup = 3;
const QByteArray trailer = QByteArrayLiteral("\xFA\xFB");

quint8 byteAt(const QByteArray &frame, int offset)
{
    return offset < frame.size() ? static_cast<quint8>(frame.at(offset)) : 0;
}

// The coordinate shifted into the device's unsigned range and truncated toward zero. It is
// checked before any integer conversion: a value that wrapped round 16 bits would put the
// vertex on the far side of the sensor.
quint16 encodeCoordinate(double millimetres, int offset)
{
    const double checked =
        std::isnan(millimetres) ? 0.0 : qBound(-maxCoordinate, millimetres, maxCoordinate);
    return static_cast<quint16>(std::trunc(checked + offset));
}

double decodeCoordinate(quint16 stored, int offset)
{
    int value = (stored - offset) & 0xFFFF;
    if (value >= 0x8000)
        value -= 0x10000;
    return value;
}

quint8 checksum(const QByteArray &bytes)
{
    quint8 sum = 0;
    for (const char byte : bytes)
        sum += static_cast<quint8>(byte);
    return sum;
}

// 01, function, block address, register count: the start of every block request.
QByteArray blockRequestHead(char function, int block)
{
    QByteArray head(6, '\0');
    head[0] = 0x01;
    head[1] = function;
    qToBigEndian(static_cast<quint16>(block * registersPerBlock), head.data() + 2);
    qToBigEndian(static_cast<quint16>(registersPerBlock), head.data() + 4);
    return head;
}

} // namespace

QByteArray encodeBody(const Content &content)
{
    const int vertexCount = qMin(content.polygon.size(), maxVertices);
    QByteArray body(bodySize, '\0');
    body[0] = '\xA5';
    body[1] = 0x5A;
    body[2] = 0x02;
    body[3] = 0x10;
    body[groupOffset] = static_cast<char>(content.groupIndex);
    body[alarmPointOffset] = static_cast<char>(content.alarmPointNum);
    body[regionOffset] = static_cast<char>(content.regionNumber);
    body[vertexCountOffset] = static_cast<char>(vertexCount);
    for (int i = 0; i < maxVertices; ++i) {
        const QPointF vertex = i < vertexCount ? content.polygon.at(i) : QPointF(0, 0);
        char *slot = body.data() + firstSlotOffset + i * slotSize;
        qToBigEndian(encodeCoordinate(vertex.x(), xOffset), slot);
        qToBigEndian(encodeCoordinate(vertex.y(), yOffset), slot + 2);
    }
    return body;
}

namespace {

QByteArray withChecksumAndTrailer(const QByteArray &body)
{
    return body + static_cast<char>(checksum(body)) + trailer;
}

} // namespace

QByteArray encodeRaw(const Content &content)
{
    return withChecksumAndTrailer(encodeBody(content));
}

QByteArray encodeFromDevice(const Content &content)
{
    QByteArray body = encodeBody(content);
    body[typeOffset] = regionDataType;
    return withChecksumAndTrailer(body);
}

QByteArray modbusWriteRequest(int block, const QByteArray &body)
{
    QByteArray request = blockRequestHead(0x10, block);
    request += static_cast<char>(registersPerBlock * 2);
    request += '\0';
    request += body.leftJustified(bodySize, '\0', true);
    // The checksum position stays zero: Modbus carries its own CRC.
    request += QByteArrayLiteral("\x00\xFA\xFB\x00");
    return withModbusCrc(request);
}

QByteArray modbusReadRequest(int block)
{
    return withModbusCrc(blockRequestHead(0x03, block));
}

QByteArray modbusWriteEcho(int block)
{
    return withModbusCrc(blockRequestHead(0x10, block));
}

Content decode(const QByteArray &frame)
{
    Content content;
    content.groupIndex = byteAt(frame, groupOffset);
    content.alarmPointNum = byteAt(frame, alarmPointOffset);
    content.regionNumber = byteAt(frame, regionOffset);
    const int slotsInFrame =
        qMax(0, (qMin(frame.size(), checksumOffset) - firstSlotOffset) / slotSize);
    const int vertexCount =
        qBound(0, static_cast<int>(static_cast<qint8>(byteAt(frame, vertexCountOffset))),
               qMin(maxVertices, slotsInFrame));
    for (int i = 0; i < vertexCount; ++i) {
        const char *slot = frame.constData() + firstSlotOffset + i * slotSize;
        content.polygon.append(
            QPointF(decodeCoordinate(qFromBigEndian<quint16>(slot), xOffset),
                    decodeCoordinate(qFromBigEndian<quint16>(slot + 2), yOffset)));
    }
    return content;
}

bool fitsStore(const QByteArray &frame)
{
    const int group = byteAt(frame, groupOffset);
    const int region = byteAt(frame, regionOffset);
    const int vertexCount = static_cast<qint8>(byteAt(frame, vertexCountOffset));
    return frame.size() >= size && group >= 1 && group <= groupCount && region >= 1 &&
           region <= regionsPerGroup && vertexCount <= maxVertices;
}

bool isIntact(const QByteArray &frame)
{
    return frame.size() >= size &&
           static_cast<quint8>(frame.at(checksumOffset)) == checksum(frame.left(bodySize)) &&
           frame.mid(checksumOffset + 1, trailer.size()) == trailer;
}

Content asHeldByDevice(const Content &content)
{
    return decode(encodeBody(content));
}

} // namespace RegionFrame
