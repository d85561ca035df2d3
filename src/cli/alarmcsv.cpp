#include "alarmcsv.h"

namespace AlarmCsv {

QString header()
{
    return QStringLiteral("revolution,time_s,region,points_inside,alarm_points,alarm\n");
}

QString rows(int revolution, double timeS, const QVector<RegionAlarmState> &states)
{
    QString text;
    const QString prefix = QStringLiteral("%1,%2,").arg(revolution).arg(timeS, 0, 'f', 3);
    for (int rgnIndex = 0; rgnIndex < states.size(); ++rgnIndex) {
        const RegionAlarmState &state = states.at(rgnIndex);
        text += prefix + QStringLiteral("%1,%2,%3,%4\n")
                             .arg(rgnIndex + 1)
                             .arg(state.pointsInside)
                             .arg(state.alarmPoints)
                             .arg(state.alarm ? 1 : 0);
    }
    return text;
}

} // namespace AlarmCsv
