// Feeds arbitrary byte streams to the point-cloud decoder in arbitrary chunks.
#include "controlbytes.h"
#include "fuzzcheck.h"
#include "fuzzinput.h"
#include "protocol/pointclouddecoder.h"

#include <QtMath>

#include <cmath>

namespace {

// Frame header and type bytes before the distances: what a frame of a given length can hold.
constexpr int distancesOffset = 10;
// A distance is an unsigned 16-bit number of millimetres.
constexpr double maxDistance = 65535.0;

struct Geometries
{
    ScanGeometry first;
    ScanGeometry second;
};

Geometries takeGeometries(FuzzInput &input, DecoderControl::Geometry kind)
{
    switch (kind) {
    case DecoderControl::Fine:
        return {ScanGeometry::fine(), ScanGeometry::fine()};
    case DecoderControl::Alternating:
        return {ScanGeometry::coarse(), ScanGeometry::fine()};
    case DecoderControl::Custom: {
        ScanGeometry custom;
        custom.frameLength = input.takeInt16();
        custom.pointsPerFrame = input.takeInt16();
        custom.angleResolution = qint8(input.takeByte()) / 50.0;
        return {custom, custom};
    }
    case DecoderControl::Coarse:
        break;
    }
    return {ScanGeometry::coarse(), ScanGeometry::coarse()};
}

// The most distances a frame decoded with `geometry` may yield.
int pointLimit(const ScanGeometry &geometry)
{
    const int holds = (qMax(geometry.frameLength, distancesOffset) - distancesOffset) / 2;
    return qBound(0, geometry.pointsPerFrame, holds);
}

void checkRevolution(const ScanFrames &revolution, int maxPoints)
{
    FUZZ_CHECK(!revolution.isEmpty());
    FUZZ_CHECK(revolution.size() <= PointCloudDecoder::maxPendingFrames);
    for (const QVector<QPointF> &frame : revolution) {
        FUZZ_CHECK(frame.size() <= maxPoints);
        for (const QPointF &point : frame) {
            FUZZ_CHECK(qIsFinite(point.x()) && qIsFinite(point.y()));
            FUZZ_CHECK(std::hypot(point.x(), point.y()) <= maxDistance + 1e-6);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const DecoderControl control = DecoderControl::fromByte(input.takeByte());
    const Geometries geometries = takeGeometries(input, control.geometry);
    const int maxPoints = qMax(pointLimit(geometries.first), pointLimit(geometries.second));
    // Frame lengths beyond the buffer bound are cut to it.
    const int longestFrame = control.geometry == DecoderControl::Custom
                                 ? PointCloudDecoder::maxBufferedBytes
                                 : ScanGeometry::fine().frameLength;

    const LogSink trace = [](const QString &line) { FUZZ_CHECK(!line.isEmpty()); };
    PointCloudDecoder decoder(control.traced ? trace : LogSink());
    decoder.setRevolutionHandler([maxPoints](const ScanFrames &revolution, bool) {
        checkRevolution(revolution, maxPoints);
    });

    int largestChunk = 0;
    int index = 0;
    for (const QByteArray &chunk : input.takeChunks()) {
        const ScanGeometry &geometry = index++ % 2 ? geometries.second : geometries.first;
        decoder.feed(chunk, geometry);
        largestChunk = qMax(largestChunk, chunk.size());
        // Bytes before a header wait only while that header's frame is incomplete.
        FUZZ_CHECK(decoder.bufferedBytes() <=
                   PointCloudDecoder::maxBufferedBytes + largestChunk + longestFrame);
        FUZZ_CHECK(decoder.pendingFrameCount() <= PointCloudDecoder::maxPendingFrames);
    }
    return 0;
}
