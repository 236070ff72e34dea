#!/usr/bin/env bash
# Checks that a screenshot of a whole display shows a picture crisply at whole scale: the reference
# (the game's native 320x240 screen) enlarged by the largest whole factor that fits the display,
# every pixel an even square block, centred (halves rounded towards the top-left) on black. Colours
# are compared as a 16-bit (5-6-5) screen holds them, so a screenshot of a 16- or 24-bit display
# and a reference saved from the game's own screen compare exactly.
#
# Usage: scripts/scaled-screen-check.sh SCREENSHOT WIDTHxHEIGHT REFERENCE [SCALE]
#   SCREENSHOT  an image of the whole display (e.g. import -window root shot.png)
#   WIDTHxHEIGHT the display's size; the screenshot must have it
#   REFERENCE   the picture as the game draws it, e.g. tests/reference/e2e_title.png
#   SCALE       the scale the display must give (checked against the one worked out)
# Prints one line: "ok: ..." (exit 0), or what differs (exit 1); exit 2 on wrong use.
# With KEEP_EXPECTED=FILE the expected display is also written there.
set -euo pipefail

usage() {
  echo "usage: $0 SCREENSHOT WIDTHxHEIGHT REFERENCE [SCALE]" >&2
  exit 2
}
[ $# -eq 3 ] || [ $# -eq 4 ] || usage
shot=$1
size=$2
reference=$3
want_scale=${4:-}
[[ $size =~ ^([0-9]+)x([0-9]+)$ ]] || { echo "the size '$size' is not WIDTHxHEIGHT" >&2; usage; }
display_w=${BASH_REMATCH[1]}
display_h=${BASH_REMATCH[2]}
[ -z "$want_scale" ] || [[ $want_scale =~ ^[1-9][0-9]*$ ]] || { echo "the scale '$want_scale' is not a whole number" >&2; usage; }
for file in "$shot" "$reference"; do
  [ -r "$file" ] || { echo "cannot read $file" >&2; exit 2; }
done
for tool in convert compare identify; do
  command -v "$tool" >/dev/null || { echo "$tool (ImageMagick) is missing: scripts/install-deps.sh" >&2; exit 2; }
done

read -r w h < <(identify -format '%w %h\n' "$reference" | head -1)
read -r shot_w shot_h < <(identify -format '%w %h\n' "$shot" | head -1)
if [ "$shot_w" != "$display_w" ] || [ "$shot_h" != "$display_h" ]; then
  echo "differ: the screenshot is ${shot_w}x${shot_h}, not the display's ${display_w}x${display_h}"
  exit 1
fi

scale=$((display_w / w < display_h / h ? display_w / w : display_h / h))
[ "$scale" -ge 1 ] || scale=1
if [ -n "$want_scale" ] && [ "$scale" != "$want_scale" ]; then
  echo "differ: a ${display_w}x${display_h} display fits scale $scale, not the $want_scale expected"
  exit 1
fi
# Where the enlarged picture's top-left falls; bash's division truncates towards zero, as C's does.
x=$(((display_w - w * scale) / 2))
y=$(((display_h - h * scale) / 2))

work=$(mktemp -d /tmp/umbra-scaled-check-XXXXXX)
trap 'rm -rf "$work"' EXIT
to_16bit=(-alpha off -channel "R,B" -evaluate And 63488 -channel G -evaluate And 64512 +channel)
# -extent's offset is where the extent starts on the picture: the negative of the picture's place.
offset=$(printf '%+d%+d' $((-x)) $((-y)))
place=$(printf '%+d%+d' "$x" "$y")
if ! convert "$reference" "${to_16bit[@]}" -sample "$((w * scale))x$((h * scale))!" \
    -background black -extent "${display_w}x${display_h}${offset}" "png24:$work/expected.png" ||
  ! convert "$shot" "${to_16bit[@]}" "png24:$work/shot.png"; then
  echo "ImageMagick could not prepare the images" >&2
  exit 2
fi
[ -z "${KEEP_EXPECTED:-}" ] || cp "$work/expected.png" "$KEEP_EXPECTED"
differing=$(compare -metric AE "$work/shot.png" "$work/expected.png" null: 2>&1 || true)
if [ "$differing" = 0 ]; then
  echo "ok: $(basename "$shot") is $(basename "$reference") at scale $scale, at $place on black"
  exit 0
fi
echo "differ: $differing pixels of $(basename "$shot") are not $(basename "$reference") at scale $scale, at $place on black"
exit 1
