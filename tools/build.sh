#!/usr/bin/env bash
# Builds everything: the native core with its tests and tools, the shipped 32-bit programs with
# the sample disc set, and (on hosts that cannot run 32-bit code) the x86_64 test build.
#   tools/build.sh            -> build/native, build/i686 (+ build/x86_64)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash tools/setup.sh
. tools/wine-env.sh
jobs=$(nproc)

cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j "$jobs"

cross() {   # cross ARCH [TARGET...]
  local arch=$1; shift
  # The programs that ship are the i686 ones: the x86_64 build's size test checks those.
  local shipped=""
  [ "$arch" = i686 ] || shipped=$root/build/i686
  cmake -S . -B "build/$arch" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
    -DVGADISC_HOST="$root/build/native/tools/vgadisc/vgadisc" -DVGA_SHIPPED_BUILD="$shipped" >/dev/null
  cmake --build "build/$arch" -j "$jobs" ${1:+--target "$@"}
}

if [ "$VGA_TEST_ARCH" = i686 ]; then
  cross i686
else
  # The shipped programs and disc set; the tests are built and run in the x86_64 build.
  cross i686 vgan1_menu vgahub_fix vgadisc sample_discs
  cross x86_64
fi
echo "build: shipped programs and sample discs in build/i686 (programs, discs/disc1, discs/disc2 and their images disc1.iso, disc2.iso)"
