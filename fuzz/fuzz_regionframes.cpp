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
    RegionFrameParser parser(control.traced ? trace : LogSink());
    int lastCount = 0;
    bool completed = false;
    const RegionFrameParser::FrameHandler checkFrame = [&](const RegionFrame::Content &frame,
                                                           int count) {
        FUZZ_CHECK(frame.groupIndex >= 1 && frame.groupIndex <= 15);
        FUZZ_CHECK(frame.regionNumber >= 1 && frame.regionNumber <= 3);
        FUZZ_CHECK(frame.polygon.size() <= RegionFrame::maxVertices);
        FUZZ_CHECK(frame.alarmPointNum >= 0 && frame.alarmPointNum <= 255);
        // Counts run 1, 2, ... 45 within one reading and never skip; a repeated region
        // is stored again without counting.
        FUZZ_CHECK((count == lastCount || count == lastCount + 1) &&
                   count <= RegionFrame::regionCount);
        FUZZ_CHECK(!completed);
        lastCount = count;
        completed = count == RegionFrame::regionCount;
    };

    int largestChunk = 0;
    for (int i = 0; i < chunks.size(); ++i) {
        const QByteArray received = control.modbus ? modbusReply(chunks.at(i)) : chunks.at(i);
        completed = false;
        const bool complete = parser.feed(received, skipLength, checkFrame);
        FUZZ_CHECK(complete == completed);
        if (complete)
            lastCount = 0;

        largestChunk = qMax(largestChunk, received.size());
        FUZZ_CHECK(parser.frameCount() == lastCount);
        FUZZ_CHECK(parser.frameCount() < RegionFrame::regionCount);
        // Bytes before a header wait only while that header's frame is incomplete.
        FUZZ_CHECK(parser.bufferedBytes() <=
                   RegionFrameParser::maxBufferedBytes + largestChunk + RegionFrame::size);
        if (complete)
            FUZZ_CHECK(parser.bufferedBytes() == 0);

        if (control.restartHalfWay && i == chunks.size() / 2) {
            parser.reset();
            lastCount = 0;
            FUZZ_CHECK(parser.frameCount() == 0 && parser.bufferedBytes() == 0);
        }
    }
    return 0;
}
