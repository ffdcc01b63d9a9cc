#!/usr/bin/env bash
# Starts the real prismview on a virtual X display in a folder with a
# start.bmp, checks from screenshots that the five tiles stand where the
# gallery puts them and that hovering frames a tile, then ends the program
# through its File menu and expects exit status 0. With "named-png", the
# picture is a PNG file named on the command line instead, started in a
# folder without start.bmp.
#   end_to_end_test.sh PRISMVIEW PRISMVIEW_BATCH SCREEN_CHECK START_BMP [named-png]
set -uo pipefail

if [ "${1:-}" = "--on-display" ]; then
  shift
  prismview=$1 check=$2 work=$3 mode=${4:-}
  unset QT_QPA_PLATFORM  # the real X display, whatever the test environment says
  refs=("$work/start.bmp" "$work/ref_1.bmp" "$work/ref_2.bmp" "$work/ref_3.bmp" "$work/ref_4.bmp")
  log=$work/prismview.log

  if [ "$mode" = named-png ]; then
    mkdir -p "$work/elsewhere"
    (cd "$work/elsewhere" && exec "$prismview" "$work/photo.png") >"$log" 2>&1 &
  else
    (cd "$work" && exec "$prismview") >"$log" 2>&1 &
  fi
  pid=$!
  fail() {
    echo "end-to-end: $*" >&2
    kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
    echo "--- prismview output:" >&2; cat "$log" >&2
    exit 1
  }
  xdotool mousemove 1279 1023  # away from every tile

  # Waits until the screen shows the gallery (with tile $1 hovered, if given).
  wait_for_gallery() {
    for _ in $(seq 1 60); do
      kill -0 "$pid" 2>/dev/null || fail "prismview ended early"
      if import -window root "$work/shot.png" 2>/dev/null &&
         position=$("$check" "$work/shot.png" "${refs[@]}" "$@" 2>"$work/check.log"); then
        return 0
      fi
      sleep 1
    done
    cat "$work/check.log" >&2
    fail "the screen never showed the expected gallery"
  }

  wait_for_gallery
  read -r left top <<<"$position"
  echo "end-to-end: five tiles in two columns at $left,$top"

  width=$(identify -format '%w' "$work/start.bmp") height=$(identify -format '%h' "$work/start.bmp")
  xdotool mousemove $((left + width + 10)) $((top + 10))
  wait_for_gallery 1 10 10
  echo "end-to-end: tile 1 framed under the pointer, the probe marked on the four that show pictures"

  # Open the File menu (the first title of the menu bar just above the
  # gallery) and choose 終了 by its mnemonic.
  for _ in 1 2 3; do
    xdotool mousemove $((left + 15)) $((top - 10)) click 1
    sleep 1
    xdotool key x
    for _ in $(seq 1 20); do
      kill -0 "$pid" 2>/dev/null || break 2
      sleep 0.5
    done
    xdotool key Escape
  done
  if kill -0 "$pid" 2>/dev/null; then fail "the File menu's exit item did not end the program"; fi
  wait "$pid"
  status=$?
  [ "$status" -eq 0 ] || fail "exit status $status, expected 0"
  echo "end-to-end: ended through the File menu with exit status 0"
  exit 0
fi

prismview=$1 batch=$2 check=$3 start=$4 mode=${5:-}
for tool in Xvfb xdotool import identify; do
  command -v "$tool" >/dev/null || { echo "end-to-end: $tool is missing (scripts/setup installs it)" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$start" "$work/start.bmp"
"$batch" --force "$work/start.bmp" "$work/ref_" >/dev/null || { echo "end-to-end: the batch run failed" >&2; exit 1; }
if [ "$mode" = named-png ]; then
  convert "$work/start.bmp" "$work/photo.png" || { echo "end-to-end: no PNG made" >&2; exit 1; }
fi

# A server of our own; -displayfd lets it pick a free display number itself,
# so parallel runs never race for one.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 1 100); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb" 2>/dev/null || { echo "end-to-end: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
  sleep 0.2
done
[ -s "$work/display" ] || { echo "end-to-end: Xvfb gave no display number" >&2; exit 1; }
DISPLAY=":$(head -n1 "$work/display")" timeout 300 bash "$0" --on-display "$prismview" "$check" "$work" "$mode"
