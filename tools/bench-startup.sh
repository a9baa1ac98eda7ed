#!/usr/bin/env bash
# Start-up benchmark under Wine with the sample discs: from starting vgan1_menu.exe on disc 1 to
# its first page on screen, split into the two process starts (Wine's cost), the bootstrap copy
# to TEMP, the archive with the nine lists, the two pictures and the page creation, and compared
# with the start of a bare dialog program in the same run. Medians over RUNS runs (default 5).
# The split comes from the menu's start-up trace (VGA_STARTUP_TRACE); the goal is the menu's own
# work (everything but the process starts) under 100 ms.
#   tools/bench-startup.sh [RUNS]
# VGA_BUILD=<cross build folder> uses that build as it is instead of running tools/build.sh.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
runs=${1:-5}
if [ -z "${VGA_BUILD:-}" ]; then
  mkdir -p build
  bash tools/build.sh > build/bench-build.log 2>&1 || { cat build/bench-build.log; echo "bench: build failed" >&2; exit 1; }
fi
. tools/wine-env.sh
build=$(cd "${VGA_BUILD:-$root/build/$VGA_TEST_ARCH}" && pwd)   # Wine needs an absolute prefix path
tool=$build/tests/e2e/vga_e2e_tool.exe
bare=$build/tests/e2e/vga_e2e_bare_dialog.exe
imports=$build/tests/e2e/vga_e2e_bare_dialog_imports.exe   # the same with the menu's imports
[ -f "$tool" ] && [ -f "$bare" ] && [ -f "$imports" ] || { echo "bench: the benchmark programs were not built" >&2; exit 1; }

work=$build/bench
drives=$work/drives
. tools/wine-session.sh
cleanup() {
  vga_wine_session_stop
  bash tests/e2e/stage-discs.sh cleanup "$drives"
}
trap cleanup EXIT
# A running wineserver, as on a desktop where Wine is already up: the figures are process starts,
# not the server's own start.
vga_wine_session_start "$work" >/dev/null
bash tests/e2e/stage-discs.sh setup "$drives" "$build/discs" >/dev/null
echo "bench: $VGA_TEST_ARCH build, $runs runs (+1 warm-up), prefix $WINEPREFIX"
VGA_E2E_DRIVES=$drives "$WINELOADER" "$tool" --bench "$runs" "$bare" "$imports"
