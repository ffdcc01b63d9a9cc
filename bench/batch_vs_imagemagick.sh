#!/usr/bin/env bash
# The batch tool against ImageMagick on one 4000 x 3000 picture, run
# alternately in one session: prismview-batch writing its four pictures
# against ImageMagick writing one, both reading and writing BMP (the default;
# `convert in -negate out`) or JPEG (quality 95 on both sides; `convert in
# -modulate 100,100,40 out`, a saturation change, beside mode 10). Prints the
# median wall time of each and their ratio.
#
#   bench/batch_vs_imagemagick.sh [path/to/prismview-batch] [runs, default 7] [mode, default 0] [bmp|jpg]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
batch="${1:-$here/build/release/prismview-batch}"
runs="${2:-7}"
mode="${3:-0}"
format="${4:-bmp}"
case $format in
  bmp) magick_out=BMP3: magick_op=(-negate) goal=1.5 ;;
  jpg) magick_out="" magick_op=(-modulate 100,100,40) goal=0.6 ;;
  *) echo "format: bmp or jpg" >&2; exit 2 ;;
esac
convert=$(command -v convert || command -v magick) || { echo "ImageMagick is not installed (scripts/setup)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A picture with colour everywhere: hue across, lightness down.
"$convert" -size 3000x4000 gradient:red-blue -rotate 90 \( -size 4000x3000 gradient:white-black \) \
  -compose Overlay -composite -type TrueColor BMP3:"$work/in.bmp"
[ "$format" = bmp ] || "$convert" "$work/in.bmp" -quality 95 "$work/in.$format"

seconds() {  # wall time of a command, in seconds
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

: >"$work/batch.times"
: >"$work/magick.times"
for ((i = 0; i < runs; i++)); do
  seconds "$batch" --force --mode "$mode" --format "$format" "$work/in.$format" "$work/out" >>"$work/batch.times"
  seconds "$convert" "$work/in.$format" "${magick_op[@]}" -quality 95 "$magick_out$work/magick.$format" >>"$work/magick.times"
done
b=$(median <"$work/batch.times")
m=$(median <"$work/magick.times")
printf 'prismview-batch, mode %s, %s in, four out: %.3f s (median of %d)\n' "$mode" "$format" "$b" "$runs"
printf 'ImageMagick %s, %s in, one out: %.3f s (median of %d)\n' "${magick_op[*]}" "$format" "$m" "$runs"
printf 'ratio: %.2f (goal: at most %s)\n' "$(echo "$b / $m" | bc -l)" "$goal"
