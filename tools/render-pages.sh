#!/usr/bin/env bash
# Pictures of the menu's eight pages, for checking the layout by eye: builds what is missing,
# starts the menu from sample disc 1 in a private prefix under a virtual display, walks every
# page and saves build/pages/<page>.png (the page's window, cropped from the screen).
#   tools/render-pages.sh
# VGA_BUILD=<cross build folder> uses that build as it is instead of running tools/build.sh.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
if [ -z "${VGA_BUILD:-}" ]; then
  mkdir -p build
  bash tools/build.sh > build/render-build.log 2>&1 || { cat build/render-build.log; echo "render: build failed" >&2; exit 1; }
fi
. tools/wine-env.sh
build=$(cd "${VGA_BUILD:-$root/build/$VGA_TEST_ARCH}" && pwd)   # Wine needs an absolute prefix path
tool=$build/tests/e2e/vga_e2e_tool.exe
[ -f "$tool" ] || { echo "render: $tool was not built (the sample discs need the native vgadisc)" >&2; exit 1; }

work=$build/render
drives=$work/drives
out=$root/build/pages
mkdir -p "$out"
rm -f "$out"/*.ready "$out"/*.part "$out"/*.done "$out"/*.png

. tools/wine-session.sh
cleanup() {
  vga_wine_session_stop
  bash tests/e2e/stage-discs.sh cleanup "$drives"
}
trap cleanup EXIT
vga_wine_session_start "$work" >/dev/null
bash tests/e2e/stage-discs.sh setup "$drives" "$build/discs" >/dev/null

# The tool announces each page in <page>.ready ("x y width height"); the picture is taken here,
# on the host, and <page>.done lets the tool go on.
VGA_E2E_DRIVES=$drives "$WINELOADER" "$tool" --render "$out" > "$work/render.log" 2>&1 &
walker=$!
while :; do
  for ready in "$out"/*.ready; do
    [ -e "$ready" ] || continue
    page=$(basename "$ready" .ready)
    read -r x y w h < "$ready"
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/$page.png"
    rm -f "$ready"; touch "$out/$page.done"
  done
  kill -0 "$walker" 2>/dev/null || break
  sleep 0.2
done
status=0; wait "$walker" || status=$?
rm -f "$out"/*.done
if [ "$status" -ne 0 ]; then cat "$work/render.log"; echo "render: the page walk failed" >&2; exit 1; fi
for png in "$out"/*.png; do echo "$png"; done
