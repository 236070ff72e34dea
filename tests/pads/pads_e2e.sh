#!/usr/bin/env bash
# pads_e2e.sh -- the real game in a real X window (Xvfb), played with a pad: an SDL2 virtual
# joystick laid out like a handheld's pad (tests/pads/pad_shim.cpp, preloaded), pressed through a
# FIFO. Every role reaches the game: B steps through the title's options and opens a unit's
# statistics, A starts a battle, selects a Soldier and orders it onto a free cell, the d-pad moves
# the cursor, Select ends the turn, the triggers change the music's volume, and L with R held
# together leaves the battle and then the game. One title option is taken from the keyboard, which
# keeps working beside the pad. Every press is held until the window shows that the game has
# taken it (tests/e2e/play/screens.sh); nothing sleeps for a fixed time.
#
# Two ways to run the game:
#   launcher: the installed launcher (laid out as the package lays it out) on sdl12-compat, with
#             its own pad set-up: it runs umbrafront-pads and hands the game its rewritten mapping.
#   direct:   the game built on the sdl12on2 layer, which maps pads by itself.
#
# Usage: pads_e2e.sh launcher LAUNCHER LAUNCHER-DIR GAME-DIR DATA-DIR GAME PADS-TOOL DATA COMPAT SHIM
#        pads_e2e.sh direct GAME DATA SHIM
# The *-DIR arguments are the install layout's folders; COMPAT is the sdl12-compat library the
# launcher names. Missing new references are written (and the run fails) with
# UMBRA_PADS_NEW_REFERENCES=1.
set -euo pipefail

usage() {
  echo "usage: $0 launcher LAUNCHER LAUNCHER-DIR GAME-DIR DATA-DIR GAME PADS-TOOL DATA COMPAT SHIM" >&2
  echo "       $0 direct GAME DATA SHIM" >&2
  exit 2
}
mode=${1:-}
case $mode in
  launcher) [ $# -eq 10 ] || usage ;;
  direct) [ $# -eq 4 ] || usage ;;
  *) usage ;;
esac

here=$(cd "$(dirname "$0")" && pwd)
refs=$here/../reference
# shellcheck disable=SC2034  # read by screens.sh: compare with the references, never rewrite them
update=0
# shellcheck source-path=SCRIPTDIR source=../e2e/play/screens.sh
source "$here/../e2e/play/screens.sh"

for tool in Xvfb xdotool xdpyinfo import convert compare; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/umbra-pads-e2e-XXXXXX)
shots=$work/screens
mkdir -p "$shots"
fifo=$work/pad
volume_log=$work/volume
mkfifo "$fifo"
: >"$volume_log"

