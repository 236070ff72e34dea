#!/usr/bin/env bash
# fullscreen_e2e.sh -- the real game on the layer with SDL12ON2_FULLSCREEN=1, in a real X server
# of each handheld screen size: the title must cover the whole screen as the native 320x240 title
# (tests/reference/e2e_title.png) enlarged by the largest whole scale, centred on black, every
# pixel an even block (scripts/scaled-screen-check.sh). Each size waits for that picture, looking
# again and again, and fails only when it has not come within the allowed time.
#
# Usage: fullscreen_e2e.sh PATH-OF-umbrafront PATH-OF-Data [WIDTHxHEIGHT:SCALE ...]
# Without sizes: 640x480:2 480x320:1 720x720:2 1280x720:3.
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 PATH-OF-umbrafront PATH-OF-Data [WIDTHxHEIGHT:SCALE ...]" >&2
  exit 2
fi
game=$(realpath "$1")
data=$(realpath "$2")
shift 2
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(640x480:2 480x320:1 720x720:2 1280x720:3)
here=$(cd "$(dirname "$0")" && pwd)
check=$here/../../scripts/scaled-screen-check.sh
reference=$here/../../tests/reference/e2e_title.png
for tool in Xvfb import; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done
# A cross build runs the binary through its emulator (UMBRA_EMULATOR, e.g. "qemu-arm -L <sysroot>").
read -r -a emulator <<<"${UMBRA_EMULATOR:-}"
patience=120  # seconds for the title to appear: many times what it takes on a loaded machine

work=$(mktemp -d /tmp/umbra-fullscreen-e2e-XXXXXX)
ln -s "$data" "$work/Data"
xvfb_pid=
game_pid=
stop() {
  # SDL turns SIGTERM into a close request, which the game ignores by design: kill it outright.
  [ -z "$game_pid" ] || { kill -KILL "$game_pid" 2>/dev/null || true; wait "$game_pid" 2>/dev/null || true; }
  [ -z "$xvfb_pid" ] || { kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; }
  game_pid=
  xvfb_pid=
}
finish() {
  local status=$?
  stop
  if [ $status -eq 0 ]; then
    rm -rf "$work"
  else
    echo "screens and logs kept in $work" >&2
  fi
}
trap finish EXIT

free_display() {
  local n
  for n in $(seq 191 290); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
      echo "$n"
      return 0
    fi
  done
  return 1
}

failures=0
for entry in "${sizes[@]}"; do
  [[ $entry =~ ^([0-9]+x[0-9]+):([1-9][0-9]*)$ ]] || { echo "FAIL: '$entry' is not WIDTHxHEIGHT:SCALE" >&2; exit 2; }
  size=${BASH_REMATCH[1]}
  scale=${BASH_REMATCH[2]}
  run=$work/$size
  mkdir -p "$run"
  ln -s "$data" "$run/Data"
  # Another run may take the same free display at the same moment: then try the next one.
  for attempt in 1 2 3 4 5; do
    display=$(free_display) || { echo "FAIL: no free X display number" >&2; exit 1; }
    Xvfb ":$display" -screen 0 "${size}x24" -nolisten tcp >"$run/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$display" ] && break
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -0 "$xvfb_pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$display" ] && break
    xvfb_pid=
    [ "$attempt" -lt 5 ] || { echo "FAIL: Xvfb does not start at $size" >&2; cat "$run/xvfb.log" >&2; exit 1; }
  done
  # The suite may run with SDL_VIDEODRIVER=dummy in its environment; this test needs the real window.
  (cd "$run" && DISPLAY=":$display" SDL12ON2_FULLSCREEN=1 SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy \
    exec "${emulator[@]}" "$game" >"$run/game.out" 2>&1) &
  game_pid=$!
  end=$((SECONDS + patience))
  verdict=
  while :; do
    if ! kill -0 "$game_pid" 2>/dev/null; then
      verdict="the game ended; its output: $(tr '\n' ' ' <"$run/game.out")"
      break
    fi
    # The root window: everything the screen shows, the game's window and anything around it.
    if DISPLAY=":$display" import -window root "png:$run/screen.png" 2>/dev/null; then
      if verdict=$("$check" "$run/screen.png" "$size" "$reference" "$scale"); then
        echo "ok: $size: ${verdict#ok: }"
        verdict=
        break
      fi
    else
      verdict="the screen cannot be captured"
    fi
    [ $SECONDS -lt $end ] || break
    sleep 0.2  # between two looks: leaves the CPU to the game
  done
  if [ -n "$verdict" ]; then
    echo "FAIL: $size after $patience s: $verdict; see $run/screen.png" >&2
    KEEP_EXPECTED=$run/expected.png "$check" "$run/screen.png" "$size" "$reference" "$scale" >/dev/null || true
    failures=$((failures + 1))
  fi
  stop
done

if [ $failures -gt 0 ]; then
  echo "FAIL: $failures of ${#sizes[@]} screen size(s)" >&2
  exit 1
fi
echo "the title filled all ${#sizes[@]} screen size(s) at whole scale"
