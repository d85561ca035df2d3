#include "device/replaylink.h"

#include <cmath>

namespace {

constexpr double nsPerMs = 1e6;
constexpr double usPerMs = 1e3;

} // namespace

ReplayLink::ReplayLink(QObject *parent) : DeviceLink(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ReplayLink::playNext);
}

bool ReplayLink::open(const QString &path, QString *error)
{
    close();
    CaptureReader reader;
    if (!reader.open(path, error))
        return false;
    CaptureRecord record;
    while (reader.next(&record))
        m_records.append(record);
    m_damageText = reader.errorText();
    m_open = true;
    return true;
}

void ReplayLink::write(const QByteArray &bytes)
{
    m_bytesDiscarded += bytes.size();
}

void ReplayLink::close()
{
    if (!m_open)
        return;
    pause();
    m_records.clear();
    m_next = 0;
    m_open = false;
    emit closed();
}

void ReplayLink::play()
{
    if (!m_open || m_playing || atEnd())
        return;
    m_playing = true;
    anchorPace();
    scheduleNext();
}

void ReplayLink::pause()
{
    m_playing = false;
    m_timer.stop();
}

void ReplayLink::setSpeed(double factor)
{
    m_speed = factor;
    if (m_playing) {
        anchorPace();
        scheduleNext();
    }
}

qint64 ReplayLink::durationUs() const
{
    return m_records.isEmpty() ? 0 : m_records.last().timeUs - m_records.first().timeUs;
}

qint64 ReplayLink::positionUs() const
{
    return m_next == 0 ? 0 : m_records.at(m_next - 1).timeUs - m_records.first().timeUs;
}

void ReplayLink::seek(qint64 positionUs)
{
    if (m_records.isEmpty())
        return;
    const qint64 targetUs = m_records.first().timeUs + positionUs;
    if (m_next > 0 && m_records.at(m_next - 1).timeUs > targetUs) {
        m_next = 0;
        emit rewound();
    }
    while (!atEnd() && m_records.at(m_next).timeUs <= targetUs)
        handOnNext();
    emit positionChanged(this->positionUs());
    if (m_playing) {
        anchorPace();
        scheduleNext();
    }
}

// A copy: whoever takes the record may close the link, which drops the records.
void ReplayLink::handOnNext()
{
    const CaptureRecord record = m_records.at(m_next++);
    if (record.direction == CaptureDirection::ToDevice) {
        emit recordedCommand(record.bytes, record.timeUs);
    } else {
        emit recordedTimeReached(record.timeUs);
        deliver(record.bytes);
    }
}

void ReplayLink::playNext()
{
    handOnNext();
    emit positionChanged(positionUs());
    scheduleNext();
}

// The pace is kept from an anchor rather than from record to record, so that the event loop's
// lateness does not add up over a long replay.
void ReplayLink::anchorPace()
{
    m_anchorUs = m_next > 0 ? m_records.at(m_next - 1).timeUs : m_records.first().timeUs;
    m_sinceAnchor.start();
}

void ReplayLink::scheduleNext()
{
    if (!m_playing)
        return;
    if (atEnd()) {
        m_playing = false;
        emit finished();
        return;
    }
    const double dueMs = (m_records.at(m_next).timeUs - m_anchorUs) / usPerMs / m_speed;
    const double waitMs = dueMs - m_sinceAnchor.nsecsElapsed() / nsPerMs;
    m_timer.start(waitMs > 0 ? int(std::ceil(waitMs)) : 0);
}
