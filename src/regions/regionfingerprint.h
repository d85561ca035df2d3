#pragma once

#include "regions/region.h"

#include <QString>

// A short, checkable name for a region set: SHA-256 over the 45 region frames exactly as a raw
// writing sends them. It covers what the device holds (whole millimetres, angular order, vertex
// and alarm point counts) and nothing it does not (colours, parts of a millimetre), so a file
// and the device after writing it share one fingerprint.
namespace RegionFingerprint {

constexpr int shortLength = 12;

// 64 lower-case hex digits.
QString of(const RegionStore &store);
// Its first shortLength digits, as the window and backup names show it.
QString shortForm(const QString &fingerprint);

} // namespace RegionFingerprint
