# Sourced by the build and test scripts: which Wine loader runs our programs on this host.
#
# The programs ship as 32-bit (i686) builds. Hosts whose kernel runs 32-bit code use wine32 and
# test those very builds. Hosts without IA-32 emulation (seen on some virtual machines: every
# 32-bit execve fails with ENOEXEC) cannot start wine32 at all; there the same sources are also
# built for x86_64 and the Wine tests run that build under wine64.

vga_host_runs_32bit() {
  [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

if [ -z "${VGA_TEST_ARCH:-}" ]; then
  if vga_host_runs_32bit; then VGA_TEST_ARCH=i686; else VGA_TEST_ARCH=x86_64; fi
fi
export VGA_TEST_ARCH

if [ "$VGA_TEST_ARCH" = i686 ]; then
  export WINELOADER=/usr/lib/wine/wine WINESERVER=/usr/lib/wine/wineserver32
  export WINEARCH=win32
else
  export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
  export WINEARCH=win64
fi
export WINEDEBUG=${WINEDEBUG:--all}
# Wine takes its ANSI code page from the locale: ja_JP gives code page 932 as on a Japanese Windows.
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
# Wine starts winemenubuilder whenever a shortcut is saved; it opens the shortcut's target to
# take its icon, and a test that deletes that file a moment later then meets a sharing violation
# now and then. The programs never need host menu entries.
case ";${WINEDLLOVERRIDES:-};" in
  *";winemenubuilder.exe=d;"*) ;;
  *) export WINEDLLOVERRIDES="winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}" ;;
esac
