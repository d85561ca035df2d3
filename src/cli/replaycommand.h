#pragma once

#include "commandrunner.h"

#include "device/offlinereplay.h"

class Console;
struct CliOptions;

// The capture's complete revolutions handed to `take` as fast as it reads, for every command
// that works on a capture. A file that is no capture gives UsageOrFileError, having said why;
// a damaged one gives DeviceFailed, having said where, once `take` has had every revolution
// before the damage; a sound one gives Success. The caller then sums up what was decoded.
ExitStatus decodeCapture(const QString &capturePath, Console &console,
                         const OfflineReplay::RevolutionHandler &take);

// vks20-cli replay FILE [--csv OUT]: the capture decoded as fast as it reads, every complete
// revolution counted and, when asked for, written as the scan command writes it. The CSV file
// is put in place only when the whole capture decoded.
ExitStatus replayCapture(const CliOptions &options, Console &console);
