#!/usr/bin/env bash
# Runs every test: native unit tests, Win32 tests under Wine (with a virtual display), and a
# short bounded run of each fuzz target. Ends with one summary line; non-zero on any failure.
#   tools/test.sh                 (VGA_FUZZ_SECONDS=N to change the fuzz time per target)
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
passed=0; failed=0

count_ctest() {   # adds the counts of a ctest log to the totals
  local line total bad
  line=$(grep -aE 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -1)
  if [ -z "$line" ]; then failed=$((failed + 1)); echo "test: no ctest summary in $1"; return; fi
  bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
  total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
  passed=$((passed + total - bad)); failed=$((failed + bad))
}

if ! bash tools/build.sh; then
  echo "summary: 0 passed, 1 failed (build)"; exit 1
fi
. tools/wine-env.sh
. tools/wine-session.sh
. tools/test-results.sh
logs=$root/build/test-logs; mkdir -p "$logs"

echo "== native unit tests"
# The disc tool's lint test checks the shipped sample discs.
export VGA_SAMPLE_DISCS=$root/build/i686/discs
ctest --test-dir build/native --output-on-failure -j "$(nproc)" 2>&1 | tee "$logs/native.log" | tail -n 3
count_ctest "$logs/native.log"

echo "== Win32 tests under Wine ($VGA_TEST_ARCH)"
vga_wine_session_start
# A Windows program that Wine fails to start at all (it ends within a tenth of a second, with no
# output) is a hiccup of the shared machine, not a result: a failed test runs once more, and
# both runs stay in the log. Each test program runs its cases in one process; they are counted
# one by one from the results the programs write.
# The whole Wine run also has a budget (VGA_WINE_TEST_SECONDS, 45 minutes unless told; it takes
# a few minutes): a program that hangs until its own timeout, twice over, ends as a failure
# named in the log rather than holding the machine.
results=build/$VGA_TEST_ARCH/test-results
rm -rf "$results"
budget=${VGA_WINE_TEST_SECONDS:-2700}
timeout --kill-after=30 "$budget" \
  ctest --test-dir "build/$VGA_TEST_ARCH" --output-on-failure --repeat until-pass:2 2>&1 |
  tee "$logs/win32.log" | tail -n 3
[ "${PIPESTATUS[0]}" -ne 124 ] || echo "test: the Wine tests ran past their budget of $budget s" | tee -a "$logs/win32.log"
if grep -aqE 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$logs/win32.log"; then
  vga_count_cases "$logs/win32.log" "$results"
  echo "cases: $vga_cases_passed passed, $vga_cases_failed failed"
  passed=$((passed + vga_cases_passed)); failed=$((failed + vga_cases_failed))
else
  failed=$((failed + 1)); echo "test: no ctest summary in $logs/win32.log"
fi
vga_wine_session_stop

echo "== fuzz targets (bounded)"
if bash tools/fuzz.sh "${VGA_FUZZ_SECONDS:-10}" > "$logs/fuzz.log" 2>&1; then :; fi
fp=$(grep -c '^fuzz: ok ' "$logs/fuzz.log"); ff=$(grep -c '^fuzz: FAILED ' "$logs/fuzz.log")
grep -E '^fuzz: ' "$logs/fuzz.log"
passed=$((passed + fp)); failed=$((failed + ff))
[ "$fp" -gt 0 ] || { echo "test: no fuzz target ran"; failed=$((failed + 1)); }

echo "summary: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
