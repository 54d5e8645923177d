#!/usr/bin/env bash
# Opens the main window's popup menu of the visible-windows list under Wine
# (the app_barmenu_test program) and writes build/menu-screenshot.png while
# the menu is open. Needs the win tree built.
set -u
cd "$(dirname "$0")/.."
build="${VSK_BUILD:-$PWD/build/win}"
shots="$(mktemp -d)"
trap 'rm -rf "$shots"; cmake/wine-env.sh down "$build" >/dev/null 2>&1' EXIT
cmake/wine-env.sh up "$build" >/dev/null || exit 1
export DISPLAY="${DISPLAY:-$(cat "$build/xvfb.display")}"
(cd "$build/tests/app" &&
 VSK_SHOT_READY="Z:$shots/ready" VSK_SHOT_DONE="Z:$shots/done" \
   "$build/wine-run.sh" "$build/bin/app_barmenu_test.exe" >"$shots/log" 2>&1) &
runner=$!
for _ in $(seq 300); do
  [ -e "$shots/ready" ] && break
  kill -0 "$runner" 2>/dev/null || break
  sleep 0.1
done
if [ -e "$shots/ready" ]; then
  import -window root build/menu-screenshot.png && echo "screenshot: build/menu-screenshot.png"
else
  echo "menu-screenshot: the menu never opened" >&2
fi
touch "$shots/done"
wait "$runner"
status=$?
tail -1 "$shots/log"
exit $status
