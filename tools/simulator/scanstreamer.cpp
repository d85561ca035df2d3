#include "scanstreamer.h"

#include <QtEndian>

#include <algorithm>

ScanStreamer::ScanStreamer(const ScanGeometry &geometry, int rateHz, quint32 seed, QObject *parent)
    : QObject(parent), m_geometry(geometry), m_rateHz(rateHz), m_scene(seed), m_junkRandom(seed + 1)
{
    m_timer.setInterval(tickMs);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ScanStreamer::sendDueFrames);
}

void ScanStreamer::start()
{
    if (isRunning())
        return;
    m_framesSent = 0;
    m_clock.start();
    m_timer.start();
}

void ScanStreamer::stop()
{
    m_timer.stop();
}

int ScanStreamer::baseAngleHundredths(int index)
{
    return (firstBaseAngle + degreesPerFrame * index + 360) % 360 * 100;
}

// A5 5A 02, frame index, revolution, 00, base angle, rate, resolution step, distances,
// 00 FA FB. None of the bytes of our choosing is A5, so no frame holds a second header.
QByteArray ScanStreamer::frame(int revolution, int index)
{
    const double seconds = double(revolution) / m_rateHz;
    const double baseDegrees = firstBaseAngle + degreesPerFrame * index;
    QByteArray bytes;
    bytes.reserve(m_geometry.frameLength);
    bytes.append("\xA5\x5A\x02", 3);
    bytes.append(char(index));
    bytes.append(char(revolution & 0x7F));
    bytes.append('\0');
    const auto appendWord = [&bytes](int value) {
        char word[2];
        qToBigEndian(quint16(value), word);
        bytes.append(word, 2);
    };
    appendWord(baseAngleHundredths(index));
    bytes.append(char(m_rateHz));
    bytes.append(char(qRound(m_geometry.angleResolution * 100)));
    for (int i = 0; i < m_geometry.pointsPerFrame; ++i)
        appendWord(m_scene.distance(baseDegrees + i * m_geometry.angleResolution, seconds));
    bytes.append("\0\xFA\xFB", 3);
    return bytes;
}

QByteArray ScanStreamer::junk()
{
    QByteArray bytes(1 + int(m_junkRandom.bounded(maxJunkBytes)), '\0');
    for (char &byte : bytes) {
        byte = char(m_junkRandom.bounded(256));
        if (quint8(byte) == 0xA5)
            byte = 0x00;
    }
    return bytes;
}

// Catches up on the frames due by now, so a simulator held up by a busy machine still streams
// whole revolutions. After a stall of more than a second it finishes the revolution under way
// and skips whole ones to the last second: a revolution cut short would reach the program
// joined to the next.
void ScanStreamer::sendDueFrames()
{
    const qint64 due = m_clock.elapsed() * m_rateHz * framesPerRevolution / 1000 + 1;
    const qint64 oldestKept = due - qint64(m_rateHz) * framesPerRevolution;
    if (m_framesSent < oldestKept) {
        sendFramesUpTo(roundUpToRevolution(m_framesSent));
        m_framesSent = std::max(m_framesSent, roundUpToRevolution(oldestKept));
    }
    sendFramesUpTo(due);
}

qint64 ScanStreamer::roundUpToRevolution(qint64 frames)
{
    return (frames + framesPerRevolution - 1) / framesPerRevolution * framesPerRevolution;
}

void ScanStreamer::sendFramesUpTo(qint64 end)
{
    for (; m_framesSent < end; ++m_framesSent) {
        QByteArray bytes =
            frame(int(m_framesSent / framesPerRevolution), int(m_framesSent % framesPerRevolution));
        if (m_garbage)
            bytes.append(junk());
        emit frameReady(bytes);
    }
}
