#include "device/offlinereplay.h"

#include "device/devicesession.h"
#include "device/replaylink.h"
#include "device/scancsv.h"

#include <QIODevice>

namespace OfflineReplay {

bool decode(const QString &capturePath, const RevolutionHandler &take, QString *error,
            std::optional<CaptureDamage> *damage)
{
    ReplayLink replay;
    if (!replay.open(capturePath, error))
        return false;
    DeviceSession session({});
    session.setLink(&replay);
    int number = 0;
    qint64 chunkTimeUs = 0;
    // The time is announced before the chunk that the session decodes.
    QObject::connect(&replay, &ReplayLink::recordedTimeReached,
                     [&chunkTimeUs](qint64 timeUs) { chunkTimeUs = timeUs; });
    QObject::connect(&session, &DeviceSession::revolutionDecoded,
                     [&](const ScanFrames &frames, bool complete) {
                         if (complete)
                             take(++number, chunkTimeUs, frames);
                     });
    replay.handOnRest();
    if (damage)
        *damage = replay.damage();
    if (!replay.damage())
        return true;
    if (error)
        *error = replay.damage()->text();
    return false;
}

bool writeCsv(const QString &capturePath, QIODevice *out, QString *error)
{
    out->write(ScanCsv::header().toUtf8());
    return decode(
        capturePath,
        [out](int number, qint64, const ScanFrames &frames) {
            out->write(ScanCsv::rows(number, frames).toUtf8());
        },
        error);
}

} // namespace OfflineReplay
