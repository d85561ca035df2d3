#pragma once

#include "exitstatus.h"

#include "protocol/linktypes.h"

#include <QString>

#include <functional>

class Console;
struct CliOptions;

// A complete revolution of a capture and its recorded time since the capture's first.
using CaptureRevolutionHandler = std::function<void(double timeS, const ScanFrames &revolution)>;

// The capture's complete revolutions, as fast as it reads and as a replay decodes them, handed to
// `take`, for every command that works on a capture (`command` names it in the messages). A file
// that is no capture gives UsageOrFileError, having said why; a damaged one gives DeviceFailed,
// having said where, once `take` has had every revolution before the damage; a sound one gives
// Success. The caller then sums up what was decoded.
ExitStatus decodeCapture(const QString &capturePath, const QString &command, Console &console,
                         const CaptureRevolutionHandler &take);

// vks20-cli replay FILE [--csv OUT]: the capture decoded as fast as it reads, every complete
// revolution counted and, when asked for, written as the scan command writes it. The CSV file
// is put in place only when the whole capture decoded.
ExitStatus replayCapture(const CliOptions &options, Console &console);
