#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the run need. Safe to run again:
# packages already present are skipped, so a second run costs a few seconds.
# Both Wine loaders and both MinGW targets: hosts that cannot run 32-bit code test an x86_64
# build under wine64 (see tools/wine-env.sh). xorriso writes and reads the disc images
# (vgadisc master); fuseiso mounts them for the end-to-end tests.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev
  googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine32:i386 wine64 xvfb xauth fonts-ipafont-gothic locales
  x11-utils xdotool imagemagick
  xorriso fuseiso
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  [ "$(id -u)" = 0 ] || { echo "setup: run as root to install: ${missing[*]}" >&2; exit 1; }
  echo "setup: installing ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine reads Japanese text as code page 932 only when this locale exists.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  [ "$(id -u)" = 0 ] || { echo "setup: run as root to generate ja_JP.UTF-8" >&2; exit 1; }
  sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
echo "setup: packages ready"
