#pragma once

#include "device/devicesession.h"
#include "device/replaylink.h"
#include "display/replayalarmmarks.h"
#include "regions/alarmevaluation.h"

// Where a recording alarms for one group: the capture is decoded through a session of its own
// and every complete revolution evaluated as it comes out, in the link's steps from the event
// loop so that the window keeps answering. A new group decodes it again from the
// start; only each revolution's time and state are kept, whatever the recording's length.
class ReplayAlarmTimeline : public QObject
{
    Q_OBJECT
public:
    explicit ReplayAlarmTimeline(QObject *parent = nullptr);

    // Starts over with the capture at `path`; false when it cannot be read.
    bool load(const QString &path);
    void clear();
    void setGroup(const RegionGroup &group);

    QVector<AlarmSpan> spans() const;

signals:
    void spansChanged(qint64 durationUs, const QVector<AlarmSpan> &spans);

private:
    struct RevolutionState
    {
        qint64 timeUs = 0;
        bool alarm = false;
    };

    void take(const ScanFrames &revolution);
    void decodeWhole();

    ReplayLink m_link;
    DeviceSession m_session{{}};
    RegionGroup m_group;
    AlarmEvaluator m_evaluator;
    QVector<RevolutionState> m_revolutions;
    int m_decoded = 0; // revolutions evaluated with the present group
};
