#!/usr/bin/env bash
# The sample discs' images behind the drive Q:, as a player mounts an image, on the host side.
#   image-drives.sh setup DRIVES DISCS   starts a disc changer: it mounts DISCS/disc<n>.iso
#                                        (read-only, Joliet names, with fuseiso) on DRIVES/q
#                                        whenever a test asks for disc n
#   image-drives.sh cleanup DRIVES       stops the changer and unmounts what it mounted
# A test asks by writing "<n> <sequence>" into DRIVES/image-request (n 0: no disc) and waits for
# DRIVES/image-done to say the same. DRIVES/image-drives.txt says "ready", or "skip: <reason>" when
# this host cannot mount an image (no FUSE, no fuseiso, no images); the image tests then skip.
set -euo pipefail
cmd=$1; drives=$2
status=$drives/image-drives.txt
pidfile=$drives/image-changer.pid

unmount_q() {
  if mountpoint -q "$drives/q" 2>/dev/null; then fusermount -uz "$drives/q" 2>/dev/null || umount -l "$drives/q"; fi
}

stop_changer() {
  if [ -f "$pidfile" ]; then kill "$(cat "$pidfile")" 2>/dev/null || true; rm -f "$pidfile"; fi
  unmount_q
  rm -f "$drives/image-request" "$drives/image-done"
}

# The changer: one request at a time, answered in image-done.
changer() {
  local discs=$1 seen="" request disc
  while :; do
    request=$(cat "$drives/image-request" 2>/dev/null || true)
    if [ -n "$request" ] && [ "$request" != "$seen" ]; then
      seen=$request; disc=${request%% *}
      unmount_q
      if [ "$disc" != 0 ] && ! fuseiso "$discs/disc$disc.iso" "$drives/q" 2>"$drives/image-error"; then
        echo "error $(head -c 200 "$drives/image-error" | tr '\n' ' ')" > "$drives/image-done.new"
      else
        echo "$request" > "$drives/image-done.new"
      fi
      mv "$drives/image-done.new" "$drives/image-done"
    fi
    sleep 0.05
  done
}

skip() { echo "skip: $1" > "$status"; echo "image-drives: $1; the image tests will skip"; exit 0; }

mkdir -p "$drives"
case "$cmd" in
  setup)
    discs=$3
    stop_changer
    rm -f "$status"
    command -v fuseiso >/dev/null || skip "fuseiso is not installed"
    [ -c /dev/fuse ] || skip "this host has no /dev/fuse"
    for n in 1 2; do [ -f "$discs/disc$n.iso" ] || skip "no image $discs/disc$n.iso"; done
    # A mount that this host refuses is found out now, not in the middle of a test.
    probe=$drives/image-probe; mkdir -p "$probe"
    if ! fuseiso "$discs/disc1.iso" "$probe" 2>"$drives/image-error"; then
      reason=$(head -c 200 "$drives/image-error" | tr '\n' ' '); rmdir "$probe" 2>/dev/null || true
      skip "fuseiso cannot mount here: $reason"
    fi
    fusermount -uz "$probe" 2>/dev/null || umount -l "$probe"; rmdir "$probe" 2>/dev/null || true
    setsid bash -c "$(declare -f unmount_q changer); drives='$drives'; changer '$discs'" >/dev/null 2>&1 < /dev/null &
    echo $! > "$pidfile"
    echo ready > "$status"
    echo "image-drives: disc changer for $discs/disc1.iso, disc2.iso behind $drives/q" ;;
  cleanup)
    stop_changer; rm -f "$status" "$drives/image-error" ;;
  *) echo "usage: image-drives.sh setup DRIVES DISCS | cleanup DRIVES" >&2; exit 2 ;;
esac
