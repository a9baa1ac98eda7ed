# Sourced by the scripts that run the Windows programs under Wine (tools/test.sh,
# tools/fault-matrix.sh), after tools/wine-env.sh, with $root set to the checkout:
#   vga_wine_session_start   the build's private prefix (made once), a private virtual display and
#                            one persistent wineserver; exports WINEPREFIX and DISPLAY
#   vga_wine_session_stop    ends that wineserver and that display

vga_wine_session_start() {
  export WINEPREFIX=$root/build/$VGA_TEST_ARCH/wineprefix
  bash "$root/tools/make-prefix.sh" "$WINEPREFIX" || return 1
  DISPLAY=$(bash "$root/tools/xvfb.sh" start "$root/build/xvfb") || return 1
  export DISPLAY
  # One persistent wineserver for the whole run: without it every test program pays ~3 s of
  # server start-up and prefix loading.
  "$WINESERVER" -p
  "$WINELOADER" cmd.exe /c exit >/dev/null 2>&1 || true
}

vga_wine_session_stop() {
  "$WINESERVER" -k 2>/dev/null || true
  bash "$root/tools/xvfb.sh" stop "$root/build/xvfb"
}
