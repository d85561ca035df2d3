#pragma once

#include "regions/alarmevaluation.h"

#include <QString>
#include <QVector>

// The alarm states of revolutions as a table:
// `revolution,time_s,region,points_inside,alarm_points,alarm`, one row per region 1..3 of each
// revolution; the time in seconds with three decimals, the alarm 0 or 1.
namespace AlarmCsv {

QString header();
QString rows(int revolution, double timeS, const QVector<RegionAlarmState> &states);

} // namespace AlarmCsv
