#!/usr/bin/env bash
# Builds everything and starts the menu from sample disc 1 in drive Q: under Wine: the disc's
# image mounted in the drive (fuseiso), or the disc folder where this host cannot mount.
# On a machine without a display it uses a virtual one and saves screenshots to build/run/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash tools/build.sh
. tools/wine-env.sh
build=$root/build/$VGA_TEST_ARCH
export WINEPREFIX=$build/run/wineprefix
bash tools/make-prefix.sh "$WINEPREFIX"
drives=$build/run/drives   # make-prefix.sh puts the drive folders beside the prefix
if mountpoint -q "$drives/q" 2>/dev/null; then fusermount -uz "$drives/q" 2>/dev/null || umount -l "$drives/q"; fi
rm -rf "$drives/q" "$drives/r"; mkdir -p "$drives/q" "$drives/r"
ln -sfn "$drives/q" "$WINEPREFIX/dosdevices/q:"; ln -sfn "$drives/r" "$WINEPREFIX/dosdevices/r:"
if [ -c /dev/fuse ] && command -v fuseiso >/dev/null && fuseiso "$build/discs/disc1.iso" "$drives/q" 2>/dev/null; then
  echo "run: the image $build/discs/disc1.iso mounted in Q:"
  echo "run: when the menu asks for disc 2: fusermount -u $drives/q && fuseiso $build/discs/disc2.iso $drives/q"
else
  rmdir "$drives/q"; ln -sfn "$build/discs/disc1" "$drives/q"
  echo "run: disc 1 in Q: ($build/discs/disc1); when the menu asks for disc 2: ln -sfn $build/discs/disc2 $drives/q"
fi
mkdir -p build/run
if [ -z "${DISPLAY:-}" ]; then
  DISPLAY=$(bash tools/xvfb.sh start "$root/build/run/xvfb"); export DISPLAY
  # Detached from this terminal: Wine's processes outlive the script.
  "$WINELOADER" 'Q:\vgan1_menu.exe' >build/run/menu.log 2>&1 </dev/null &
  sleep 8
  import -window root build/run/menu.png 2>/dev/null || true
  echo "run: headless: the menu runs on virtual display $DISPLAY; screenshot in build/run/menu.png"
  echo "run: stop it with: WINEPREFIX=$WINEPREFIX $WINESERVER -k; tools/xvfb.sh stop build/run/xvfb"
else
  exec "$WINELOADER" 'Q:\vgan1_menu.exe'
fi
