#!/usr/bin/env bash
# Builds the libFuzzer targets under fuzz/ with clang into build-fuzz and runs each of them for
# the given number of seconds (default 60), one per core at a time (JOBS overrides the number).
# Fails on any crash, leak, time-out or sanitizer
# report; the input that caused it is kept in build-fuzz/artifacts/<target>/.
# The corpus grows in build-fuzz/corpus/<target>/ from seeds the generator writes each run;
# inputs kept in fuzz/corpus/<target>/ (regressions) are replayed as extra seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:-60}
targets=(fuzz_pointcloud fuzz_regionframes fuzz_regionfile fuzz_receive fuzz_dxfimport
  fuzz_capturefile)
# The session's trace lines grow with the square of a chunk's size; 4 KB of chunks reach every
# state and keep fuzz_receive above a thousand inputs a second.
declare -A target_options=([fuzz_receive]="-max_len=4096" [fuzz_dxfimport]="-dict=fuzz/dxf.dict")
# dime frees some of its table records with delete where it allocated them with new[]: a
# mismatch wholly inside the system library, harmless with glibc's allocator, not ours to mend.
declare -A target_asan=([fuzz_dxfimport]="alloc_dealloc_mismatch=0")

scripts/install-deps.sh
# clang with its sanitizer and libFuzzer runtimes, only when missing.
missing=()
for package in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build=build-fuzz
start=$SECONDS
cmake -S fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j"${JOBS:-$(nproc)}"
echo "fuzz: build took $((SECONDS - start)) s"

"$build"/fuzz_seeds "$build/seeds"

export LSAN_OPTIONS="suppressions=$root/fuzz/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$root/fuzz/sanitizers/ubsan.supp"
export QT_QPA_PLATFORM=offscreen

# Runs one target for the given time and writes its one-line summary beside its log.
fuzz_target() {
  local target=$1 corpus="$build/corpus/$1" artifacts="$build/artifacts/$1" log="$build/logs/$1.log"
  mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
  local seeds=("$build/seeds/$target")
  [ -d "fuzz/corpus/$target" ] && seeds+=("fuzz/corpus/$target")

  local result=ok
  # A single input running past 60 s is a hang, reported like a crash.
  # shellcheck disable=SC2086
  ASAN_OPTIONS="${target_asan[$target]:-}" "$build/$target" ${target_options[$target]:-} -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=60 \
      -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" "${seeds[@]}" \
      >"$log" 2>&1 || result="FAILED (exit $?)"
  # Belt and braces: a report that did not end the run still fails it.
  if grep -qE "ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:" "$log"; then
    result="FAILED (sanitizer report)"
  fi

  local runs last coverage features size
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  # A target that stopped on its first input printed no progress line.
  last=$(grep -E "^#[0-9]+" "$log" | tail -1 || true)
  coverage=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  features=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  size=$(sed -n 's/.* corp: \([^ ]*\).*/\1/p' <<<"$last")
  echo "$target: $result, ${runs:-?} runs, coverage ${coverage:-?} edges / ${features:-?} features, corpus ${size:-?} (files/bytes), log $log" >"$log.summary"
  if [ "$result" != ok ]; then
    grep -E "ERROR:|runtime error:|property broken|SUMMARY:|Test unit written" "$log" | head -20 >>"$log.summary" || true
  fi
}

# One target per core at a time: each fuzzer is a single process.
jobs=${JOBS:-$(nproc)}
for target in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
    wait -n
  done
  fuzz_target "$target" &
done
wait

status=0
for target in "${targets[@]}"; do
  cat "$build/logs/$target.log.summary"
  grep -q "^$target: ok," "$build/logs/$target.log.summary" || status=1
done
exit $status
