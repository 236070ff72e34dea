#!/usr/bin/env bash
# Measures how much CPU the game uses while it waits for a player, under Xvfb: on the title screen,
# and in a person's turn (Person vs Person started from the title, the cursor left alone). Each
# build runs in a fresh X server of 320x240 at 16 bits and a fresh working directory; the script
# waits for each screen by its pixels (tests/reference), then counts the game's CPU time (user +
# system, every thread, from /proc/PID/stat) and the X server's over a span of wall time.
#
# Usage: scripts/cpu-use.sh [-s SECONDS] DATA-DIR LABEL=BINARY[@PRELOAD] ...
#   -s SECONDS  the span of each measurement (default 10)
#   DATA-DIR    the Data folder the binaries load (e.g. build-layer/Data)
#   LABEL=BINARY[@PRELOAD]  a build to measure, e.g. classic=build/umbrafront,
#               compat=build-compat/umbrafront@build-compat/sdl12-compat/root/.../libSDL-1.2.so.0
#               (the library is preloaded), layer=build-layer/umbrafront
# Prints a table in percent of one core: the game's CPU use, its demand (use plus time spent ready
# to run but waiting for a core, which a loaded machine would otherwise hide), and the X server's use.
set -euo pipefail

usage() {
  echo "usage: $0 [-s SECONDS] DATA-DIR LABEL=BINARY[@PRELOAD] ..." >&2
  exit 2
}
span=10
while getopts "s:h" option; do
  case $option in
    s) span=$OPTARG ;;
    *) usage ;;
  esac
