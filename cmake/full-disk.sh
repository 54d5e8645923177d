#!/bin/sh
# full-disk.sh up|down DIR
#   up:   mounts a file system of 64 KB at DIR, for the tests of a full disk
#         (mounting takes root; without it those tests say so and skip).
#   down: unmounts it.
dir="$2"
case "$1" in
up)
  mkdir -p "$dir"
  if mountpoint -q "$dir"; then umount "$dir" || exit 1; fi
  mount -t tmpfs -o size=64k,mode=0777 vsk-full-disk "$dir" 2>/dev/null ||
    echo "full-disk: no small file system at $dir: the tests of a full disk are skipped"
  ;;
down)
  if mountpoint -q "$dir"; then umount "$dir"; fi
  ;;
esac
exit 0
