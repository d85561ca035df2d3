#include "mainwindow/replayalarmtimeline.h"

#include <algorithm>

namespace {

// Recorded time decoded, or revolutions evaluated, per turn of the event loop: a few
// milliseconds of work each.
constexpr qint64 decodeStepUs = 1000000;
constexpr int revolutionsPerStep = 40;

} // namespace

ReplayAlarmTimeline::ReplayAlarmTimeline(QObject *parent) : QObject(parent)
{
    connect(&m_session, &DeviceSession::revolutionDecoded, this,
            [this](const ScanFrames &frames, bool complete) {
                if (complete)
                    m_revolutions.append({m_link.positionUs(), frames, false});
            });
    m_stepTimer.setInterval(0);
    connect(&m_stepTimer, &QTimer::timeout, this, &ReplayAlarmTimeline::step);
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
    m_evaluated = 0;
    emit spansChanged(0, {});
}

void ReplayAlarmTimeline::setGroup(const RegionGroup &group)
{
    m_evaluator = AlarmEvaluator(group);
    m_evaluated = 0;
    if (m_link.isOpen())
        m_stepTimer.start();
}

bool ReplayAlarmTimeline::isComplete() const
{
    return m_link.atEnd() && m_evaluated == m_revolutions.size();
}

void ReplayAlarmTimeline::step()
{
    if (m_evaluated < m_revolutions.size())
        evaluateStep();
    else if (!m_link.atEnd())
        decodeStep();
    if (isComplete())
        m_stepTimer.stop();
    emit spansChanged(durationUs(), spans());
}

void ReplayAlarmTimeline::decodeStep()
{
    m_link.seek(m_link.positionUs() + decodeStepUs);
}

void ReplayAlarmTimeline::evaluateStep()
{
    const int end = std::min(m_evaluated + revolutionsPerStep, int(m_revolutions.size()));
    for (; m_evaluated < end; ++m_evaluated) {
        Revolution &revolution = m_revolutions[m_evaluated];
        const QVector<RegionAlarmState> states = m_evaluator.evaluate(revolution.frames);
        revolution.alarm = std::any_of(states.cbegin(), states.cend(),
                                       [](const RegionAlarmState &state) { return state.alarm; });
    }
}

// Neighbouring alarming revolutions make one span. Revolutions not yet evaluated with a new
// group keep their last state, so that the marks change in place while a region is dragged.
QVector<AlarmSpan> ReplayAlarmTimeline::spans() const
{
    QVector<AlarmSpan> spans;
    bool inSpan = false;
    for (const Revolution &revolution : m_revolutions) {
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
