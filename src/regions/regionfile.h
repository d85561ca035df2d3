#pragma once

#include "regions/region.h"

#include <QString>

// The region settings file: QDataStream image of the whole store, group by group.
namespace RegionFile {

bool save(const RegionStore &store, const QString &path);
// Reads the whole file into a new store and applies it to `store` only when it is sound:
// no stream error, 15 whole groups, keys 1..15, at most 30 vertices per region.
// On failure `store` is left exactly as it was.
bool load(const QString &path, RegionStore &store);

} // namespace RegionFile
