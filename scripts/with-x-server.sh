#!/usr/bin/env bash
# Runs a command under a private Xvfb server with the openbox window manager, for the window tests
# that need real frames, stacking and input; stops both afterwards. Exits with 77 (a skipped test)
# when either is not installed.
#   scripts/with-x-server.sh [--screen WIDTHxHEIGHT] command [arguments...]
# The screen is 1920x1200 unless given.
set -uo pipefail
screen=1920x1200
if [ "${1:-}" = "--screen" ]; then
  screen=${2:-}
  shift 2 || true
fi
if ! [[ "$screen" =~ ^[0-9]+x[0-9]+$ ]]; then
  echo "with-x-server.sh: the screen size must read WIDTHxHEIGHT, not \"$screen\""
  exit 2
fi
for tool in Xvfb openbox xprop xdpyinfo xdotool; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "skipped: $tool is not installed (scripts/install-deps.sh installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
xvfb=""
wm=""
stop() {
  [ -n "$wm" ] && kill "$wm" 2>/dev/null && wait "$wm" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap stop EXIT
trap 'exit 143' TERM INT

# Waits up to 20 s for a condition, checking every 50 ms.
await() {
  for _ in $(seq 400); do
    "$@" && return 0
    sleep 0.05
  done
  return 1
}

# Xvfb picks a free display and writes its number, then a line end, once it accepts connections;
# the number is read only when the whole line is there (":1" of ":12" is another test's server).
Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb=$!
line_written() { [ "$(wc -l <"$work/display")" -ge 1 ]; }
if ! await line_written; then
  echo "Xvfb did not start:" && cat "$work/xvfb.log"
  exit 1
fi
export DISPLAY=":$(head -n 1 "$work/display")"
# The display number can come before the server takes clients: openbox must find it taking them.
if ! await xdpyinfo >/dev/null 2>&1; then
  echo "Xvfb does not accept clients on $DISPLAY:" && cat "$work/xvfb.log"
  exit 1
fi

wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
# An openbox that could not open the display ends at once: it is started again, three times at most.
for attempt in 1 2 3; do
  openbox --sm-disable >"$work/wm.log" 2>&1 &
  wm=$!
  started() { wm_ready || ! kill -0 "$wm" 2>/dev/null; }
  await started
  wm_ready && break
  kill "$wm" 2>/dev/null; wait "$wm" 2>/dev/null; wm=""
  sleep 0.2
done
if ! wm_ready; then
  echo "openbox did not start:" && cat "$work/wm.log"
  exit 1
fi

QT_QPA_PLATFORM=xcb "$@"
