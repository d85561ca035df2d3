#pragma once

#include "exitstatus.h"

class Console;
struct CliOptions;

// vks20-cli evaluate CAPTURE --regions FILE --group N [--csv OUT]: a capture's complete
// revolutions, read as a replay reads them, against one group's regions; a summary per region.
ExitStatus evaluateCapture(const CliOptions &options, Console &console);
