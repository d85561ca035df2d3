#!/usr/bin/env bash
# Builds the benchmarks in release mode (build-bench) and runs them all, printing one results
# table in Markdown; the table is also kept in build-bench/bench-results.md.
#   scripts/bench.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-bench
benchmarks=(bench_receive bench_datamessage bench_regionfile bench_alarm bench_replay)
scripts/install-deps.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVKS_BUILD_BENCH=ON >/dev/null
for target in "${benchmarks[@]}" bench_display; do
  cmake --build "$build" -j"$(nproc)" --target "$target" >/dev/null
done
export QT_QPA_PLATFORM=offscreen

# Qt's notes about the headless platform are not results.
run() {
  "$@" 2> >(grep -v -e "propagateSizeHints" -e "XDG_RUNTIME_DIR" >&2)
}

# bench_display prints "<what>  wall median W p90 W90 | cpu median C p90 C90 ms" per figure.
display_rows() {
  awk '/wall median/ {
    name = $1; for (i = 2; i <= NF - 12; ++i) name = name " " $i
    wall = $(NF - 9); cpu = $(NF - 3)
    drag = name ~ /drag/
    goal = 8
    printf "| display: %s | %s | cpu %s ms (wall %s) | %.0f /s | < %d ms | %s |\n",
      drag ? "vertex drag" : "drawCanvas 1920x1080", name, cpu, wall, 1000 / cpu, goal,
      cpu < goal ? "PASS" : "MISS"
  }'
}

{
  echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)," \
    "Qt $(qmake -query QT_VERSION 2>/dev/null || echo unknown), load average $(cut -d' ' -f1-3 /proc/loadavg)"
  echo
  echo "| Benchmark | Parameter | Median | Throughput / ratio | Goal | Result |"
  echo "|---|---|---|---|---|---|"
  for benchmark in "${benchmarks[@]}"; do
    run "$build/bench/$benchmark"
  done
  run "$build/bench/bench_display" | display_rows
} | tee "$build/bench-results.md"
