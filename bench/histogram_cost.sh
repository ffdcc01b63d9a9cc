#!/usr/bin/env bash
# What --histogram adds to a batch run on one 4000 x 3000 picture: the same
# run (four BMP outputs) with and without the exact counts of all five
# images, alternately in one session. Prints the median wall time of each
# and the cost as a share of the run without them.
#
#   bench/histogram_cost.sh [path/to/prismview-batch] [runs, default 9] [mode, default hue-rotate]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
batch="${1:-$here/build/release/prismview-batch}"
runs="${2:-9}"
mode="${3:-hue-rotate}"
convert=$(command -v convert || command -v magick) || { echo "ImageMagick is not installed (scripts/setup)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Colour everywhere: hue across, lightness down, noise so every bin is used.
"$convert" -size 3000x4000 gradient:red-blue -rotate 90 \( -size 4000x3000 gradient:white-black \) \
  -compose Overlay -composite -attenuate 0.4 +noise gaussian -type TrueColor BMP3:"$work/in.bmp"

seconds() {  # wall time of a command, in seconds
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

: >"$work/plain.times"
: >"$work/counted.times"
for ((i = 0; i < runs; i++)); do
  seconds "$batch" --force --mode "$mode" "$work/in.bmp" "$work/out" >>"$work/plain.times"
  seconds "$batch" --force --mode "$mode" --histogram json "$work/in.bmp" "$work/out" >>"$work/counted.times"
done
p=$(median <"$work/plain.times")
c=$(median <"$work/counted.times")
printf 'prismview-batch --mode %s, 4000x3000 BMP in, four out: %.3f s (median of %d)\n' "$mode" "$p" "$runs"
printf 'the same with --histogram json: %.3f s (median of %d)\n' "$c" "$runs"
printf 'histogram_cost=%.0f%% (goal: at most 30%%)\n' "$(echo "($c - $p) * 100 / $p" | bc -l)"
