#pragma once

#include "protocol/linktypes.h"
#include "roomscene.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QRandomGenerator>
#include <QTimer>

// Streams point-cloud frames of the room while the device scans: a revolution of 15
// frames of 18 degrees from -45 to 225 degrees, `rateHz` revolutions per second, the
// frames spread over the revolution's period.
class ScanStreamer : public QObject
{
    Q_OBJECT

public:
    static constexpr int framesPerRevolution = 15;
    static constexpr int degreesPerFrame = 18;
    static constexpr int firstBaseAngle = -45;
    static constexpr int tickMs = 5;
    static constexpr int maxJunkBytes = 16;

    ScanStreamer(const ScanGeometry &geometry, int rateHz, quint32 seed, QObject *parent = nullptr);

    void setGarbage(bool on) { m_garbage = on; }
    void start();
    void stop();
    bool isRunning() const { return m_timer.isActive(); }

    // Frame `index` (0..14) of revolution `revolution`; the scene moves on with the revolutions.
    QByteArray frame(int revolution, int index);
    // Base angle of frame `index` in hundredths of a degree, in [0, 36000).
    static int baseAngleHundredths(int index);
    // Random bytes without A5, so they never look like a frame header.
    QByteArray junk();

signals:
    void frameReady(const QByteArray &bytes);

private:
    void sendDueFrames();
    void sendFramesUpTo(qint64 end);
    static qint64 roundUpToRevolution(qint64 frames);

    ScanGeometry m_geometry;
    int m_rateHz;
    RoomScene m_scene;
    QRandomGenerator m_junkRandom;
    bool m_garbage = false;
    qint64 m_framesSent = 0;
    QElapsedTimer m_clock;
    QTimer m_timer;
};
