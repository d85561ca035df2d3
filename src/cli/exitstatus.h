#pragma once

// How a vks20-cli run ended, as its exit status.
enum ExitStatus
{
    Success = 0,
    // No reply, a region not acknowledged, an incomplete reading, a mismatch, no alarm of the
    // region the monitor waits for.
    DeviceFailed = 1,
    UsageOrFileError = 2,
};
