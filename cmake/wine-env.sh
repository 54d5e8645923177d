#!/usr/bin/env bash
# wine-env.sh up|restart|down BUILD_DIR
#   up:      make the build tree's Wine prefix once (reused afterwards), start
#            an Xvfb of its own when DISPLAY is unset, and keep one wineserver
#            running for the whole test run.
#   restart: a new wineserver on the same display, for what comes after a test
#            that leaves the server changed (a program ended by force in the
#            middle of a window hook call leaves its global hooks installed).
#   down:    stop the wineserver and the Xvfb that "up" started.
set -u
cmd="$1"; build="$2"
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
pidfile="$build/xvfb.pid"; dispfile="$build/xvfb.display"

stop_xvfb() {
  if [ -f "$pidfile" ]; then
    kill "$(cat "$pidfile")" 2>/dev/null
    rm -f "$pidfile" "$dispfile"
  fi
}

case "$cmd" in
up)
  stop_xvfb
  if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 90 140); do
      [ -e "/tmp/.X$n-lock" ] && continue
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      pid=$!
      for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        sleep 0.1
      done
      if kill -0 "$pid" 2>/dev/null; then
        echo "$pid" >"$pidfile"; echo ":$n" >"$dispfile"
        export DISPLAY=":$n"
        break
      fi
    done
    [ -n "${DISPLAY:-}" ] || { echo "wine-env: no Xvfb display could be started" >&2; exit 1; }
  fi
  # A brand-new prefix now and then fails to come up the first time.
  for try in 1 2 3; do
    [ -f "$WINEPREFIX/system.reg" ] && break
    wineboot -i >/dev/null 2>&1
    # The registry reaches the disk when the server ends.
    wineserver -w >/dev/null 2>&1
    [ -f "$WINEPREFIX/system.reg" ] && break
    rm -rf "$WINEPREFIX"
  done
  [ -f "$WINEPREFIX/system.reg" ] || { echo "wine-env: wineboot failed" >&2; exit 1; }
  if [ ! -f "$WINEPREFIX/.vsk-ready-3" ]; then
    # No window manager runs on the virtual display: Wine draws the captions
    # and frames itself, as Windows would.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
    # Nor does it wait for one to confirm that a window was hidden (2 s each).
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    # A crashing test program ends at once instead of waiting in the
    # debugger with the test's output still open.
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d false /f >/dev/null 2>&1
    touch "$WINEPREFIX/.vsk-ready-3"
  fi
  wineserver -p >/dev/null 2>&1
  wineboot >/dev/null 2>&1
  exit 0
  ;;
restart)
  [ -z "${DISPLAY:-}" ] && [ -f "$dispfile" ] && export DISPLAY="$(cat "$dispfile")"
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  wineserver -p >/dev/null 2>&1
  wineboot >/dev/null 2>&1
  exit 0
  ;;
down)
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  stop_xvfb
  exit 0
  ;;
*)
  echo "usage: wine-env.sh up|restart|down BUILD_DIR" >&2; exit 2;;
esac
