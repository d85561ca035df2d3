#include "protocol/pointclouddecoder.h"

#include "protocol/hextext.h"

#include <QtEndian>

#include <cmath>
#include <utility>

namespace {

constexpr char pointCloudType = 0x02;
constexpr int typeOffset = 2;
constexpr int baseAngleOffset = 6;
constexpr int distancesOffset = 10;
constexpr double pi = 3.141592653;
// Base angles strictly inside this window mark the last frame of a revolution.
constexpr double closingAngleMin = 200.0;
constexpr double closingAngleMax = 215.0;
// Distances the device writes where it measured nothing.
constexpr quint16 noEcho = 0;
constexpr quint16 noEchoShort = 255;

quint16 wordAt(const QByteArray &frame, int offset)
{
    return qFromBigEndian<quint16>(frame.constData() + offset);
}

} // namespace

PointCloudDecoder::PointCloudDecoder(LogSink log) : m_log(std::move(log)) {}

void PointCloudDecoder::setRevolutionHandler(RevolutionHandler handler)
{
    m_onRevolution = std::move(handler);
}

void PointCloudDecoder::feed(const QByteArray &chunk, const ScanGeometry &geometry)
{
    const int frameLength = qBound(distancesOffset, geometry.frameLength, maxBufferedBytes);
    const int pointsPerFrame =
        qBound(0, geometry.pointsPerFrame, (frameLength - distancesOffset) / 2);

    m_buffer.append(chunk);
    m_buffer.traceBeforeCutting(m_log);
    for (int pos = m_buffer.findHeader(); pos >= 0; pos = m_buffer.findHeader()) {
        const QByteArray frame = m_buffer.bytesAt(pos, frameLength);
        if (frame.size() < frameLength)
            return;
        if (frame.at(typeOffset) == pointCloudType)
            decodeFrame(frame, geometry.angleResolution, pointsPerFrame);
        // A frame of another type goes as a whole block, together with any bytes before it.
        m_buffer.drop(pos + frameLength);
        m_buffer.traceAfterDrop(m_log);
        m_buffer.traceBeforeCutting(m_log);
    }
}

void PointCloudDecoder::decodeFrame(const QByteArray &frame, double angleResolution,
                                    int pointsPerFrame)
{
    const double baseAngle = wordAt(frame, baseAngleOffset) / 100.0;
    if (m_log) {
        m_log(QStringLiteral("oneFrame data>>> ") + HexText::fromBytes(frame));
        m_log(QStringLiteral("baseAngle >>> ") + QString::number(baseAngle, 'g', 6));
    }

    QVector<QPointF> points;
    points.reserve(pointsPerFrame);
    for (int i = 0; i < pointsPerFrame; ++i) {
        const quint16 distance = wordAt(frame, distancesOffset + 2 * i);
        if (distance == noEcho || distance == noEchoShort)
            continue;
        const double theta = (i * angleResolution + baseAngle) / 180.0 * pi;
        points.append(QPointF(distance * std::cos(theta), distance * std::sin(theta)));
    }
    m_pendingFrames.append(points);
    if (m_pendingFrames.size() > maxPendingFrames) {
        m_pendingFrames.removeFirst();
        m_revolutionStartSeen = false;
    }

    if (closingAngleMin < baseAngle && baseAngle < closingAngleMax)
        closeRevolution();
}

void PointCloudDecoder::closeRevolution()
{
    if (m_onRevolution)
        m_onRevolution(m_pendingFrames, m_revolutionStartSeen);
    m_revolutionStartSeen = true;
    m_pendingFrames.clear();
}
