#include "regions/regioncomparison.h"

#include "protocol/regionframe.h"
#include "regions/regionframes.h"

#include <optional>

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

// Both regions as the device holds them. An alarm count is named as its set has it, though
// only its low byte reaches the device: `namedAlarmA` and `namedAlarmB`.
std::optional<RegionMismatch> firstMismatch(const RegionFrame::Content &a, int namedAlarmA,
                                            const RegionFrame::Content &b, int namedAlarmB)
{
    RegionMismatch mismatch;
    mismatch.group = b.groupIndex;
    mismatch.region = b.regionNumber;
    if (a.polygon.size() != b.polygon.size()) {
        mismatch.countA = a.polygon.size();
        mismatch.countB = b.polygon.size();
        return mismatch;
    }
    for (int i = 0; i < a.polygon.size(); ++i) {
        if (!samePoint(a.polygon.at(i), b.polygon.at(i))) {
            mismatch.kind = RegionMismatch::Vertex;
            mismatch.vertex = i + 1;
            mismatch.pointA = a.polygon.at(i);
            mismatch.pointB = b.polygon.at(i);
            return mismatch;
        }
    }
    if (a.alarmPointNum != b.alarmPointNum) {
        mismatch.kind = RegionMismatch::AlarmPoints;
        mismatch.countA = namedAlarmA;
        mismatch.countB = namedAlarmB;
        return mismatch;
    }
    return std::nullopt;
}

QString verifyText(const RegionMismatch &mismatch)
{
    QString text;
    switch (mismatch.kind) {
    case RegionMismatch::VertexCount:
        text = counted(mismatch.countA, "vertex", "vertices") + QStringLiteral(" on the device, ") +
               QString::number(mismatch.countB) + QStringLiteral(" in the file");
        break;
    case RegionMismatch::Vertex:
        text = QStringLiteral("vertex %1 at %2 on the device, %3 in the file")
                   .arg(mismatch.vertex)
                   .arg(pointText(mismatch.pointA), pointText(mismatch.pointB));
        break;
    case RegionMismatch::AlarmPoints:
        text = counted(mismatch.countA, "alarm point", "alarm points") +
               QStringLiteral(" on the device, ") + QString::number(mismatch.countB) +
               QStringLiteral(" in the file");
        break;
    }
    return QStringLiteral("group %1 region %2: %3")
        .arg(mismatch.group)
        .arg(mismatch.region)
        .arg(text);
}

} // namespace

QVector<RegionMismatch> mismatches(const RegionStore &a, const RegionStore &b)
{
    const QVector<RegionFrame::Content> framesA = RegionFrames::toDevice(a);
    const QVector<RegionFrame::Content> framesB = RegionFrames::toDevice(b);
    QVector<RegionMismatch> found;
    for (int i = 0; i < framesB.size(); ++i) {
        const std::optional<RegionMismatch> mismatch =
            firstMismatch(RegionFrame::asHeldByDevice(framesA.at(i)), framesA.at(i).alarmPointNum,
                          RegionFrame::asHeldByDevice(framesB.at(i)), framesB.at(i).alarmPointNum);
        if (mismatch)
            found.append(*mismatch);
    }
    return found;
}

QVector<RegionDifference> differences(const RegionStore &device, const RegionStore &file)
{
    QVector<RegionDifference> found;
    for (const RegionFrame::Content &written : RegionFrames::toDevice(file)) {
        const Region onDevice = device.value(written.groupIndex).value(written.regionNumber - 1);
        const RegionFrame::Content read{written.groupIndex, written.regionNumber,
                                        onDevice.alarmPointNum, onDevice.polygon};
        const std::optional<RegionMismatch> mismatch = firstMismatch(
            read, read.alarmPointNum, RegionFrame::asHeldByDevice(written), written.alarmPointNum);
        if (mismatch)
            found.append({mismatch->group, mismatch->region, verifyText(*mismatch)});
    }
    return found;
}

} // namespace RegionComparison
