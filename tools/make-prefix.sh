#!/usr/bin/env bash
# Creates a private Wine prefix with two simulated optical drives, Q: and R:, and a removable
# drive P: (a USB stick).
#   tools/make-prefix.sh PREFIX
# Each drive is a symlink dosdevices/q: -> PREFIX/../drives/q (an empty folder: no disc).
# Putting a disc in is re-pointing that link, or filling the folder; tests do both.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/wine-env.sh"
prefix=$1
drives="$(dirname "$prefix")/drives"
export WINEPREFIX=$prefix

# A prefix made by an older version of this script is made again.
version=2
if [ "$(cat "$prefix/.vga-ready" 2>/dev/null)" = "$version" ]; then exit 0; fi
rm -rf "$prefix"
mkdir -p "$prefix" "$drives/q" "$drives/r" "$drives/p"
"$WINELOADER" wineboot -i >/dev/null 2>&1

# Wine links the user's Desktop, Documents, ... to the host's home folder, which every prefix on
# the machine shares: shortcuts made by one test run would show up in another. Private folders.
for link in "$prefix"/drive_c/users/*/*; do
  if [ -L "$link" ]; then rm "$link"; mkdir -p "$link"; fi
done

ln -sfn "$drives/q" "$prefix/dosdevices/q:"
ln -sfn "$drives/r" "$prefix/dosdevices/r:"
ln -sfn "$drives/p" "$prefix/dosdevices/p:"
reg="$prefix/vga-drives.reg"
# Unmanaged windows: without a window manager (plain Xvfb) Wine otherwise waits about 2 s for
# one whenever a message box closes.
printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\r\n"q:"="cdrom"\r\n"r:"="cdrom"\r\n"p:"="floppy"\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n' > "$reg"
"$WINELOADER" regedit /S "$reg" >/dev/null 2>&1
# The pages' font, "ＭＳ Ｐゴシック", is drawn with the proportional IPA face, as close as this
# machine gets to a Japanese Windows (Wine's own fallback is the fixed-pitch face). regedit reads
# the file in the ANSI code page, so the name goes in as code page 932.
printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n"ＭＳ Ｐゴシック"="IPAPGothic"\r\n' \
  | iconv -f UTF-8 -t CP932 > "$prefix/vga-fonts.reg"
"$WINELOADER" regedit /S "$prefix/vga-fonts.reg" >/dev/null 2>&1
# Drive types are read when the wineserver starts: restart it before the first test.
"$WINESERVER" -w
"$WINESERVER" -k 2>/dev/null || true
echo "$version" > "$prefix/.vga-ready"
echo "prefix ready: $prefix (optical drives Q: R:, removable P: -> $drives)"