xvfb_pid=
game_pid=
finish() {
  local status=$?
  [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  if [ $status -eq 0 ]; then
    rm -rf "$work"
  else
    echo "screens, output and log kept in $work" >&2
  fi
}
trap finish EXIT

if [ "$mode" = launcher ]; then
  launcher_src=$2 game_src=$6 pads_src=$7 data=$(realpath "$8") compat=${9} shim=$(realpath "${10}")
  root=$work/root
  launcher=$root/$3/umbrafront
  mkdir -p "$(dirname "$launcher")" "$root/$4" "$(dirname "$root/$5")"
  cp "$launcher_src" "$launcher"
  chmod 755 "$launcher"
  cp "$game_src" "$root/$4/umbrafront"
  cp "$pads_src" "$root/$4/umbrafront-pads"
  ln -s "$data" "$root/$5"
  # Debian's sdl12-compat: the machine's, or else the package unpacked beside this test's build.
  if [ ! -f "$compat" ]; then
    cache=$(dirname "$(realpath "$6")")/pads-sdl12-compat
    if ! ls "$cache"/libsdl1.2-compat_*.deb >/dev/null 2>&1; then
      mkdir -p "$cache"
      (cd "$cache" && apt-get download libsdl1.2-compat >/dev/null) ||
        { echo "FAIL: sdl12-compat is not installed and cannot be downloaded" >&2; exit 1; }
    fi
    rm -rf "$cache/root"
    dpkg -x "$(ls "$cache"/libsdl1.2-compat_*.deb | head -1)" "$cache/root"
    found=$(find "$cache/root" -path '*sdl12-compat/libSDL-1.2.so.0' | head -1)
    [ -n "$found" ] || { echo "FAIL: no libSDL-1.2.so.0 in Debian's libsdl1.2-compat" >&2; exit 1; }
    grep -qF "\"$compat\"" "$launcher" || { echo "FAIL: $launcher_src does not name $compat" >&2; exit 1; }
    sed -i "s|\"$compat\"|\"$found\"|" "$launcher"
  fi
  log=$work/home/.local/state/umbrafront/logfile.txt
  mkdir -p "$work/home"
else
  game=$(realpath "$2") data=$(realpath "$3") shim=$(realpath "$4")
  ln -s "$data" "$work/Data"
  log=$work/logfile.txt
fi

for attempt in 1 2 3 4 5; do
  display=$(free_display)
  Xvfb ":$display" -screen 0 320x240x16 -nolisten tcp -r >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$xvfb_pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$display" ] && break
  xvfb_pid=
  [ $attempt -lt 5 ] || { echo "FAIL: Xvfb does not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
done
export DISPLAY=":$display"
# The TrueColor visual, as in play_e2e.sh: SDL2 would take DirectColor and shift every colour.
visual=$(xdpyinfo -display ":$display" | sed -n 's/^ *default visual id: *//p' | head -1)
[ -n "$visual" ] || { echo "FAIL: xdpyinfo names no default visual" >&2; exit 1; }

# The player's own pad settings would stop the launcher's: this run has none.
common=(-u SDL_GAMECONTROLLERCONFIG -u SDL12COMPAT_USE_GAME_CONTROLLERS -u XDG_STATE_HOME SDL_VIDEO_X11_VISUALID="$visual"
  SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy LD_PRELOAD="$shim" UMBRA_PAD_FIFO="$fifo"
  UMBRA_PAD_VOLUME_LOG="$volume_log")
if [ "$mode" = launcher ]; then
  (cd "$work" && exec env "${common[@]}" HOME="$work/home" SDL12COMPAT_WINDOW_SCALING=1 \
    "$launcher" >"$work/game.out" 2>&1) &
else
  (cd "$work" && exec env "${common[@]}" "$game" >"$work/game.out" 2>&1) &
fi
game_pid=$!
# Written to from here on; opened for reading and writing, so that opening it never waits.
exec 3<>"$fifo"

win=$(timeout 120 xdotool search --sync --name '^Umbrafront$' | head -1) || true
[ -n "$win" ] || { echo "FAIL: no Umbrafront window" >&2; cat "$work/game.out" >&2; exit 1; }
timeout 60 xdotool windowfocus --sync "$win" || { echo "FAIL: cannot focus the game's window" >&2; exit 1; }
patience=60

if [ "$mode" = launcher ]; then
  # The launcher exec'd the game: its environment is the one the launcher gave it.
  environ=$(tr '\0' '\n' <"/proc/$game_pid/environ")
  grep -qx 'SDL12COMPAT_USE_GAME_CONTROLLERS=1' <<<"$environ" ||
    { echo "FAIL: the launcher did not turn on sdl12-compat's game controllers" >&2; exit 1; }
  mapping=$(sed -n 's/^SDL_GAMECONTROLLERCONFIG=//p' <<<"$environ")
  # The test pad's A (b1) plays the game's A, 12: SDL2's dpdown.
  [[ $mapping == *",Umbrafront Handheld Test Pad,"* && ,$mapping == *",dpdown:b1,"* ]] ||
    { echo "FAIL: the launcher passed no rewritten mapping of the test pad: '$mapping'" >&2; exit 1; }
  grep -q '^LD_PRELOAD=.*sdl12-compat' <<<"$environ" || { echo "FAIL: sdl12-compat is not preloaded" >&2; exit 1; }
  echo "ok: the launcher set up the pad: $mapping"
fi

pad() { echo "$1 $2" >&3; }

# Missing references of this test's own boxes are written from what the window settles on.
expect_box() {  # expect_box NAME SECONDS
  if [ ! -e "$refs/$1.png" ] && [ "${UMBRA_PADS_NEW_REFERENCES:-0}" = 1 ]; then
    wait_for_change "$shots/before-$1.png" "$2" "waiting for $1"
    sleep 1
    shot "$shots/$1.png"
    convert "$shots/$1.png" -crop "$box" +repage "png24:$refs/$1.png"
    echo "wrote the new reference $1: check it and run again" >&2
    new_references=1
    return 0
  fi
  [ -e "$refs/$1.png" ] ||
    { echo "FAIL: no reference $1 (UMBRA_PADS_NEW_REFERENCES=1 writes it)" >&2; return 1; }
  wait_for_screen "$1" "$2" "$box"
}

# Presses the pad's FIELD and holds it until the window shows NAME, as press() does for keys.
pad_press() {  # pad_press FIELD NAME SECONDS [GEOMETRY]
  local before="$shots/before-$2.png"
  shot "$before"
  if [ -e "$refs/$2.png" ] && [ "$(differing "$before" "$2" "${4:-}")" = 0 ]; then
    echo "FAIL: the window shows $2 before $1 is pressed; see $before" >&2
    return 1
  fi
  pad press "$1"
  if [ "${4:-}" = "$box" ]; then expect_box "$2" "$3"; else wait_for_screen "$2" "$3" "${4:-}"; fi
  pad release "$1"
}

pad_press_for_change() {  # pad_press_for_change FIELD SECONDS
  local before="$shots/before-$1.png"
  shot "$before"
  pad press "$1"
  wait_for_change "$before" "$2" "holding $1"
  pad release "$1"
}

# A press and a release the window shows nothing of, each taken in a poll of its own: the game
# polls after whatever came before, then after the press. (The release is taken by the time the
# window shows its effect, or by the next cycle's first wait.)
pad_cycle() {  # pad_cycle FIELD
  game_polls $patience
  pad press "$1"
  game_polls $patience
  pad release "$1"
}

# Presses the trigger FIELD and waits for the game to set the music louder (up) or softer (down)
# than it last set it. Only the direction is checked: the layer scales the game's volume for SDL2.
trigger() {  # trigger FIELD up|down
  local lines last now end
  lines=$(wc -l <"$volume_log")
  last=$(tail -1 "$volume_log" | sed -n 's/^music //p')
  [ -n "$last" ] || { echo "FAIL: the game has set no music volume before $1" >&2; return 1; }
  pad press "$1"
  end=$((SECONDS + patience))
  while :; do
    now=$(sed -n "$((lines + 1))s/^music //p" "$volume_log")
    if [ -n "$now" ]; then
      if { [ "$2" = up ] && [ "$now" -gt "$last" ]; } || { [ "$2" = down ] && [ "$now" -lt "$last" ]; }; then
        break
      fi
      echo "FAIL: $1 set the music's volume from $last to $now, not $2" >&2
      return 1
    fi
    if [ $SECONDS -ge $end ]; then
      echo "FAIL: $1 did not change the music's volume; volumes set: $(tr '\n' ' ' <"$volume_log")" >&2
      return 1
    fi
    sleep "$look_pause"
  done
  pad release "$1"
  echo "ok: $1 turns the volume $2 ($last to $now)"
}

box=161x81+80+80       # the banner's and the statistics' box
status_bar=320x13+0+0
info=320x12+0+228
new_references=0

# ---- the title: B steps through the options, the keyboard's X too ----
expect_screen e2e_title 180
pad_press b e2e_option1 $patience
press x e2e_option2 $patience
for option in 3 4 5; do
  pad_press b "e2e_option$option" $patience
done
pad_press b e2e_title $patience

# ---- a battle between two persons ----
cx=10 cy=6
move_to() {
  while [ "$cx" -lt "$1" ]; do pad_press_for_change dpright $patience; cx=$((cx + 1)); done
  while [ "$cx" -gt "$1" ]; do pad_press_for_change dpleft $patience; cx=$((cx - 1)); done
  while [ "$cy" -lt "$2" ]; do pad_press_for_change dpdown $patience; cy=$((cy + 1)); done
  while [ "$cy" -gt "$2" ]; do pad_press_for_change dpup $patience; cy=$((cy - 1)); done
}

battles=0
stepped=0
while [ $stepped = 0 ]; do
  [ $battles -lt 3 ] || { echo "FAIL: three maps without a free cell beside the Dark's Soldiers" >&2; exit 1; }
  battles=$((battles + 1))
  pad_press a e2e_banner_dark $patience "$box"  # A on "Person vs Person"
  pad_cycle a
  expect_gone e2e_banner_dark $patience "$box"
  expect_screen e2e_status_blank $patience "$status_bar"
  cx=10 cy=6

  move_to 2 0
  a=-1
  for row in $(seq 0 9); do
    move_to 2 "$row"
    if shows e2e_info_soldier "$info"; then a=$row; break; fi
  done
  [ $a -ge 0 ] || { echo "FAIL: no Dark Soldier found in column 2" >&2; exit 1; }
  target=-1
  for row in $a $((a + 1)) $((a - 1)) $((a + 2)) $((a + 3)); do
    [ "$row" -ge 0 ] && [ "$row" -le 11 ] || continue
    move_to 3 "$row"
    if shows e2e_info_plain "$info" || shows e2e_info_grasslands "$info"; then target=$row; break; fi
  done
  if [ $target -lt 0 ]; then
    echo "no free cell beside the Soldiers on this map; L and R back to the title for another"
    pad press leftshoulder
    pad press rightshoulder
    wait_for_screen e2e_title $patience
    pad release leftshoulder
    pad release rightshoulder
    continue
  fi
  soldier=$target
  [ $soldier -lt $a ] && soldier=$a
  [ $soldier -gt $((a + 2)) ] && soldier=$((a + 2))

  # B on an unselected Soldier: its statistics, until B is pressed and let go again.
  move_to 2 "$soldier"
  pad_press b e2e_stats_soldier $patience "$box"
  pad_cycle b
  expect_gone e2e_stats_soldier $patience "$box"

  pad_press a e2e_info_selected $patience "$info"  # select
  move_to 3 "$target"
  pad_press a e2e_info_stepped $patience "$info"   # order the step
  # B ends the selected Soldier's action; on the cell it left, so that B cannot open statistics.
  move_to 2 "$soldier"
  pad_press b e2e_info_plain $patience "$info"
  stepped=1
done

# ---- Select ends the Dark's turn: the Light's banner, which takes A twice (Select leaves its
# button state set until A or B is let go) ----
pad_press back e2e_banner_light $patience "$box"
pad_cycle a
expect_screen e2e_banner_light $patience "$box"
pad_cycle a
expect_gone e2e_banner_light $patience "$box"

# ---- the triggers: volume up and down by one step ----
trigger lefttrigger up
trigger righttrigger down

# ---- L and R together: out of the battle, then out of the game ----
pad press leftshoulder
pad press rightshoulder
wait_for_screen e2e_title $patience
pad release leftshoulder
pad release rightshoulder
game_polls $patience
pad press leftshoulder
pad press rightshoulder
end=$((SECONDS + patience))
while kill -0 "$game_pid" 2>/dev/null; do
  [ $SECONDS -lt $end ] || { echo "FAIL: L and R held on the title did not end the game" >&2; exit 1; }
  sleep "$look_pause"
done
set +e
wait "$game_pid"
status=$?
set -e
game_pid=
[ $status = 0 ] || { echo "FAIL: exit status $status" >&2; cat "$work/game.out" >&2; exit 1; }
[ "$(tail -1 "$log")" = "Shutting down logfile and exiting game." ] ||
  { echo "FAIL: the log does not end with the shut-down" >&2; exit 1; }
echo "ok: L and R quit, exit status 0"
[ $new_references = 0 ] || { echo "FAIL: new references were written" >&2; exit 1; }
echo "pads end-to-end ($mode) passed ($battles battle(s))"
