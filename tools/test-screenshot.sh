#!/usr/bin/env bash
# tools/test-screenshot.sh PROGRAM NAME
# Runs a test program of the win tree under Wine that says when what it
# shows is up (VSK_SHOT_READY) and waits for the picture (VSK_SHOT_DONE), and
# writes build/NAME.png of the display meanwhile:
#   menu        app_barmenu_test: the visible-windows list's popup menu, open;
#               VSK_SHOT_MENU=popMenuDoNotHideList (or another popup menu's
#               name) takes that menu instead, VSK_SHOT_MENU=right-to-left
#               the do-not-hide list's menu read right to left
#   dialog      app_xpmenu_test: the password prompt, painted flat; with
#               VSK_SHOT_DIALOG=mouse, setpassword or prompt, that dialog
#               (VSK_SHOT_DIALOG=mouse tools/test-screenshot.sh app_xpmenu_test dialog-mouse)
#   corner-dialog  app_mouse_test: the mouse-shortcut dialog
#   confirmation   app_display_test (VSK_SHOT_DIALOG=confirmation): the
#               display-mode confirmation
#   bars        painters_xpmenu_bars_test (GTEST_FILTER='XPBarsPicture.*'): a
#               tool bar and a control bar, painted flat
#   inputs      painters_xpmenu_inputs_test: the input controls painted flat
# Needs the win tree built.
set -u
cd "$(dirname "$0")/.."
[ $# -eq 2 ] || { echo "usage: tools/test-screenshot.sh PROGRAM NAME" >&2; exit 2; }
program="$1"; name="$2"
build="${VSK_BUILD:-$PWD/build/win}"
# The program tests of bin/, or a test program of one of the test folders.
exe="$build/bin/$program.exe"
[ -e "$exe" ] || exe="$(ls "$build"/tests/*/"$program.exe" 2>/dev/null | head -1)"
[ -n "$exe" ] || { echo "test-screenshot: no $program.exe in $build" >&2; exit 2; }
shots="$(mktemp -d)"
trap 'rm -rf "$shots"; cmake/wine-env.sh down "$build" >/dev/null 2>&1' EXIT
cmake/wine-env.sh up "$build" >/dev/null || exit 1
export DISPLAY="${DISPLAY:-$(cat "$build/xvfb.display")}"
(cd "$build/tests/app" &&
 VSK_SHOT_READY="Z:$shots/ready" VSK_SHOT_DONE="Z:$shots/done" \
   "$build/wine-run.sh" "$exe" >"$shots/log" 2>&1) &
runner=$!
for _ in $(seq 300); do
  [ -e "$shots/ready" ] && break
  kill -0 "$runner" 2>/dev/null || break
  sleep 0.1
done
if [ -e "$shots/ready" ]; then
  import -window root "build/$name.png" && echo "screenshot: build/$name.png"
else
  echo "test-screenshot: $program never said it was ready" >&2
fi
touch "$shots/done"
wait "$runner"
status=$?
tail -1 "$shots/log"
exit $status
