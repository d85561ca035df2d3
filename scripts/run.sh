#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVKS_BUILD_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target vks20
# Log4Qt.properties and the logs/ folder live beside the program.
cd build && exec ./vks20 "$@"
