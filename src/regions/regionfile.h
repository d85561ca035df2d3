#pragma once

#include "regions/region.h"

#include <QString>

// The region settings file: QDataStream image of the whole store, group by group.
namespace RegionFile {

// True only when every byte reached the file; a failed save leaves an existing file untouched.
bool save(const RegionStore &store, const QString &path);
// Reads the whole file into a new store and applies it to `store` only when it is sound:
// no stream error, 15 whole groups, keys 1..15, known colour specs, at most 30 vertices per
// region, every coordinate a finite number within +-20000 mm. Bytes after the fifteenth group
// are ignored.
// On failure `store` is left exactly as it was.
bool load(const QString &path, RegionStore &store);

} // namespace RegionFile
