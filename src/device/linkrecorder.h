#pragma once

#include "capture/capturefile.h"

#include <QObject>
#include <QPointer>

#include <functional>

class DeviceLink;

// Records what crosses a device link into a capture file: each chunk received from the device
// and each write that left for it, stamped with the time it crossed. The recording ends when
// asked to, when the link closes, or when the file cannot be written.
class LinkRecorder : public QObject
{
    Q_OBJECT
public:
    // Microseconds since the epoch; a test gives a clock of its own.
    using Clock = std::function<qint64()>;

    explicit LinkRecorder(Clock clock = {}, QObject *parent = nullptr);
    ~LinkRecorder() override;

    // Records `link` into `path` (created or truncated), ending any recording under way first.
    // False, with `error` saying why, when the file cannot be created.
    bool start(DeviceLink *link, const QString &path, QString *error = nullptr);
    void stop();
    bool isRecording() const { return m_writer.isOpen(); }
    // Bytes of the chunks recorded in both directions since start().
    qint64 bytesRecorded() const { return m_writer.bytesWritten(); }

signals:
    void bytesRecordedChanged(qint64 bytes);
    void stopped();

private:
    void record(CaptureDirection direction, const QByteArray &bytes);

    Clock m_clock;
    CaptureWriter m_writer;
    QPointer<DeviceLink> m_link;
};
