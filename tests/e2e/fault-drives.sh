#!/usr/bin/env bash
# Two small hard disks for the full-disk tests, on the host side.
#   fault-drives.sh setup DRIVES PREFIX DISCS   mounts a tmpfs at DRIVES/t and at DRIVES/u and links the
#                                               prefix's T: and U: to them
#   fault-drives.sh cleanup DRIVES PREFIX       unlinks and unmounts them again
# T: is too small for the full install list, so the install fails in the product's own files;
# U: holds the list and half of the titles, so it fills up while the titles are copied. Both sizes
# follow from the sample discs in DISCS. DRIVES/fault-drives.txt tells the tests what was made:
# one line "T: <KiB>" or "U: <KiB>" per drive, or a single line "skip: <reason>" when this host
# cannot mount (not root, no tmpfs); the tests then skip with that reason instead of failing.
set -euo pipefail
cmd=$1; drives=$2; prefix=$3
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
status=$drives/fault-drives.txt
letters=(t u)

unmount_all() {
  for letter in "${letters[@]}"; do
    rm -f "$prefix/dosdevices/$letter:"
    if mountpoint -q "$drives/$letter" 2>/dev/null; then umount "$drives/$letter"; fi
    if [ -d "$drives/$letter" ]; then rmdir "$drives/$letter" 2>/dev/null || true; fi
  done
  rm -f "$status"
}

# KiB that a file takes on tmpfs: its size rounded up to whole 4 KiB pages.
kib() { local bytes; bytes=$(stat -c %s "$1"); echo $(( (bytes + 4095) / 4096 * 4 )); }

# The files of the full install list (the sample list's section after 【ファイル】), on whichever
# disc holds each of them.
main_list_kib() {
  local total=0 entry path
  while IFS= read -r entry; do
    entry=${entry%$'\r'}
    case "$entry" in CDCHANGE*|'') continue ;; esac
    path=${entry//\\//}
    if [ -f "$discs/disc1/$path" ]; then total=$((total + $(kib "$discs/disc1/$path")))
    elif [ -f "$discs/disc2/$path" ]; then total=$((total + $(kib "$discs/disc2/$path")))
    else echo "fault-drives: $path of the install list is on no sample disc" >&2; return 1; fi
  done < <(sed -n '/^【ファイル】/,/^【アーカイブ】/{/^【/d;p}' "$here/../../samples/lists/instdata_f.txt")
  echo "$total"
}

# The titles' files: the source folders that the title lists name (【コピー元フォルダ】), on both discs.
titles_kib() {
  local total=0 folder file
  while IFS= read -r folder; do
    folder=${folder%$'\r'}; folder=${folder%\\}
    for disc in disc1 disc2; do
      [ -d "$discs/$disc/$folder" ] || continue
      while IFS= read -r -d '' file; do total=$((total + $(kib "$file"))); done \
        < <(find "$discs/$disc/$folder" -type f -print0)
    done
  done < <(sed -n '/^【コピー元フォルダ】/{n;p}' "$here"/../../samples/lists/inst_*.txt | sort -u)
  echo "$total"
}

skip() { echo "skip: $1" > "$status"; echo "fault-drives: $1; the full-disk tests will skip"; exit 0; }

mkdir -p "$drives"
case "$cmd" in
  setup)
    discs=$4
    unmount_all
    [ "$(id -u)" = 0 ] || skip "mounting a small drive needs root"
    grep -qw tmpfs /proc/filesystems || skip "this kernel has no tmpfs"
    main=$(main_list_kib); titles=$(titles_kib)
    [ "$main" -gt 0 ] && [ "$titles" -gt 0 ] || { echo "fault-drives: no sample discs in $discs" >&2; exit 1; }
    sizes=("$(( main / 2 / 4 * 4 ))" "$(( (main + titles / 2) / 4 * 4 ))")
    : > "$status.new"
    for i in 0 1; do
      letter=${letters[$i]}
      mkdir -p "$drives/$letter"
      if ! mount -t tmpfs -o "size=${sizes[$i]}k,mode=0777" vga-fault-$letter "$drives/$letter" 2>"$drives/mount.err"; then
        reason=$(head -c 200 "$drives/mount.err" | tr '\n' ' ')
        rm -f "$drives/mount.err" "$status.new"; unmount_all
        skip "cannot mount a tmpfs here: $reason"
      fi
      ln -sfn "$drives/$letter" "$prefix/dosdevices/$letter:"
      echo "${letter^^}: ${sizes[$i]}" >> "$status.new"
    done
    rm -f "$drives/mount.err"
    mv "$status.new" "$status"
    echo "fault-drives: T: ${sizes[0]} KiB, U: ${sizes[1]} KiB (install list $main KiB, titles $titles KiB)" ;;
  cleanup)
    unmount_all ;;
  *) echo "usage: fault-drives.sh setup DRIVES PREFIX DISCS | cleanup DRIVES PREFIX" >&2; exit 2 ;;
esac
