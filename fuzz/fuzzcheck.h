#pragma once

#include <cstdio>
#include <cstdlib>

// A property the fuzzed code must keep; a broken one aborts, which libFuzzer records as a
// crash together with the input that caused it.
#define FUZZ_CHECK(condition)                                                                      \
    ((condition) ? void() : fuzzCheckFailed(#condition, __FILE__, __LINE__))

[[noreturn]] inline void fuzzCheckFailed(const char *condition, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, condition);
    std::abort();
}
