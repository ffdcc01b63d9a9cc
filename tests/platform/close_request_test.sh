#!/usr/bin/env bash
# The window manager's close request (what the close box and Alt+F4 send;
# here `wmctrl -c`) ends the real program with exit status 0 whatever it is
# doing: idle, during a pass, over a modal dialog, during a sweep export
# (which leaves nothing) and during a save (written first, complete). Runs
# under Xvfb with openbox and prints how long each close took.
#   close_request_test.sh PRISMVIEW
set -uo pipefail

if [ "${1:-}" = "--on-display" ]; then
  prismview=$2 work=$3
  unset QT_QPA_PLATFORM
  openbox --sm-disable >"$work/openbox.log" 2>&1 &
  for _ in $(seq 1 50); do wmctrl -m >/dev/null 2>&1 && break; sleep 0.1; done
  fail() { echo "close-request: $*" >&2; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null; cat "$work/prismview.log" >&2; exit 1; }

  start() {
    (cd "$work" && exec "$prismview" big.png) >"$work/prismview.log" 2>&1 &
    pid=$!
    window=
    for _ in $(seq 1 100); do
      window=$(xdotool search --pid "$pid" --name 'プリズムビュー' 2>/dev/null | head -n1)
      [ -n "$window" ] && break
      sleep 0.1
    done
    [ -n "$window" ] || fail "no window"
    xdotool windowactivate --sync "$window" 2>/dev/null
    sleep 1.5  # the start pass
  }
  # Waits for a second window of the program (a dialog) to show.
  wait_for_dialog() {
    for _ in $(seq 1 100); do
      [ "$(xdotool search --pid "$pid" --onlyvisible --name '.' 2>/dev/null | wc -l)" -ge 2 ] && return 0
      sleep 0.05
    done
    fail "no dialog showed for $1"
  }
  # Sends the close request and waits for the program to end.
  close_and_time() {
    local before after status
    before=$(date +%s%N)
    wmctrl -i -c "$window"
    for _ in $(seq 1 2000); do kill -0 "$pid" 2>/dev/null || break; sleep 0.005; done
    after=$(date +%s%N)
    kill -0 "$pid" 2>/dev/null && fail "$1: still running 10 s after the close request"
    wait "$pid"; status=$?
    [ "$status" -eq 0 ] || fail "$1: exit status $status"
    echo "close-request: $1: ended $(( (after - before) / 1000000 )) ms after the request, status 0"
  }

  start; close_and_time "idle"

  start; xdotool key Right; close_and_time "during a pass"

  start; xdotool key alt+slash; wait_for_dialog "the about box"; close_and_time "over the about box"

  start; xdotool key alt+f; sleep 0.3; xdotool key w; wait_for_dialog "the sweep dialog"; sleep 0.3
  xdotool key Return; sleep 1; xdotool type --delay 20 "sweep.webp"; xdotool key Return; sleep 0.8
  close_and_time "during a sweep export"
  [ -e "$work/sweep.webp" ] && fail "the cancelled sweep left sweep.webp"

  start; xdotool key s; sleep 0.5; xdotool key alt+f; sleep 0.3; xdotool key s; wait_for_dialog "the save dialog"
  sleep 0.5; xdotool type --delay 20 "saved.png"; xdotool key Return; sleep 0.05
  close_and_time "during a save"
  identify "$work/saved.png" >/dev/null 2>&1 || fail "the save in progress was not finished"
  echo "close-request: the save in progress was written whole: $(identify -format '%w x %h' "$work/saved.png")"
  exit 0
fi

prismview=$1
for tool in Xvfb openbox wmctrl xdotool convert identify; do
  command -v "$tool" >/dev/null || { echo "close-request: $tool is missing (scripts/setup installs it)" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert -size 2400x1600 xc: +noise Random "$work/big.png" || { echo "close-request: no picture made" >&2; exit 1; }
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 1 100); do
  [ -s "$work/display" ] && break
  sleep 0.2
done
[ -s "$work/display" ] || { echo "close-request: Xvfb gave no display number" >&2; exit 1; }
DISPLAY=":$(head -n1 "$work/display")" timeout 300 bash "$0" --on-display "$prismview" "$work"
