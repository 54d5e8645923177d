#!/usr/bin/env bash
# Opens the main window's password prompt, painted flat, under Wine
# (the app_xpmenu_test program) and writes build/dialog-screenshot.png while it is
# shown. Needs the win tree built.
set -u
cd "$(dirname "$0")/.."
build="${VSK_BUILD:-$PWD/build/win}"
shots="$(mktemp -d)"
trap 'rm -rf "$shots"; cmake/wine-env.sh down "$build" >/dev/null 2>&1' EXIT
cmake/wine-env.sh up "$build" >/dev/null || exit 1
export DISPLAY="${DISPLAY:-$(cat "$build/xvfb.display")}"
(cd "$build/tests/app" &&
 VSK_SHOT_READY="Z:$shots/ready" VSK_SHOT_DONE="Z:$shots/done" \
   "$build/wine-run.sh" "$build/bin/app_xpmenu_test.exe" >"$shots/log" 2>&1) &
runner=$!
for _ in $(seq 300); do
  [ -e "$shots/ready" ] && break
  kill -0 "$runner" 2>/dev/null || break
  sleep 0.1
done
if [ -e "$shots/ready" ]; then
  import -window root build/dialog-screenshot.png && echo "screenshot: build/dialog-screenshot.png"
else
  echo "dialog-screenshot: the dialog never showed" >&2
fi
touch "$shots/done"
wait "$runner"
status=$?
tail -1 "$shots/log"
exit $status
