#pragma once

#include <QByteArray>
#include <QVector>

// One request of the program, cut out of the received byte stream.
struct SimCommand
{
    enum Kind
    {
        Stop,
        ResolutionQuery,
        Start,
        Parameters,
        IoMode,
        RegionRequest,   // raw: send me your regions
        FrameAck,        // raw: the program took the last region frame
        RegionWrite,     // a region frame of type 0x02, raw or in a Modbus block write
        RegionBlockRead, // Modbus read of one region block
        Unknown,         // well-framed but meaningless to this device
    };

    Kind kind = Unknown;
    QByteArray frame;       // the bytes as received
    QByteArray payload;     // Start, Parameters, IoMode: the five raw bytes FF B F A1 N
    QByteArray regionFrame; // RegionWrite: 134 bytes (from Modbus: checksum position 00)
    int block = -1;         // Modbus register block 0..44
};

// Cuts requests out of received bytes that may arrive split or coalesced. Bytes that
// start no request are discarded one at a time, so the stream resynchronises on the
// next request. Only an incomplete request stays buffered, which bounds the buffer by
// the longest request.
class CommandFramer
{
public:
    explicit CommandFramer(bool modbus) : m_modbus(modbus) {}

    QVector<SimCommand> feed(const QByteArray &bytes);
    int bufferedBytes() const { return m_buffer.size(); }
    int discardedBytes() const { return m_discarded; }

private:
    // Length of the request at the buffer's start, 0 when more bytes are needed, -1 for junk.
    int rawLength() const;
    int modbusLength() const;
    int ioCommandLength() const;
    SimCommand rawCommand(const QByteArray &frame) const;
    SimCommand modbusCommand(const QByteArray &frame) const;

    bool m_modbus;
    QByteArray m_buffer;
    int m_discarded = 0;
};
