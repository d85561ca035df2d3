#pragma once

#include "regions/region.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// A group's regions as the polygons of the ROS 2 navigation stack's collision monitor: the
// parameters file fragment `collision_monitor: ros__parameters: polygons: [...]`, each polygon
// in metres in the sensor's frame with the action it takes: the area the region display draws,
// from the sensor through the vertices as the device holds them (whole millimetres, angular
// order) and back.
namespace RegionNav2 {

// Region 1 stops, 2 slows down, 3 approaches, unless the operator names others.
QStringList defaultActions();
// Actions the collision monitor knows.
bool isAction(const QString &action);

// `actions` holds one action per region. Regions of fewer than three vertices are left out.
QByteArray parameters(int groupIndex, const RegionGroup &group, const QStringList &actions);
bool save(const QString &path, int groupIndex, const RegionGroup &group,
          const QStringList &actions);

} // namespace RegionNav2
