#pragma once

#include <QByteArray>
#include <QPointF>
#include <QVector>

// The 134-byte frame that carries one alarm region to or from the device, and its
// Modbus register blocks (block k at register k * 68, 68 registers).
namespace RegionFrame {

constexpr int size = 134;
constexpr int bodySize = 131; // bytes 0..130, before checksum and trailer
constexpr int maxVertices = 30;
constexpr int regionCount = 45;
constexpr int modbusWriteRequestSize = 145;
// The scan field's reach on either axis, in millimetres.
constexpr double maxCoordinate = 20000.0;

struct Content
{
    int groupIndex = 0;   // 1..15
    int regionNumber = 0; // 1..3 (region index + 1)
    int alarmPointNum = 0;
    QVector<QPointF> polygon; // at most maxVertices are carried
};

// What a received region frame is good for.
enum class FrameCheck
{
    Usable,   // sound, and names a region the store holds
    Unusable, // sound, but names a group, region or vertex count the store cannot hold
    Damaged,  // changed on the way: checksum, trailer or Modbus CRC wrong
};

// Bytes 0..130 of a frame written to the device (type 0x02). The frame has room for
// maxVertices slots: a longer polygon is carried as its first maxVertices vertices.
// A coordinate that is not a number is carried as 0, and every coordinate is held to
// +-maxCoordinate: nothing wraps round to the far side of the sensor.
QByteArray encodeBody(const Content &content);
// Body plus checksum (sum of bytes 0..130 mod 256), FA, FB: the raw-mode frame.
QByteArray encodeRaw(const Content &content);
// The frame as the device sends it when its regions are read: type 0x03, checksum, FA, FB.
QByteArray encodeFromDevice(const Content &content);
// 01 10 addr 0044 88, 00 + body + 00 FA FB 00, CRC.
QByteArray modbusWriteRequest(int block, const QByteArray &body);
// 01 03 addr 0044, CRC.
QByteArray modbusReadRequest(int block);
// 01 10 addr 0044, CRC: the standard answer to the write of block `block`.
QByteArray modbusWriteEcho(int block);

// Reads a received frame of type 0x03 (at least `size` bytes); the checksum is not examined.
// The vertex count byte is signed; a negative count gives no vertices, and no more than
// maxVertices slots (nor more than a shorter frame holds) are read.
Content decode(const QByteArray &frame);
// Group 1..15, region 1..3 and at most 30 vertices: a frame the region store can hold.
bool fitsStore(const QByteArray &frame);
// A whole raw frame whose checksum (sum of bytes 0..130 mod 256) and trailer FA FB hold.
bool isIntact(const QByteArray &frame);
// The region exactly as the device keeps it once written: vertices truncated to whole
// millimetres and clamped as encodeBody does, the count as one byte.
Content asHeldByDevice(const Content &content);

} // namespace RegionFrame
