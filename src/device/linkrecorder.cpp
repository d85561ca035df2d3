#include "device/linkrecorder.h"

#include "device/devicelink.h"

#include <chrono>
#include <utility>

namespace {

qint64 wallClockUs()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

} // namespace

LinkRecorder::LinkRecorder(Clock clock, QObject *parent)
    : QObject(parent), m_clock(clock ? std::move(clock) : wallClockUs)
{}

LinkRecorder::~LinkRecorder()
{
    stop();
}

bool LinkRecorder::start(DeviceLink *link, const QString &path, QString *error,
                         WhenLinkCloses whenLinkCloses)
{
    stop();
    if (!m_writer.open(path, error))
        return false;
    m_link = link;
    connect(link, &DeviceLink::arriving, this,
            [this](const QByteArray &chunk) { record(CaptureDirection::FromDevice, chunk); });
    connect(link, &DeviceLink::sent, this,
            [this](const QByteArray &bytes) { record(CaptureDirection::ToDevice, bytes); });
    connect(link, &DeviceLink::closed, this, [this, whenLinkCloses] {
        if (whenLinkCloses == WhenLinkCloses::Keep)
            stop();
        else
            discard();
    });
    return true;
}

bool LinkRecorder::stop(QString *error)
{
    if (!isRecording())
        return true;
    release();
    const bool kept = m_writer.close(error);
    emit stopped();
    return kept;
}

void LinkRecorder::discard()
{
    if (!isRecording())
        return;
    release();
    m_writer.discard();
    emit stopped();
}

void LinkRecorder::release()
{
    if (m_link)
        disconnect(m_link, nullptr, this, nullptr);
    m_link.clear();
}

void LinkRecorder::record(CaptureDirection direction, const QByteArray &bytes)
{
    // A capture not written whole is no record of the session: an earlier file is worth more.
    if (!m_writer.write(direction, bytes, m_clock())) {
        discard();
        return;
    }
    emit bytesRecordedChanged(m_writer.bytesWritten());
}
