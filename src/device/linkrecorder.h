#pragma once

#include "capture/capturefile.h"

#include <QObject>
#include <QPointer>

#include <functional>

class DeviceLink;

// Records what crosses a device link into a capture file: each chunk received from the device
// and each write that left for it, stamped with the time it crossed. The recording ends when
// asked to, when the link closes, or when the file cannot be written. The file appears (in
// place of any earlier one) only when a recording ends well.
class LinkRecorder : public QObject
{
    Q_OBJECT
public:
    // Microseconds since the epoch; a test gives a clock of its own.
    using Clock = std::function<qint64()>;

    explicit LinkRecorder(Clock clock = {}, QObject *parent = nullptr);
    ~LinkRecorder() override;

    // What a recording does when its link closes: the window keeps what was recorded; for the
    // command line a link lost is a capture failed.
    enum class WhenLinkCloses
    {
        Keep,
        Discard
    };

    // Records `link` into `path`, ending any recording under way first. False, with `error`
    // saying why, when the file cannot be created.
    bool start(DeviceLink *link, const QString &path, QString *error = nullptr,
               WhenLinkCloses whenLinkCloses = WhenLinkCloses::Keep);
    // Puts the capture in place; false, with `error`, when it cannot be.
    bool stop(QString *error = nullptr);
    // Ends the recording and drops it: an earlier file at the path stays as it was.
    void discard();
    bool isRecording() const { return m_writer.isOpen(); }
    // Bytes of the chunks recorded in both directions since start().
    qint64 bytesRecorded() const { return m_writer.bytesWritten(); }

signals:
    void bytesRecordedChanged(qint64 bytes);
    void stopped();

private:
    void record(CaptureDirection direction, const QByteArray &bytes);
    void release();

    Clock m_clock;
    CaptureWriter m_writer;
    QPointer<DeviceLink> m_link;
};
