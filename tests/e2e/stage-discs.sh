#!/usr/bin/env bash
# Prepares the drive folders for the end-to-end tests, on the host side.
#   stage-discs.sh setup DRIVES DISCS   DRIVES/q and DRIVES/r become empty folders (no disc), and
#                                       DRIVES/e2e-disc1, e2e-disc2 fresh copies of DISCS/disc1, disc2
#   stage-discs.sh cleanup DRIVES       the drives are emptied again and the copies removed
# The driver puts a disc in by renaming its copy to q or r from inside Wine. The copies are real
# folders because a rename from inside Wine would move the target of a symbolic link instead.
set -euo pipefail
cmd=$1; drives=$2

empty_slot() {   # empty_slot PATH: an empty real folder, whatever was there (a link is removed, not followed)
  if [ -L "$1" ]; then rm -f "$1"
  elif [ -d "$1" ]; then chmod -R u+w "$1"; rm -rf "$1"; fi
  mkdir -p "$1"
}

remove_copies() {
  for d in "$drives"/e2e-disc*; do
    [ -e "$d" ] || continue
    chmod -R u+w "$d"; rm -rf "$d"
  done
}

mkdir -p "$drives"
case "$cmd" in
  setup)
    discs=$3
    for n in 1 2; do [ -f "$discs/disc$n/varnis_disc$n.ico" ] || { echo "stage-discs: no sample disc $n in $discs" >&2; exit 1; }; done
    empty_slot "$drives/q"; empty_slot "$drives/r"; remove_copies
    for n in 1 2; do cp -a "$discs/disc$n" "$drives/e2e-disc$n"; done
    echo "stage-discs: discs staged in $drives" ;;
  cleanup)
    empty_slot "$drives/q"; empty_slot "$drives/r"; remove_copies ;;
  *) echo "usage: stage-discs.sh setup DRIVES DISCS | cleanup DRIVES" >&2; exit 2 ;;
esac
