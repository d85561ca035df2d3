#include "regions/regioncsv.h"

#include <QStringList>

namespace RegionCsv {

namespace {

QString oneDecimal(double value)
{
    // Adding +0.0 turns a -0 into 0.
    return QString::number(value + 0.0, 'f', 1);
}

QString row(const QStringList &fields)
{
    return fields.join(QLatin1Char(',')) + QLatin1Char('\n');
}

} // namespace

QString header()
{
    return QStringLiteral("group,region,vertex,x_mm,y_mm,alarm_points\n");
}

QString rows(int groupIndex, const RegionGroup &group)
{
    QString text;
    for (int rgnIndex = 0; rgnIndex < group.size(); ++rgnIndex) {
        const Region &region = group.at(rgnIndex);
        const QString groupField = QString::number(groupIndex);
        const QString regionField = QString::number(rgnIndex + 1);
        const QString alarmField = QString::number(region.alarmPointNum);
        if (region.polygon.isEmpty())
            text += row({groupField, regionField, QString(), QString(), QString(), alarmField});
        for (int vertex = 0; vertex < region.polygon.size(); ++vertex) {
            const QPointF &point = region.polygon.at(vertex);
            text += row({groupField, regionField, QString::number(vertex + 1),
                         oneDecimal(point.x()), oneDecimal(point.y()), alarmField});
        }
    }
    return text;
}

} // namespace RegionCsv
