#!/usr/bin/env bash
# Copy benchmark under Wine: the list copy (copyListFile, with the progress page on screen)
# against the plainest 8192-byte loop that still dispatches a message per chunk and against
# CopyFileA, on one file of SIZE_MB MB (default 256) in the prefix's TEMP on C:, alternating
# the three for ROUNDS rounds (default 5); medians in MB/s, the ratios, and the ratio to a 16x
# DVD (22 MB/s). Then the answer time of the progress page to another thread during a list
# copy (median and 99th percentile; the goal is a 99th under 10 ms).
#   tools/bench-copy.sh [SIZE_MB] [ROUNDS]
# VGA_BUILD=<cross build folder> uses that build as it is instead of running tools/build.sh.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
size=${1:-256}
rounds=${2:-5}
if [ -z "${VGA_BUILD:-}" ]; then
  mkdir -p build
  bash tools/build.sh > build/bench-build.log 2>&1 || { cat build/bench-build.log; echo "bench: build failed" >&2; exit 1; }
fi
. tools/wine-env.sh
build=$(cd "${VGA_BUILD:-$root/build/$VGA_TEST_ARCH}" && pwd)   # Wine needs an absolute prefix path
exe=$build/bench/win32/bench_copy.exe
[ -f "$exe" ] || { echo "bench: $exe was not built" >&2; exit 1; }

work=$build/bench-copy
. tools/wine-session.sh
cleanup() {
  vga_wine_session_stop
  # A run cut short leaves its two files in the prefix's TEMP.
  rm -f "$WINEPREFIX"/drive_c/users/*/Temp/vga_bench_copy_*.bin
}
trap cleanup EXIT
# A running wineserver, as on a desktop where Wine is already up.
vga_wine_session_start "$work" >/dev/null
echo "bench: $VGA_TEST_ARCH build, prefix $WINEPREFIX"
"$WINELOADER" "$exe" "$size" "$rounds"
