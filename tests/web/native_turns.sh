#!/usr/bin/env bash
# native_turns.sh -- the native game's computer turns, timed from its window: a computer-vs-computer
# battle in a real X window (Xvfb), its turn banners and victory box found by comparing the box's
# frame with the native reference, for the browser's figures to be set against. Optionally keeps
# the victory box as a picture (the browser tests' reference for it).
#
# Usage: tests/web/native_turns.sh PATH-OF-umbrafront PATH-OF-Data [VICTORY-BOX-PNG]
# Prints: turns N, battle S s, per turn S s
set -euo pipefail

[ $# -ge 2 ] && [ $# -le 3 ] || { echo "usage: $0 PATH-OF-umbrafront PATH-OF-Data [VICTORY-BOX-PNG]" >&2; exit 2; }
game=$(realpath "$1")
data=$(realpath "$2")
keep=${3:+$(realpath -m "$3")}
refs=$(cd "$(dirname "$0")/../reference" && pwd)
for tool in Xvfb xdotool xdpyinfo import convert compare; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/umbra-native-turns-XXXXXX)
ln -s "$data" "$work/Data"
xvfb_pid=
game_pid=
finish() {
  local status=$?
  [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  if [ $status -eq 0 ]; then rm -rf "$work"; else echo "screens kept in $work" >&2; fi
}
trap finish EXIT

for attempt in 1 2 3 4 5; do
  display=
  for n in $(seq 100 199); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=$n; break; fi
  done
  [ -n "$display" ] || { echo "FAIL: no free X display" >&2; exit 1; }
  Xvfb ":$display" -screen 0 320x240x16 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$xvfb_pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$display" ] && break
  xvfb_pid=
  [ $attempt -lt 5 ] || { echo "FAIL: Xvfb does not start" >&2; exit 1; }
done
export DISPLAY=":$display"
visual=$(xdpyinfo | sed -n 's/^ *default visual id: *//p' | head -1)

cd "$work"
SDL_VIDEO_X11_VISUALID=$visual SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$game" >"$work/game.out" 2>&1 &
game_pid=$!
win=$(timeout 20 xdotool search --sync --name '^Umbrafront$' | head -1) || true
[ -n "$win" ] || { echo "FAIL: no Umbrafront window" >&2; exit 1; }

# The box's frame and the blank rows above its first line: the same in every box.
convert "$refs/e2e_banner_dark.png" -crop 161x17+0+0 +repage \
  -channel R,B -evaluate And 63488 -channel G -evaluate And 64512 +channel png24:"$work/box_top.png"

shot() { import -window "$win" "png:$work/shot.png" 2>/dev/null; }
# Pixels of the window's part GEOMETRY that differ from reference picture REF (16-bit bits only).
differ() {  # differ REF GEOMETRY
  convert "$work/shot.png" -crop "$2" +repage -channel R,B -evaluate And 63488 -channel G \
    -evaluate And 64512 +channel png24:"$work/part.png"
  compare -metric AE "$work/part.png" "$1" null: 2>&1 || true
}
# The reference NAME with only the bits a 16-bit screen holds.
wanted() {  # wanted NAME -> path
  convert "$refs/$1.png" -channel R,B -evaluate And 63488 -channel G -evaluate And 64512 +channel \
    png24:"$work/$1.png"
  echo "$work/$1.png"
}
# Holds KEY down until the window shows reference NAME (whole screen), so no press is lost.
hold_until() {  # hold_until KEY NAME SECONDS
  local end=$((SECONDS + $3)) want
  want=$(wanted "$2")
  xdotool keydown --window "$win" "$1" 2>/dev/null
  until shot && [ "$(differ "$want" 320x240+0+0)" = 0 ]; do
    [ $SECONDS -lt $end ] || { xdotool keyup --window "$win" "$1" 2>/dev/null; echo "FAIL: no $2 after $1" >&2; exit 1; }
  done
  xdotool keyup --window "$win" "$1" 2>/dev/null
}

title=$(wanted e2e_title)
until shot && [ "$(differ "$title" 320x240+0+0)" = 0 ]; do
  [ $SECONDS -lt 30 ] || { echo "FAIL: no title screen" >&2; exit 1; }
done
hold_until x e2e_option1 10
hold_until x e2e_option2 10
hold_until x e2e_option3 10
xdotool keydown --window "$win" z 2>/dev/null

# Banner edges and the victory: a box that stays three seconds is the victory box.
banners=0
first=
shown_since=
limit=$((SECONDS + 1800))
while :; do
  [ $SECONDS -lt $limit ] || { echo "FAIL: no victory within 30 minutes" >&2; exit 1; }
  shot || continue
  now=$(date +%s.%N)
  if [ "$(differ "$work/box_top.png" 161x17+80+80)" = 0 ]; then
    if [ -z "$shown_since" ]; then
      shown_since=$now
      banners=$((banners + 1))
      [ -n "$first" ] || { first=$now; xdotool keyup --window "$win" z 2>/dev/null; }
    elif awk -v a="$shown_since" -v b="$now" 'BEGIN { exit !(b - a > 3) }'; then
      break
    fi
  else
    shown_since=
  fi
done
turns=$((banners - 1))  # the last box is the victory's
[ $turns -ge 1 ] || { echo "FAIL: a victory without a turn" >&2; exit 1; }
if [ -n "$keep" ]; then
  convert "$work/shot.png" -crop 161x81+80+80 +repage png24:"$keep"
  echo "victory box kept in $keep"
fi
awk -v n="$turns" -v a="$first" -v b="$shown_since" \
  'BEGIN { printf "turns %d, battle %.1f s, per turn %.2f s\n", n, b - a, (b - a) / n }'