done
shift $((OPTIND - 1))
[ $# -ge 2 ] || usage
[[ $span =~ ^[1-9][0-9]*$ ]] || { echo "the span '$span' is not a whole number of seconds" >&2; usage; }
data=$(realpath "$1") || { echo "no Data folder $1" >&2; exit 2; }
shift
[ -r "$data/title.png" ] || { echo "$data holds no title.png: not a Data folder" >&2; exit 2; }
for build in "$@"; do
  [[ $build == *=* ]] || { echo "'$build' is not LABEL=BINARY[@PRELOAD]" >&2; usage; }
  binary=${build#*=}
  binary=${binary%%@*}
  [ -x "$binary" ] || { echo "$binary (in '$build') is not an executable" >&2; exit 2; }
  if [[ $build == *@* ]]; then
    [ -r "${build#*@}" ] || { echo "cannot read the library to preload, ${build#*@}" >&2; exit 2; }
  fi
done
for tool in Xvfb xdotool xdpyinfo import convert compare; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: scripts/install-deps.sh" >&2; exit 1; }
done

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck disable=SC2034  # read by screens.sh
refs=$here/../tests/reference
# shellcheck disable=SC2034
update=0
# shellcheck source=SCRIPTDIR/../tests/e2e/play/screens.sh
source "$here/../tests/e2e/play/screens.sh"
hz=$(getconf CLK_TCK)
patience=60
work=$(mktemp -d /tmp/umbra-cpu-use-XXXXXX)
xvfb_pid=
game_pid=
stop_run() {
  # SDL turns SIGTERM into a close request, which the game ignores by design: kill it outright.
  [ -z "$game_pid" ] || { kill -KILL "$game_pid" 2>/dev/null || true; wait "$game_pid" 2>/dev/null || true; }
  [ -z "$xvfb_pid" ] || { kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; }
  game_pid=
  xvfb_pid=
}
finish() {
  local status=$?
  stop_run
  if [ $status -eq 0 ]; then
    rm -rf "$work"
  else
    echo "screens and logs kept in $work" >&2
  fi
}
trap finish EXIT

# User + system clock ticks of a whole process, every thread (fields 14 and 15 of its stat,
# counted from after the name, which may hold spaces).
process_ticks() {
  local stat fields
  stat=$(cat "/proc/$1/stat") || { echo "process $1 is gone" >&2; return 1; }
  read -r -a fields <<<"${stat##*) }"
  echo $((fields[11] + fields[12]))
}

# Nanoseconds the process's threads have run and have waited, runnable, for a core (the first two
# fields of each thread's schedstat): "RUN WAIT".
process_schedstat() {
  local task run wait rest total_run=0 total_wait=0
  for task in /proc/"$1"/task/*/schedstat; do
    read -r run wait rest <"$task" 2>/dev/null || continue
    total_run=$((total_run + run))
    total_wait=$((total_wait + wait))
  done
  echo "$total_run $total_wait"
}

# Over the span, in percent of one core: "GAME-USE GAME-DEMAND XSERVER-USE". The use is the CPU
# time the game got; on a busy machine a program that never rests gets only a share of a core,
# so the demand adds the time it stood ready to run but waited for one.
measure() {
  local game_start x_start game_end x_end run_start wait_start run_end wait_end
  game_start=$(process_ticks "$game_pid")
  x_start=$(process_ticks "$xvfb_pid")
  read -r run_start wait_start < <(process_schedstat "$game_pid")
  sleep "$span"  # the measuring span itself
  game_end=$(process_ticks "$game_pid")
  x_end=$(process_ticks "$xvfb_pid")
  read -r run_end wait_end < <(process_schedstat "$game_pid")
  awk -v g=$((game_end - game_start)) -v x=$((x_end - x_start)) -v hz="$hz" -v s="$span" \
    -v d=$((run_end - run_start + wait_end - wait_start)) \
    'BEGIN { printf "%.1f %.1f %.1f\n", 100 * g / hz / s, 100 * d / 1e9 / s, 100 * x / hz / s }'
}

start_game() {  # start_game LABEL BINARY PRELOAD
  local attempt with_library=()
  [ -z "$3" ] || with_library=(env "LD_PRELOAD=$(realpath "$3")")
  for attempt in 1 2 3 4 5; do
    display=$(free_display)
    Xvfb ":$display" -screen 0 320x240x16 -nolisten tcp -r >"$run/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$display" ] && break
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -0 "$xvfb_pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$display" ] && break
    xvfb_pid=
    [ "$attempt" -lt 5 ] || { echo "Xvfb does not start" >&2; cat "$run/xvfb.log" >&2; return 1; }
  done
  export DISPLAY=":$display"
  # The TrueColor default visual, as tests/e2e/play_e2e.sh explains (SDL2 would take DirectColor).
  visual=$(xdpyinfo | sed -n 's/^ *default visual id: *//p' | head -1)
  [ -n "$visual" ] || { echo "xdpyinfo names no default visual" >&2; return 1; }
  (cd "$run" && SDL_VIDEO_X11_VISUALID=$visual SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy \
    exec "${with_library[@]}" "$2" >"$run/game.out" 2>&1) &
  game_pid=$!
  win=$(timeout 120 xdotool search --sync --name '^Umbrafront$' | head -1) || true
  [ -n "$win" ] || { echo "$1: no Umbrafront window" >&2; return 1; }
  timeout 60 xdotool windowfocus --sync "$win" || { echo "$1: cannot focus the game's window" >&2; return 1; }
}

rows=()
for build in "$@"; do
  label=${build%%=*}
  binary=${build#*=}
  preload=
  if [[ $binary == *@* ]]; then
    preload=${binary#*@}
    binary=${binary%%@*}
  fi
  run=$work/$label
  shots=$run/screens
  mkdir -p "$shots"
  ln -s "$data" "$run/Data"
  echo "== $label: $binary${preload:+ with $preload preloaded}" >&2
  start_game "$label" "$(realpath "$binary")" "$preload"
  expect_screen e2e_title 180 >&2
  read -r title_game title_demand title_x < <(measure)
  # A on "Person vs Person"; the banner waits for A to be let go, pressed and let go again.
  press z e2e_banner_dark "$patience" 161x81+80+80 >&2
  game_polls "$patience"
  key_down z
  game_polls "$patience"
  key_up z
  expect_gone e2e_banner_dark "$patience" 161x81+80+80 >&2
  expect_screen e2e_status_blank "$patience" 320x13+0+0 >&2
  read -r turn_game turn_demand turn_x < <(measure)
  grep -qxF "P1 is cpu: no" "$run/logfile.txt" || { echo "$label: the battle is not a person's" >&2; exit 1; }
  stop_run
  rows+=("$(printf '%-14s %7s %7s %7s   %7s %7s %7s' "$label" "$title_game" "$title_demand" "$title_x" \
    "$turn_game" "$turn_demand" "$turn_x")")
done

echo "CPU in % of one core over ${span} s each, under Xvfb 320x240x16 ($(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg))"
echo "use: the game's CPU time, every thread; demand: use + time ready to run but waiting for a core; X: the X server's use"
printf '%-14s %-25s %-25s\n' "" "title screen" "a person's turn"
printf '%-14s %7s %7s %7s   %7s %7s %7s\n' build use demand X use demand X
printf '%s\n' "${rows[@]}"
