#pragma once

#include "commandrunner.h"

class Console;
struct CliOptions;

// vks20-cli replay FILE [--csv OUT]: the capture decoded as fast as it reads, every complete
// revolution counted and, when asked for, written as the scan command writes it.
ExitStatus replayCapture(const CliOptions &options, Console &console);
