#include "regions/regionfingerprint.h"

#include "protocol/regionframe.h"
#include "regions/regionframes.h"

#include <QCryptographicHash>

namespace RegionFingerprint {

QString of(const RegionStore &store)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const RegionFrame::Content &frame : RegionFrames::toDevice(store))
        hash.addData(RegionFrame::encodeRaw(frame));
    return QString::fromLatin1(hash.result().toHex());
}

QString shortForm(const QString &fingerprint)
{
    return fingerprint.left(shortLength);
}

} // namespace RegionFingerprint
