#!/usr/bin/env bash
# Runs one Windows program under Wine in the prefix named by WINEPREFIX (ctest's emulator).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=wine-env.sh
. "$here/wine-env.sh"
: "${WINEPREFIX:?WINEPREFIX must name the prefix to run in}"
export WINEPREFIX
exec "$WINELOADER" "$@"
