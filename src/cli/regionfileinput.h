#pragma once

#include "regions/region.h"

#include <QString>

// A region settings file named on the command line, read whole before anything is sent.
// False, with the one line to print in `error`, when it cannot be read or is not sound; `store`
// is then left as it was.
bool loadRegionFile(const QString &path, RegionStore &store, QString *error);
