#!/usr/bin/env bash
# Soak run, on demand: the program scans the simulator over UDP on 127.0.0.1 for a number of
# minutes (default 10) and reports memory growth, the rolling log's size and scan integrity.
#   scripts/soak.sh [minutes]
set -euo pipefail
minutes=${1:-10}
cd "$(dirname "$0")/.."
build=build-bench
scripts/install-deps.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVKS_BUILD_BENCH=ON >/dev/null
for target in soak_driver vks20-sim; do
  cmake --build "$build" -j"$(nproc)" --target "$target" >/dev/null
done

source scripts/simulator-background.sh
work=$(mktemp -d)
start_simulator "$work" "$build/tools/vks20-sim" --udp 127.0.0.1:0 --resolution 0.18 --rate 20
# The simulator picks a free port: "UDP 127.0.0.1:<port>".
port=$(simulator_link "$work" UDP)
port=${port##*:}
echo "simulator on 127.0.0.1:$port"

status=0
QT_QPA_PLATFORM=offscreen "$build/bench/soak_driver" --device-port "$port" --minutes "$minutes" \
  || status=$?
if ! kill -0 "$simulator" 2>/dev/null; then
  wait "$simulator" || echo "the simulator ended during the run, exit status $?"
  cat "$work/simulator.out"
  status=1
fi
exit "$status"
