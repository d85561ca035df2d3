#include "mainwindow/replayalarmtimeline.h"

#include <algorithm>

namespace {

// Recorded time decoded per turn of the event loop: a few milliseconds of work.
constexpr qint64 decodeStepUs = 1000000;

} // namespace

ReplayAlarmTimeline::ReplayAlarmTimeline(QObject *parent) : QObject(parent)
{
    connect(&m_session, &DeviceSession::revolutionDecoded, this,
            [this](const ScanFrames &revolution, bool complete) {
                if (complete)
                    take(revolution);
            });
    m_stepTimer.setInterval(0);
    connect(&m_stepTimer, &QTimer::timeout, this, &ReplayAlarmTimeline::decodeStep);
}

bool ReplayAlarmTimeline::load(const QString &path)
{
    clear();
    if (!m_link.open(path))
        return false;
    m_session.setLink(&m_link);
    m_stepTimer.start();
    return true;
}

void ReplayAlarmTimeline::clear()
{
    m_stepTimer.stop();
    m_link.close();
    m_revolutions.clear();
    m_decoded = 0;
    emit spansChanged(0, {});
}

void ReplayAlarmTimeline::setGroup(const RegionGroup &group)
{
    // Going through the whole recording again is only worth it for a change.
    if (group == m_group && m_link.isOpen() && m_decoded > 0)
        return;
    m_group = group;
    m_evaluator = AlarmEvaluator(group);
    if (!m_link.isOpen())
        return;
    m_decoded = 0;
    m_link.seek(0);
    m_stepTimer.start();
}

void ReplayAlarmTimeline::take(const ScanFrames &revolution)
{
    const QVector<RegionAlarmState> states = m_evaluator.evaluate(revolution);
    const RevolutionState state{m_link.positionUs(),
                                std::any_of(states.cbegin(), states.cend(),
                                            [](const RegionAlarmState &s) { return s.alarm; })};
    if (m_decoded < m_revolutions.size())
        m_revolutions[m_decoded] = state;
    else
        m_revolutions.append(state);
    ++m_decoded;
}

void ReplayAlarmTimeline::decodeStep()
{
    m_link.seek(m_link.positionUs() + decodeStepUs);
    if (m_link.atEnd())
        m_stepTimer.stop();
    emit spansChanged(m_link.durationUs(), spans());
}

// Neighbouring alarming revolutions make one span. Revolutions not yet decoded again for a new
// group keep their last state, so that the marks change in place while a region is dragged.
QVector<AlarmSpan> ReplayAlarmTimeline::spans() const
{
    QVector<AlarmSpan> spans;
    bool inSpan = false;
    for (const RevolutionState &revolution : m_revolutions) {
        if (!revolution.alarm) {
            inSpan = false;
            continue;
        }
        if (inSpan)
            spans.last().toUs = revolution.timeUs;
        else
            spans.append({revolution.timeUs, revolution.timeUs});
        inSpan = true;
    }
    return spans;
}
