#include "device/offlinereplay.h"

#include "device/devicesession.h"
#include "device/replaylink.h"

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

} // namespace OfflineReplay
