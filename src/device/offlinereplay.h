#pragma once

#include "capture/capturefile.h"
#include "protocol/linktypes.h"

#include <QString>

#include <functional>
#include <optional>

// A capture decoded without a window and without waiting: its conversation goes through a
// session of its own as fast as it can be read, and every complete revolution comes out,
// numbered 1..N in order as a live scan numbers them, with the time (microseconds since the
// epoch) the chunk that completed it was recorded at.
namespace OfflineReplay {

using RevolutionHandler = std::function<void(int number, qint64 timeUs, const ScanFrames &frames)>;

// False, with `error` set, when the file is no capture, or when a damaged record cut it short
// (the revolutions before the damage have been handed on by then, and `damage` says where).
bool decode(const QString &capturePath, const RevolutionHandler &take, QString *error = nullptr,
            std::optional<CaptureDamage> *damage = nullptr);

} // namespace OfflineReplay
