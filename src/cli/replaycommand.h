#pragma once

#include "exitstatus.h"

#include "protocol/linktypes.h"

#include <QString>

#include <functional>

class Console;
struct CliOptions;

// A complete revolution of a capture and its recorded time since the capture's first.
using CaptureRevolutionHandler = std::function<void(double timeS, const ScanFrames &revolution)>;

// The complete revolutions of the capture at `capturePath`, as fast as it reads and as a replay
// decodes them, handed to `take`. False, with `error`, when the file is no capture or is damaged
// (the revolutions before the damage have been handed on by then).
bool readCaptureRevolutions(const QString &capturePath, const CaptureRevolutionHandler &take,
                            QString *error);

// vks20-cli replay FILE [--csv OUT]: the capture decoded as fast as it reads, every complete
// revolution counted and, when asked for, written as the scan command writes it.
ExitStatus replayCapture(const CliOptions &options, Console &console);
