#!/usr/bin/env bash
# Installs what is missing, builds the program, the command-line tool and the simulator and
# starts the program.
#   scripts/run.sh [program options]         build/vks20 --help lists them
#   scripts/run.sh --demo [program options]  the simulator on a pseudo-terminal and the program
#                                            connected to it, scanning; closing the program
#                                            ends the simulator
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVKS_BUILD_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target vks20 vks20-cli vks20-sim
# Log4Qt.properties and the logs/ folder live beside the program.
cd build
if [ "${1:-}" != --demo ]; then
  exec ./vks20 "$@"
fi
shift

source ../scripts/simulator-background.sh
work=$(mktemp -d)
start_simulator "$work" tools/vks20-sim --serial
pty=$(simulator_link "$work" PTY)
# A settings folder of its own: the demonstration leaves the operator's remembered port,
# fields and window as they were.
XDG_CONFIG_HOME="$work" ./vks20 --serial "$pty" --scan "$@"
