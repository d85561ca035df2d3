#!/usr/bin/env bash
# Installs what is missing, builds everything from scratch and runs every test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
rm -rf build-tests
cmake -S . -B build-tests -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-tests -j"$(nproc)"
cd build-tests
QT_QPA_PLATFORM=offscreen ctest --output-on-failure
