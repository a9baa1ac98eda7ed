# Sourced by the scripts that run the Windows programs under Wine (tools/test.sh,
# tools/fault-matrix.sh, the benchmarks, tools/render-pages.sh), after tools/wine-env.sh, with
# $root set to the checkout:
#   vga_wine_session_start [WORK]   a private prefix (made once), a private virtual display and one
#                                   persistent wineserver; exports WINEPREFIX and DISPLAY. The prefix
#                                   is WORK/wineprefix and the display's files are in WORK/xvfb;
#                                   without WORK, the build's test prefix and build/xvfb.
#   vga_wine_session_stop           ends that wineserver and that display

vga_wine_session_start() {
  if [ -n "${1:-}" ]; then
    export WINEPREFIX=$1/wineprefix
    vga_session_xvfb=$1/xvfb
  else
    export WINEPREFIX=$root/build/$VGA_TEST_ARCH/wineprefix
    vga_session_xvfb=$root/build/xvfb
  fi
  bash "$root/tools/make-prefix.sh" "$WINEPREFIX" || return 1
  DISPLAY=$(bash "$root/tools/xvfb.sh" start "$vga_session_xvfb") || return 1
  export DISPLAY
  # One persistent wineserver for the whole run: without it every test program pays ~3 s of
  # server start-up and prefix loading.
  "$WINESERVER" -p
  "$WINELOADER" cmd.exe /c exit >/dev/null 2>&1 || true
}

vga_wine_session_stop() {
  "$WINESERVER" -k 2>/dev/null || true
  bash "$root/tools/xvfb.sh" stop "${vga_session_xvfb:-$root/build/xvfb}"
}
