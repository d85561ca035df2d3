#pragma once

#include "capture/capturefile.h"
#include "device/devicelink.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QVector>

#include <limits>
#include <optional>

// A recorded conversation played back in place of the device. The device's chunks come out
// through `received` at their recorded pace times the speed, each announced with its recorded
// time; the tool's recorded commands come out through `recordedCommand`, for a session to
// follow. Nothing written to it leaves the program; it is only counted.
class ReplayLink : public DeviceLink
{
    Q_OBJECT
public:
    static constexpr double fastest = std::numeric_limits<double>::infinity();

    explicit ReplayLink(QObject *parent = nullptr);

    // Loads the whole capture and stands, paused, at its start. A damaged record ends the
    // capture there (damage() says where); false, with `error` set, when the file cannot be
    // read as a capture at all.
    bool open(const QString &path, QString *error = nullptr);
    const std::optional<CaptureDamage> &damage() const { return m_damage; }

    bool isOpen() const override { return m_open; }
    void write(const QByteArray &bytes) override;
    void close() override;
    qint64 bytesDiscarded() const { return m_bytesDiscarded; }

    void play();
    void pause();
    bool isPlaying() const { return m_playing; }
    bool atEnd() const { return m_next == m_records.size(); }
    // Recorded time per real time: 1, 4, or fastest (one record per turn of the event loop).
    void setSpeed(double factor);

    // Recorded time since the first record.
    qint64 durationUs() const;
    qint64 positionUs() const;
    // Brings the replay to `positionUs`: every record up to it is handed on (from the start
    // again, after `rewound`, when going back), so whoever follows them stands where the live
    // run stood then. The records go in steps from the event loop, never from within seek(),
    // so that a long way ahead does not hold up the program; `positionChanged` follows each
    // step, and playing resumes once the position is reached.
    void seek(qint64 positionUs);
    bool isSeeking() const { return m_seekStep.isActive(); }
    // Hands on every record left at once, without the event loop: a capture decoded offline.
    void handOnRest();

signals:
    void recordedCommand(const QByteArray &bytes, qint64 timeUs);
    // The time a device chunk was received at; `received` follows.
    void recordedTimeReached(qint64 timeUs);
    // The replay starts again from its first record.
    void rewound();
    void positionChanged(qint64 positionUs);
    void finished();

private:
    void handOnNext();
    void seekStep();
    void playNext();
    void scheduleNext();
    void anchorPace();

    QVector<CaptureRecord> m_records;
    std::optional<CaptureDamage> m_damage;
    bool m_open = false;
    qint64 m_bytesDiscarded = 0;
    int m_next = 0; // the record handed on next
    bool m_playing = false;
    double m_speed = 1.0;
    QTimer m_timer;
    QTimer m_seekStep;
    qint64 m_seekTargetUs = 0; // recorded time
    // The pace: record time m_anchorUs was handed on when m_sinceAnchor started.
    qint64 m_anchorUs = 0;
    QElapsedTimer m_sinceAnchor;
};
