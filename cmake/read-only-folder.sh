#!/bin/sh
# read-only-folder.sh up SRC DIR | down DIR
#   up:   shows the folder SRC again at DIR, read-only (a bind mount: mounting
#         takes root; without it DIR stays empty and the tests that use it
#         say so).
#   down: unmounts it.
case "$1" in
up)
  src="$2" dir="$3"
  mkdir -p "$dir"
  if mountpoint -q "$dir"; then umount "$dir" || exit 1; fi
  { mount --bind "$src" "$dir" && mount -o remount,bind,ro "$dir"; } 2>/dev/null ||
    { mountpoint -q "$dir" && umount "$dir"; echo "read-only-folder: no read-only copy of $src at $dir"; }
  ;;
down)
  dir="$2"
  if mountpoint -q "$dir"; then umount "$dir"; fi
  ;;
esac
exit 0
