#include "regions/regioncomparison.h"

#include "protocol/regionframe.h"
#include "regions/regionframes.h"

namespace RegionComparison {

namespace {

QString counted(int count, const char *one, const char *many)
{
    return QString::number(count) + QLatin1Char(' ') + QLatin1String(count == 1 ? one : many);
}

QString pointText(const QPointF &point)
{
    return QStringLiteral("(%1, %2)").arg(point.x()).arg(point.y());
}

// Exact: both sides hold whole millimetres, and QPointF's own comparison is fuzzy.
bool samePoint(const QPointF &a, const QPointF &b)
{
    return a.x() == b.x() && a.y() == b.y();
}

// Empty when the device holds the region as written. The file's alarm point count is named as
// the file has it, though only its low byte reaches the device.
QString firstDifference(const Region &device, const RegionFrame::Content &held, int fileAlarmPoints)
{
    const QPolygonF &onDevice = device.polygon;
    if (onDevice.size() != held.polygon.size()) {
        return counted(onDevice.size(), "vertex", "vertices") + QStringLiteral(" on the device, ") +
               QString::number(held.polygon.size()) + QStringLiteral(" in the file");
    }
    for (int i = 0; i < onDevice.size(); ++i) {
        if (!samePoint(onDevice.at(i), held.polygon.at(i))) {
            return QStringLiteral("vertex %1 at %2 on the device, %3 in the file")
                .arg(i + 1)
                .arg(pointText(onDevice.at(i)), pointText(held.polygon.at(i)));
        }
    }
    if (device.alarmPointNum != held.alarmPointNum) {
        return counted(device.alarmPointNum, "alarm point", "alarm points") +
               QStringLiteral(" on the device, ") + QString::number(fileAlarmPoints) +
               QStringLiteral(" in the file");
    }
    return {};
}

} // namespace

QVector<RegionDifference> differences(const RegionStore &device, const RegionStore &file)
{
    QVector<RegionDifference> found;
    for (const RegionFrame::Content &written : RegionFrames::toDevice(file)) {
        const Region onDevice = device.value(written.groupIndex).value(written.regionNumber - 1);
        const QString difference =
            firstDifference(onDevice, RegionFrame::asHeldByDevice(written), written.alarmPointNum);
        if (!difference.isEmpty()) {
            found.append({written.groupIndex, written.regionNumber,
                          QStringLiteral("group %1 region %2: %3")
                              .arg(written.groupIndex)
                              .arg(written.regionNumber)
                              .arg(difference)});
        }
    }
    return found;
}

} // namespace RegionComparison
