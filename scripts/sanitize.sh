#!/usr/bin/env bash
# Builds the whole project with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan
# and runs every suite there. Any sanitizer report fails the suite that caused it. Arguments go
# to ctest, so -R or -E picks the suites.
# Environment: CXX picks the compiler (default: the system's c++), JOBS the build parallelism.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/install-deps.sh

build=build-asan
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

# Only what is proven to sit inside Qt or the system libraries is suppressed; each entry says why.
# Qt is built without frame pointers: the slow unwinder gives leak reports the whole stack,
# which the suppressions need to tell Qt's own allocations from the program's.
# The DXF library (dime) frees some records with delete that it allocated with new[]: a
# mismatch inside the system library, harmless with glibc's allocator, that this check cannot
# tell from ours; the program's own memory is held in Qt and standard containers.
export ASAN_OPTIONS="detect_leaks=1:fast_unwind_on_malloc=0:detect_stack_use_after_return=1:alloc_dealloc_mismatch=0"
export LSAN_OPTIONS="suppressions=$root/fuzz/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$root/fuzz/sanitizers/ubsan.supp"

start=$SECONDS
# -O1 keeps the instrumented build and the suites reasonably fast on a small machine.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DVKS_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$sanitize -O1" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
# The build runs the instrumented picture generator, so the options above apply to it as well.
cmake --build "$build" -j"${JOBS:-$(nproc)}"
echo "sanitize: build took $((SECONDS - start)) s"

start=$SECONDS
status=0
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" "$@") || status=$?
echo "sanitize: tests took $((SECONDS - start)) s"
exit $status
