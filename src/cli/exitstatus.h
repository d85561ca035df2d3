#pragma once

// How a vks20-cli run ended, as its exit status.
enum ExitStatus
{
    Success = 0,
    DeviceFailed = 1, // no reply, a region not acknowledged, an incomplete reading, a mismatch
    UsageOrFileError = 2,
};
