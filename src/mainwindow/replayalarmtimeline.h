#pragma once

#include "device/devicesession.h"
#include "device/replaylink.h"
#include "display/replayalarmmarks.h"
#include "regions/alarmevaluation.h"

#include <QTimer>

// Where a recording alarms for one group: the capture is decoded through a session of its own
// and every complete revolution evaluated, a little per turn of the event loop so that the
// window keeps answering. A new group evaluates the decoded revolutions again.
class ReplayAlarmTimeline : public QObject
{
    Q_OBJECT
public:
    explicit ReplayAlarmTimeline(QObject *parent = nullptr);

    // Starts over with the capture at `path`; false when it cannot be read.
    bool load(const QString &path);
    void clear();
    void setGroup(const RegionGroup &group);

    qint64 durationUs() const { return m_link.durationUs(); }
    QVector<AlarmSpan> spans() const;
    // Every revolution decoded and evaluated.
    bool isComplete() const;

signals:
    void spansChanged(qint64 durationUs, const QVector<AlarmSpan> &spans);

private:
    struct Revolution
    {
        qint64 timeUs = 0;
        ScanFrames frames;
        bool alarm = false;
    };

    void step();
    void decodeStep();
    void evaluateStep();

    ReplayLink m_link;
    DeviceSession m_session{{}};
    AlarmEvaluator m_evaluator;
    QVector<Revolution> m_revolutions;
    int m_evaluated = 0; // revolutions evaluated with the present group
    QTimer m_stepTimer;
};
