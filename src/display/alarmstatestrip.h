#pragma once

#include "regions/alarmevaluation.h"

#include <QVector>
#include <QWidget>

class QLabel;

// One line per region of a group: the points inside against its alarm point count, and whether
// it alarms, on the region's colour.
class AlarmStateStrip : public QWidget
{
    Q_OBJECT
public:
    explicit AlarmStateStrip(QWidget *parent = nullptr);

    void showStates(const QVector<RegionAlarmState> &states, const RegionGroup &group);
    QString regionText(int rgnIndex) const;

private:
    QVector<QLabel *> m_labels;
};
