// Feeds arbitrary byte streams to a region-frame parser, raw or wrapped in Modbus replies.
#include "controlbytes.h"
#include "fuzzcheck.h"
#include "fuzzinput.h"
#include "protocol/modbus.h"
#include "protocol/regionframeparser.h"

namespace {

int takeSkipLength(FuzzInput &input, RegionParserControl::SkipLength skip)
{
    switch (skip) {
    case RegionParserControl::SkipFine:
        return ScanGeometry::fine().frameLength;
    case RegionParserControl::SkipRegionFrame:
        return RegionFrame::size;
    case RegionParserControl::SkipCustom:
        return input.takeInt16();
    case RegionParserControl::SkipCoarse:
        break;
    }
    return ScanGeometry::coarse().frameLength;
}

// A register-read reply carrying the chunk, as a Modbus device answers a block read.
QByteArray modbusReply(const QByteArray &chunk)
{
    return withModbusCrc(QByteArray::fromHex("010388") + chunk);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const RegionParserControl control = RegionParserControl::fromByte(input.takeByte());
    const int skipLength = takeSkipLength(input, control.skip);
    const QList<QByteArray> chunks = input.takeChunks();

    const LogSink trace = [](const QString &line) { FUZZ_CHECK(!line.isEmpty()); };
    RegionFrameParser raw(control.traced ? trace : LogSink());
    ModbusRegionReplyParser modbus(control.traced ? trace : LogSink());
    // Only frames the store can hold are usable; nothing beyond a frame's slots is read.
    const RegionFrameHandler checkFrame = [](const RegionFrame::Content &frame,
                                             RegionFrame::FrameCheck check) {
        FUZZ_CHECK(frame.polygon.size() <= RegionFrame::maxVertices);
        if (check != RegionFrame::FrameCheck::Usable)
            return;
        FUZZ_CHECK(frame.groupIndex >= 1 && frame.groupIndex <= 15);
        FUZZ_CHECK(frame.regionNumber >= 1 && frame.regionNumber <= 3);
        FUZZ_CHECK(frame.alarmPointNum >= 0 && frame.alarmPointNum <= 255);
    };

    int largestChunk = 0;
    for (int i = 0; i < chunks.size(); ++i) {
        const QByteArray received = control.modbus ? modbusReply(chunks.at(i)) : chunks.at(i);
        if (control.modbus)
            modbus.feed(received, checkFrame);
        else
            raw.feed(received, skipLength, checkFrame);

        largestChunk = qMax(largestChunk, received.size());
        // Bytes before a header wait only while that header's frame is incomplete.
        const int buffered = control.modbus ? modbus.bufferedBytes() : raw.bufferedBytes();
        FUZZ_CHECK(buffered <=
                   RegionFrameParser::maxBufferedBytes + largestChunk + RegionFrame::size);

        if (control.restartHalfWay && i == chunks.size() / 2) {
            raw.reset();
            modbus.reset();
            FUZZ_CHECK(raw.bufferedBytes() == 0 && modbus.bufferedBytes() == 0);
        }
    }
    return 0;
}
