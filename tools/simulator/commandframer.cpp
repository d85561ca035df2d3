#include "commandframer.h"

#include "protocol/modbus.h"
#include "protocol/regionframe.h"

namespace {

constexpr char header[] = "\xA5\x5A";
constexpr char trailer[] = "\xFA\xFB";
constexpr int shortCodeLength = 6;       // A5 5A c1 c2 FA FB
constexpr int regionRequestLength = 5;   // A5 5A 03 FA FB
constexpr int fiveByteCommandLength = 5; // FF B F A1 N
constexpr int modbusHeaderLength = 7;    // slave, function, register, count, byte count
constexpr int modbusReadLength = 8;
constexpr int registersPerBlock = 0x44;
constexpr quint8 writeRegisters = 0x10;
constexpr quint8 readRegisters = 0x03;
constexpr quint16 parameterRegister = 0x0BF7;
constexpr quint16 stopRegister = 0x0BFA;
constexpr quint16 resolutionRegister = 0x0BFE;

quint8 byteAt(const QByteArray &bytes, int index)
{
    return quint8(bytes.at(index));
}

quint16 wordAt(const QByteArray &bytes, int index)
{
    return quint16(byteAt(bytes, index) << 8 | byteAt(bytes, index + 1));
}

bool isStartPayload(const QByteArray &payload)
{
    return payload == QByteArray::fromHex("FF00FFA100");
}

bool isIoPayload(const QByteArray &payload)
{
    return payload == QByteArray::fromHex("FF0000A107") ||
           payload == QByteArray::fromHex("FF0000A108");
}

SimCommand::Kind fiveByteKind(const QByteArray &payload)
{
    if (isStartPayload(payload))
        return SimCommand::Start;
    return isIoPayload(payload) ? SimCommand::IoMode : SimCommand::Parameters;
}

// Register block k of the region store lives at register k * 68.
int regionBlock(quint16 address, quint16 count)
{
    const int block = address / registersPerBlock;
    if (count != registersPerBlock || address % registersPerBlock != 0 ||
        block >= RegionFrame::regionCount)
        return -1;
    return block;
}

} // namespace

QVector<SimCommand> CommandFramer::feed(const QByteArray &bytes)
{
    m_buffer.append(bytes);
    QVector<SimCommand> commands;
    while (!m_buffer.isEmpty()) {
        int length = ioCommandLength();
        if (length < 0)
            length = m_modbus ? modbusLength() : rawLength();
        if (length == 0)
            break;
        if (length < 0) {
            m_buffer.remove(0, 1);
            ++m_discarded;
            continue;
        }
        const QByteArray frame = m_buffer.left(length);
        m_buffer.remove(0, length);
        commands.append(m_modbus ? modbusCommand(frame) : rawCommand(frame));
    }
    return commands;
}

// The IO output command is never wrapped, so Modbus links accept it bare as well.
int CommandFramer::ioCommandLength() const
{
    if (byteAt(m_buffer, 0) != 0xFF)
        return -1;
    if (m_buffer.size() < fiveByteCommandLength)
        return m_modbus && !QByteArray::fromHex("FF0000A1").startsWith(m_buffer) ? -1 : 0;
    const QByteArray candidate = m_buffer.left(fiveByteCommandLength);
    if (m_modbus)
        return isIoPayload(candidate) ? fiveByteCommandLength : -1;
    return byteAt(candidate, 3) == 0xA1 ? fiveByteCommandLength : -1;
}

int CommandFramer::rawLength() const
{
    if (!QByteArray(header, 2).startsWith(m_buffer.left(2)))
        return -1;
    if (m_buffer.size() < 3)
        return 0;
    int length = shortCodeLength;
    if (byteAt(m_buffer, 2) == 0x03)
        length = regionRequestLength;
    else if (byteAt(m_buffer, 2) == 0x02)
        length = RegionFrame::size;
    if (m_buffer.size() < length)
        return 0;
    return m_buffer.mid(length - 2, 2) == QByteArray(trailer, 2) ? length : -1;
}

// A 0x03 request is either a plain read or, for the resolution query, carries a byte
// count and payload like a write; the CRC tells which.
int CommandFramer::modbusLength() const
{
    if (byteAt(m_buffer, 0) != 0x01)
        return -1;
    if (m_buffer.size() < 2)
        return 0;
    const quint8 function = byteAt(m_buffer, 1);
    if (function != readRegisters && function != writeRegisters)
        return -1;
    QVector<int> candidates;
    if (function == readRegisters)
        candidates.append(modbusReadLength);
    if (m_buffer.size() < modbusHeaderLength)
        return 0;
    candidates.append(modbusHeaderLength + byteAt(m_buffer, 6) + 2);
    for (int length : candidates) {
        if (m_buffer.size() < length)
            return 0;
        if (hasValidModbusCrc(m_buffer.left(length)))
            return length;
    }
    return -1;
}

SimCommand CommandFramer::rawCommand(const QByteArray &frame) const
{
    SimCommand command;
    command.frame = frame;
    if (byteAt(frame, 0) == 0xFF) {
        command.payload = frame;
        command.kind = fiveByteKind(frame);
    } else if (frame.size() == RegionFrame::size) {
        command.kind = SimCommand::RegionWrite;
        command.regionFrame = frame;
    } else if (frame.size() == regionRequestLength) {
        command.kind = SimCommand::RegionRequest;
    } else {
        const quint16 code = wordAt(frame, 2);
        if (code == 0x049C)
            command.kind = SimCommand::Stop;
        else if (code == 0x0099)
            command.kind = SimCommand::ResolutionQuery;
        else if (code == 0x0098)
            command.kind = SimCommand::FrameAck;
    }
    return command;
}

SimCommand CommandFramer::modbusCommand(const QByteArray &frame) const
{
    SimCommand command;
    command.frame = frame;
    if (byteAt(frame, 0) == 0xFF) {
        command.kind = SimCommand::IoMode;
        command.payload = frame;
        return command;
    }
    const quint8 function = byteAt(frame, 1);
    const quint16 address = wordAt(frame, 2);
    const quint16 count = wordAt(frame, 4);
    const QByteArray data = frame.mid(modbusHeaderLength, frame.size() - modbusHeaderLength - 2);
    const int block = regionBlock(address, count);
    if (function == writeRegisters && address == stopRegister) {
        command.kind = SimCommand::Stop;
    } else if (function == writeRegisters && address == parameterRegister &&
               data.size() >= fiveByteCommandLength) {
        command.payload = data.left(fiveByteCommandLength);
        command.kind = isStartPayload(command.payload) ? SimCommand::Start : SimCommand::Parameters;
    } else if (function == readRegisters && address == resolutionRegister) {
        command.kind = SimCommand::ResolutionQuery;
    } else if (function == readRegisters && frame.size() == modbusReadLength && block >= 0) {
        command.kind = SimCommand::RegionBlockRead;
        command.block = block;
    } else if (function == writeRegisters && block >= 0 && data.size() == 2 * registersPerBlock) {
        // Block data: 00, frame bytes 0..130, 00 in place of the checksum, FA FB, 00.
        command.kind = SimCommand::RegionWrite;
        command.block = block;
        command.regionFrame = data.mid(1, RegionFrame::size);
    }
    return command;
}
