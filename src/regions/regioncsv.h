#pragma once

#include "regions/region.h"

#include <QString>

// A group's regions as a table for documentation: `group,region,vertex,x_mm,y_mm,alarm_points`,
// one row per vertex in stored order, regions and vertices numbered from 1 as the page's tabs
// and the editor's rows number them; coordinates with one decimal. A region without vertices
// still gets a row, its vertex and coordinates empty, so its alarm point count is on record.
namespace RegionCsv {

QString header();
QString rows(int groupIndex, const RegionGroup &group);

} // namespace RegionCsv
