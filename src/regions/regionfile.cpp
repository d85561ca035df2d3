#include "regions/regionfile.h"

#include "protocol/regionframe.h"

#include <QDataStream>
#include <QFile>
#include <QSaveFile>

#include <cmath>
#include <optional>

namespace RegionFile {

namespace {

// A colour is a spec byte and five 16-bit words. QColor's reader stores any spec byte as its
// enum, so the byte is checked before QColor ever sees it.
constexpr int colorRecordSize = 11;

std::optional<QColor> readColor(QDataStream &stream)
{
    QByteArray record(colorRecordSize, Qt::Uninitialized);
    if (stream.readRawData(record.data(), colorRecordSize) != colorRecordSize)
        return std::nullopt;
    const auto spec = static_cast<qint8>(record.at(0));
    if (spec < QColor::Rgb || spec > QColor::ExtendedRgb)
        return std::nullopt;
    QDataStream recordStream(record);
    QColor color;
    recordStream >> color;
    return color;
}

// A vertex the device's frame can carry as it is: a number within the scan field's reach on
// both axes. Anything else would reach the device as some other point.
bool isSendable(const QPointF &vertex)
{
    return std::isfinite(vertex.x()) && std::isfinite(vertex.y()) &&
           std::abs(vertex.x()) <= RegionFrame::maxCoordinate &&
           std::abs(vertex.y()) <= RegionFrame::maxCoordinate;
}

// Field by field rather than QPolygonF's operator>>: that one reserves the vertex count it
// reads before checking it, and a foreign file's count can ask for gigabytes.
std::optional<Region> readRegion(QDataStream &stream)
{
    const std::optional<QColor> color = readColor(stream);
    if (!color)
        return std::nullopt;
    Region region;
    region.color = *color;
    quint32 vertexCount = 0;
    stream >> vertexCount;
    if (stream.status() != QDataStream::Ok || vertexCount > quint32(Regions::maxVertices))
        return std::nullopt;
    for (quint32 i = 0; i < vertexCount; ++i) {
        QPointF vertex;
        stream >> vertex;
        if (!isSendable(vertex))
            return std::nullopt;
        region.polygon.append(vertex);
    }
    qint32 alarmPointNum = 0;
    stream >> alarmPointNum;
    if (stream.status() != QDataStream::Ok)
        return std::nullopt;
    region.alarmPointNum = alarmPointNum;
    return region;
}

// The groups the file names, a later record of a key replacing an earlier one.
std::optional<RegionStore> readGroups(QDataStream &stream)
{
    RegionStore groups;
    for (int i = 0; i < Regions::groupCount; ++i) {
        qint32 key = 0;
        stream >> key;
        if (stream.status() != QDataStream::Ok || key < 1 || key > Regions::groupCount)
            return std::nullopt;
        RegionGroup group;
        for (int rgnIndex = 0; rgnIndex < Regions::regionsPerGroup; ++rgnIndex) {
            const std::optional<Region> region = readRegion(stream);
            if (!region)
                return std::nullopt;
            group.append(*region);
        }
        groups.insert(key, group);
    }
    return groups;
}

} // namespace

bool save(const RegionStore &store, const QString &path)
{
    // QSaveFile replaces the old file only once everything is written.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QDataStream stream(&file);
    for (auto group = store.cbegin(); group != store.cend(); ++group) {
        stream << qint32(group.key());
        for (const Region &region : group.value())
            stream << region.color << region.polygon << qint32(region.alarmPointNum);
    }
    // commit() does not look at the flush it makes: a write that fails there (a full disk)
    // would still replace the old file with a cut one.
    return stream.status() == QDataStream::Ok && file.flush() && file.commit();
}

bool load(const QString &path, RegionStore &store)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QDataStream stream(&file);
    const std::optional<RegionStore> groups = readGroups(stream);
    if (!groups)
        return false;
    for (auto group = groups->cbegin(); group != groups->cend(); ++group)
        store.insert(group.key(), group.value());
    return true;
}

} // namespace RegionFile
