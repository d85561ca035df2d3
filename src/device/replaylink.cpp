#include "device/replaylink.h"

#include <cmath>

namespace {

constexpr double nsPerMs = 1e6;
constexpr double usPerMs = 1e3;
// A seek's step ends after this long, so that the window answers between steps.
constexpr qint64 seekStepNs = 15 * 1000 * 1000;

} // namespace

ReplayLink::ReplayLink(QObject *parent) : DeviceLink(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ReplayLink::playNext);
    connect(&m_seekStep, &QTimer::timeout, this, &ReplayLink::seekStep);
}

bool ReplayLink::open(const QString &path, QString *error)
{
    close();
    m_damage.reset();
    CaptureReader reader;
    if (!reader.open(path, error))
        return false;
    CaptureRecord record;
    while (reader.next(&record))
        m_records.append(record);
    m_damage = reader.damage();
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
    m_seekStep.stop();
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
    if (isSeeking())
        return;
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
    if (m_playing && !isSeeking()) {
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
    m_timer.stop();
    m_seekTargetUs = m_records.first().timeUs + positionUs;
    if (m_next > 0 && m_records.at(m_next - 1).timeUs > m_seekTargetUs) {
        m_next = 0;
        emit rewound();
    }
    m_seekStep.start(0);
}

void ReplayLink::seekStep()
{
    QElapsedTimer step;
    step.start();
    while (m_open && !atEnd() && m_records.at(m_next).timeUs <= m_seekTargetUs &&
           step.nsecsElapsed() < seekStepNs)
        handOnNext();
    if (!m_open)
        return;
    emit positionChanged(positionUs());
    if (!atEnd() && m_records.at(m_next).timeUs <= m_seekTargetUs)
        return; // the next step goes on
    m_seekStep.stop();
    if (m_playing) {
        anchorPace();
        scheduleNext();
    }
}

void ReplayLink::handOnRest()
{
    m_seekStep.stop();
    while (m_open && !atEnd())
        handOnNext();
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
