#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer + UBSan) and runs each for a bounded time.
#   tools/fuzz.sh [SECONDS]     (default 10 per target; the README's long run uses 600)
# Prints one line per target: "fuzz: ok NAME execs=N cov=N" or "fuzz: FAILED NAME ...".
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
seconds=${1:-10}
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DVGA_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null \
  && cmake --build build/fuzz -j "$(nproc)" >build/fuzz/build.log 2>&1 \
  || { echo "fuzz: FAILED build (see build/fuzz/build.log)"; exit 1; }
status=0
for exe in build/fuzz/tests/fuzz/fuzz_*; do
  [ -x "$exe" ] || continue
  name=$(basename "$exe"); seeds=tests/fuzz/corpus/${name#fuzz_}
  work=build/fuzz/corpus/$name; mkdir -p "$work"
  [ -d "$seeds" ] && cp -n "$seeds"/* "$work"/ 2>/dev/null
  log=build/fuzz/$name.log
  if "$exe" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=2048 "$work" >"$log" 2>&1; then
    execs=$(grep -E 'stat::number_of_executed_units' "$log" | awk '{print $2}')
    cov=$(grep -E '^#[0-9]+.*cov:' "$log" | tail -1 | sed -E 's/.*cov: ([0-9]+).*/\1/')
    echo "fuzz: ok $name execs=${execs:-?} cov=${cov:-?} seconds=$seconds"
  else
    echo "fuzz: FAILED $name (see $log)"; status=1
  fi
done
exit $status
