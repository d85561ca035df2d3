#include "mainwindow/replayalarmtimeline.h"

#include <algorithm>

ReplayAlarmTimeline::ReplayAlarmTimeline(QObject *parent) : QObject(parent)
{
    connect(&m_session, &DeviceSession::revolutionDecoded, this,
            [this](const ScanFrames &revolution, bool complete) {
                if (complete)
                    take(revolution);
            });
    connect(&m_link, &ReplayLink::positionChanged, this,
            [this] { emit spansChanged(m_link.durationUs(), spans()); });
}

bool ReplayAlarmTimeline::load(const QString &path)
{
    clear();
    if (!m_link.open(path))
        return false;
    m_session.setLink(&m_link);
    decodeWhole();
    return true;
}

void ReplayAlarmTimeline::clear()
{
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
    decodeWhole();
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

// The link hands the records on in steps from the event loop, so the window keeps answering.
void ReplayAlarmTimeline::decodeWhole()
{
    m_link.seek(m_link.durationUs());
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
