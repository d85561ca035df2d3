#pragma once
// The leading control bytes of each fuzz target's input, read by the targets and written by
// the seed generator. Every byte value means something, so no mutation is wasted.

#include "protocol/linktypes.h"

#include <QtGlobal>

// fuzz_pointcloud: the geometry each chunk is decoded with, and whether trace lines are built.
// A custom geometry takes five more bytes: frame length and points per frame (signed 16-bit
// each, any value) and the angular resolution in fiftieths of a degree (signed 8-bit).
struct DecoderControl
{
    enum Geometry : quint8
    {
        Coarse,
        Fine,
        // Coarse and fine by turns, as when the resolution changes while bytes are buffered.
        Alternating,
        Custom,
    };

    Geometry geometry = Coarse;
    bool traced = false;

    static DecoderControl fromByte(quint8 byte) { return {Geometry(byte & 3), (byte & 4) != 0}; }
    quint8 toByte() const { return quint8(geometry | (traced ? 4 : 0)); }
};

// fuzz_regionframes: which parser flavour, the point-cloud frame length used to skip foreign
// frames (a custom one takes a signed 16-bit value from the next two bytes), trace lines, and
// whether a new reading starts half way through the chunks.
struct RegionParserControl
{
    enum SkipLength : quint8
    {
        SkipCoarse,
        SkipFine,
        SkipRegionFrame,
        SkipCustom,
    };

    // The Modbus flavour receives every chunk inside a register-read reply: 01 03 88, the
    // chunk, CRC.
    bool modbus = false;
    SkipLength skip = SkipCoarse;
    bool traced = false;
    bool restartHalfWay = false;

    static RegionParserControl fromByte(quint8 byte)
    {
        return {(byte & 1) != 0, SkipLength(byte >> 1 & 3), (byte & 8) != 0, (byte & 16) != 0};
    }
    quint8 toByte() const
    {
        return quint8((modbus ? 1 : 0) | skip << 1 | (traced ? 8 : 0) | (restartHalfWay ? 16 : 0));
    }
};

// fuzz_receive: the link state and connection mode the session is put in (first byte), and
// the flags of the second byte.
struct ReceiveControl
{
    LinkState linkState = Scanning;
    ConnMode connMode = Usb;
    bool regionRequestAcked = false;
    bool fineResolution = false;
    // The session builds its trace lines, as the program does for its log. They cost more than
    // everything else a chunk causes, so one input in eight has them.
    bool traced = false;

    static ReceiveControl fromBytes(quint8 first, quint8 second)
    {
        return {LinkState(first % 6), ConnMode(first / 6 % 3), (second & 1) != 0, (second & 2) != 0,
                (second & tracedBits) == tracedBits};
    }
    quint8 firstByte() const { return quint8(linkState + 6 * connMode); }
    quint8 secondByte() const
    {
        return quint8((regionRequestAcked ? 1 : 0) | (fineResolution ? 2 : 0) |
                      (traced ? tracedBits : 0));
    }

private:
    static constexpr quint8 tracedBits = 4 | 8 | 16;
};
