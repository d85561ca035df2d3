#include "regionformats/regionnav2.h"

#include "regionformats/regiondxf.h"
#include "regions/alarmevaluation.h"

#include <QSaveFile>

#include <yaml-cpp/yaml.h>

namespace RegionNav2 {

namespace {

constexpr double metresPerMillimetre = 0.001;
// Starting values for the parameters an action needs; the integrator tunes them.
constexpr double slowdownRatio = 0.3;
constexpr double secondsBeforeCollision = 2.0;
constexpr double simulationStepSeconds = 0.1;
constexpr double linearLimit = 0.5;
constexpr double angularLimit = 0.5;

// The collision monitor takes a polygon's points as one string "[[x, y], ...]".
std::string pointsText(const QPolygonF &polygon)
{
    QStringList points;
    for (const QPointF &point : polygon)
        points.append(QStringLiteral("[%1, %2]")
                          .arg(point.x() * metresPerMillimetre, 0, 'f', 3)
                          .arg(point.y() * metresPerMillimetre, 0, 'f', 3));
    return QStringLiteral("[%1]").arg(points.join(QStringLiteral(", "))).toStdString();
}

void writeActionParameters(YAML::Emitter &out, const QString &action)
{
    if (action == QLatin1String("slowdown")) {
        out << YAML::Key << "slowdown_ratio" << YAML::Value << slowdownRatio;
    } else if (action == QLatin1String("approach")) {
        out << YAML::Key << "time_before_collision" << YAML::Value << secondsBeforeCollision;
        out << YAML::Key << "simulation_time_step" << YAML::Value << simulationStepSeconds;
    } else if (action == QLatin1String("limit")) {
        out << YAML::Key << "linear_limit" << YAML::Value << linearLimit;
        out << YAML::Key << "angular_limit" << YAML::Value << angularLimit;
    }
}

} // namespace

QStringList defaultActions()
{
    return {QStringLiteral("stop"), QStringLiteral("slowdown"), QStringLiteral("approach")};
}

bool isAction(const QString &action)
{
    return defaultActions().contains(action) || action == QLatin1String("limit") ||
           action == QLatin1String("none");
}

QByteArray parameters(int groupIndex, const RegionGroup &group, const QStringList &actions)
{
    // The area the region display draws and the alarm preview counts: the sensor, then the
    // vertices as the device holds them. A region of fewer than three vertices guards nothing.
    const AlarmEvaluator held(group);
    const auto guards = [&held](int rgnIndex) { return held.heldPolygon(rgnIndex).size() > 3; };
    QStringList names;
    for (int rgnIndex = 0; rgnIndex < group.size(); ++rgnIndex) {
        if (guards(rgnIndex))
            names.append(RegionDxf::layerName(groupIndex, rgnIndex));
    }
    YAML::Emitter out;
    out.SetDoublePrecision(3);
    out << YAML::BeginMap << YAML::Key << "collision_monitor" << YAML::Value << YAML::BeginMap;
    out << YAML::Key << "ros__parameters" << YAML::Value << YAML::BeginMap;
    out << YAML::Key << "polygons" << YAML::Value << YAML::Flow << YAML::BeginSeq;
    for (const QString &name : names)
        out << name.toStdString();
    out << YAML::EndSeq;
    for (int rgnIndex = 0; rgnIndex < group.size(); ++rgnIndex) {
        const Region &region = group.at(rgnIndex);
        if (!guards(rgnIndex))
            continue;
        const QString name = RegionDxf::layerName(groupIndex, rgnIndex);
        const QString action = actions.value(rgnIndex);
        out << YAML::Key << name.toStdString() << YAML::Value << YAML::BeginMap;
        out << YAML::Key << "type" << YAML::Value << "polygon";
        out << YAML::Key << "points" << YAML::Value << YAML::DoubleQuoted
            << pointsText(held.heldPolygon(rgnIndex));
        out << YAML::Key << "action_type" << YAML::Value << action.toStdString();
        // The region's alarm point count is what the device needs inside it before it alarms.
        out << YAML::Key << "min_points" << YAML::Value << region.alarmPointNum;
        writeActionParameters(out, action);
        out << YAML::Key << "visualize" << YAML::Value << true;
        out << YAML::Key << "polygon_pub_topic" << YAML::Value << name.toStdString();
        out << YAML::Key << "enabled" << YAML::Value << true;
        out << YAML::EndMap;
    }
    out << YAML::EndMap << YAML::EndMap << YAML::EndMap;
    return QByteArray(out.c_str()) + '\n';
}

bool save(const QString &path, int groupIndex, const RegionGroup &group, const QStringList &actions)
{
    const QByteArray bytes = parameters(groupIndex, group, actions);
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace RegionNav2
