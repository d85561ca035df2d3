#include "regionfileinput.h"

#include "regions/regionfile.h"

#include <QFile>

bool loadRegionFile(const QString &path, RegionStore &store, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    if (!RegionFile::load(path, store)) {
        *error =
            QStringLiteral("cannot read %1: not a whole, valid region settings file").arg(path);
        return false;
    }
    return true;
}
