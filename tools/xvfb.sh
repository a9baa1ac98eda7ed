#!/usr/bin/env bash
# Starts or stops a private virtual display.  start DIR -> prints the DISPLAY;  stop DIR.
set -euo pipefail
cmd=$1; dir=$2
mkdir -p "$dir"
case "$cmd" in
  start)
    if [ -f "$dir/pid" ] && kill -0 "$(cat "$dir/pid")" 2>/dev/null; then cat "$dir/display"; exit 0; fi
    for n in $(seq 90 140); do
      [ -e "/tmp/.X$n-lock" ] && continue
      Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$dir/xvfb.log" 2>&1 &
      echo $! > "$dir/pid"
      for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
      if kill -0 "$(cat "$dir/pid")" 2>/dev/null; then echo ":$n" | tee "$dir/display"; exit 0; fi
    done
    echo "xvfb: no free display" >&2; exit 1 ;;
  stop)
    [ -f "$dir/pid" ] && kill "$(cat "$dir/pid")" 2>/dev/null || true
    rm -f "$dir/pid" "$dir/display" ;;
esac
