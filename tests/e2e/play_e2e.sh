#!/usr/bin/env bash
# play_e2e.sh -- the real game in a real X window (Xvfb, 16-bit), played with real key presses,
# in a fresh working directory: the title and its options, the credits and back, a battle between
# two persons in which a Dark Soldier is selected, stepped and finished, Escape back to the title,
# and quit. What the window shows at each stop is compared with tests/reference/e2e_*.png: whole
# screens where they do not depend on the random map (title, options, credits), otherwise only
# the banner box, the status bar and the info line. Then the log and the exit status are checked.
# Every key is held until the window shows that the game has taken it (tests/e2e/play/screens.sh),
# so a slow machine, sdl12-compat or an emulator only makes the run longer.
#
# Usage: play_e2e.sh PATH-OF-umbrafront PATH-OF-Data
# With UMBRA_UPDATE_REFERENCES=1 the whole-screen and banner references are rewritten instead.
set -euo pipefail

game=$(realpath "$1")
data=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
refs=$here/../reference
update=${UMBRA_UPDATE_REFERENCES:-0}
# shellcheck source=play/screens.sh
source "$here/play/screens.sh"

for tool in Xvfb xdotool xdpyinfo import convert compare; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done

# A cross build runs the binary through its emulator (UMBRA_EMULATOR, e.g. "qemu-arm -L <sysroot>").
read -r -a emulator <<<"${UMBRA_EMULATOR:-}"
work=$(mktemp -d /tmp/umbra-e2e-XXXXXX)
shots=$work/screens
mkdir -p "$shots"
ln -s "$data" "$work/Data"

xvfb_pid=
game_pid=
finish() {
  local status=$?
  # SDL turns SIGTERM into a close request, which the game ignores by design: kill it outright.
  [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  if [ $status -eq 0 ]; then
    rm -rf "$work"
  else
    echo "screens and log kept in $work" >&2
  fi
}
trap finish EXIT

# Another run may take the same free display at the same moment: then try the next one.
for attempt in 1 2 3 4 5; do
  display=$(free_display)
  # -r: no auto-repeat, so that a key held until the game shows it took it is one press.
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

cd "$work"
# For a sanitizer build: what system libraries keep is not the game's leak (tests/lsan.supp).
export LSAN_OPTIONS="suppressions=$(readlink -f "$here/../lsan.supp"):print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
# Xvfb's 16-bit screen has a TrueColor and a DirectColor visual. SDL2 (under sdl12-compat) takes
# DirectColor and loads its own colour map, which shifts every colour the window shows; the
# references are the game's pixels as they are, so the game is given the TrueColor default.
visual=$(xdpyinfo -display ":$display" | sed -n 's/^ *default visual id: *//p' | head -1)
[ -n "$visual" ] || { echo "FAIL: xdpyinfo names no default visual" >&2; exit 1; }
xdpyinfo -display ":$display" | grep -A1 "visual id: *$visual\$" | grep -q 'class: *TrueColor' ||
  { echo "FAIL: the default visual $visual is not TrueColor" >&2; exit 1; }
# The suite may run with SDL_VIDEODRIVER=dummy in its environment; this test needs the real window.
SDL_VIDEO_X11_VISUALID=$visual SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "${emulator[@]}" "$game" >"$work/game.out" 2>&1 &
game_pid=$!
win=$(timeout 120 xdotool search --sync --name '^Umbrafront$' | head -1) || true
[ -n "$win" ] || { echo "FAIL: no Umbrafront window" >&2; exit 1; }
# Keys go to the focused window through XTEST, with the server's time stamps. (Sent to an unfocused
# window they would be synthetic events all stamped 0, and SDL takes a release followed by a
# press of the same key in one read for auto-repeat and drops both.)
timeout 60 xdotool windowfocus --sync "$win" || { echo "FAIL: cannot focus the game's window" >&2; exit 1; }

box=161x81+80+80       # the banner's box
status_bar=320x13+0+0  # the status text's white bar (a cursor in row 0 may cross the black line)
info=320x12+0+228      # the info line

# Every wait allows this long: many times the few seconds a press takes under qemu on a loaded
# machine, screenshots included.
patience=60

# ---- title, options, credits ----
expect_screen e2e_title 180
for option in 1 2 3 4 5; do
  press x "e2e_option$option" $patience
done
press x e2e_title $patience
for option in 1 2 3 4; do
  press x "e2e_option$option" $patience
done
press z e2e_credits $patience
press z e2e_title $patience

# ---- a battle between two persons ----
cx=10 cy=6  # where every battle puts the cursor
# Every step stays on the board, so the cursor is certain to move and the window to change.
move_to() {
  while [ "$cx" -lt "$1" ]; do press_for_change Right $patience; cx=$((cx + 1)); done
  while [ "$cx" -gt "$1" ]; do press_for_change Left $patience; cx=$((cx - 1)); done
  while [ "$cy" -lt "$2" ]; do press_for_change Down $patience; cy=$((cy + 1)); done
  while [ "$cy" -gt "$2" ]; do press_for_change Up $patience; cy=$((cy - 1)); done
}

battles=0
stepped=0
while [ $stepped = 0 ]; do
  [ $battles -lt 3 ] || { echo "FAIL: three maps without a free cell beside the Dark's Soldiers" >&2; exit 1; }
  battles=$((battles + 1))
  press z e2e_banner_dark $patience "$box"  # A on "Person vs Person"
  # The banner waits for A to be let go, pressed and let go again, and shows nothing until the
  # end: the game must have polled after the first release and after the press, each time.
  game_polls $patience
  key_down z
  game_polls $patience
  key_up z
  expect_gone e2e_banner_dark $patience "$box"
  expect_screen e2e_status_blank $patience "$status_bar"
  cx=10 cy=6

  # The Dark's three Soldiers stand in column 2, rows a..a+2: find a through the info line.
  move_to 2 0
  a=-1
  for row in $(seq 0 9); do
    move_to 2 "$row"
    if shows e2e_info_soldier "$info"; then a=$row; break; fi
  done
  [ $a -ge 0 ] || { echo "FAIL: no Dark Soldier found in column 2" >&2; shot "$shots/no-soldier.png"; exit 1; }
  echo "the Dark's Soldiers stand in rows $a to $((a + 2))"

  # A free cell of Plain or Grasslands beside one of them, in column 3.
  target=-1
  for row in $a $((a + 1)) $((a - 1)) $((a + 2)) $((a + 3)); do
    [ "$row" -ge 0 ] && [ "$row" -le 11 ] || continue
    move_to 3 "$row"
    if shows e2e_info_plain "$info" || shows e2e_info_grasslands "$info"; then target=$row; break; fi
  done
  if [ $target -lt 0 ]; then
    echo "no free cell beside the Soldiers on this map; back to the title for another"
    press Escape e2e_title $patience
    continue
  fi
  soldier=$target
  [ $soldier -lt $a ] && soldier=$a
  [ $soldier -gt $((a + 2)) ] && soldier=$((a + 2))

  # A held for more frames orders the Soldier onto its own cell, which does nothing.
  move_to 2 "$soldier"
  press z e2e_info_selected $patience "$info"  # select
  move_to 3 "$target"
  press z e2e_info_stepped $patience "$info"   # step
  # The status bar is not checked here: a castle in column 4 beside the new cell would be captured.
  cp "$shots/e2e_info_stepped.png" "$shots/battle.png"
  # B ends the selected Soldier's turn wherever the cursor is. On the Soldier itself a B held for
  # a second frame would open its statistics, so the cursor goes to the cell it left.
  move_to 2 "$soldier"
  press x e2e_info_plain $patience "$info"
  move_to 3 "$target"
  expect_screen e2e_info_finished $patience "$info"
  stepped=1
done

press Escape e2e_title $patience

# ---- quit ----
for option in 1 2 3 4 5; do
  press x "e2e_option$option" $patience
done
# A on Quit is held until the game has ended.
key_down z
end=$((SECONDS + patience))
while kill -0 "$game_pid" 2>/dev/null; do
  if [ $SECONDS -ge $end ]; then
    shot "$shots/quit.png" || true
    echo "FAIL: the game did not end on Quit within $patience s; see $shots/quit.png" >&2
    exit 1
  fi
  sleep "$look_pause"
done
key_up z
set +e
wait "$game_pid"
status=$?
set -e
game_pid=
[ $status = 0 ] || { echo "FAIL: exit status $status" >&2; cat "$work/game.out" >&2; exit 1; }
echo "ok: exit status 0"

# ---- the log ----
log=$work/logfile.txt
expect_line() {
  grep -qxF "$1" "$log" || { echo "FAIL: logfile.txt lacks the line \"$1\"" >&2; exit 1; }
}
[ "$(head -1 "$log")" = "Umbrafront Tandem" ] || { echo "FAIL: the log does not start with its banner" >&2; exit 1; }
expect_line "startup_game done"
expect_line "P1 is cpu: no"
expect_line "P2 is cpu: no"
expect_line "shutdown_game called"
[ "$(grep -cxF "New game started." "$log")" = "$battles" ] || { echo "FAIL: not one \"New game started.\" per battle" >&2; exit 1; }
[ "$(tail -1 "$log")" = "Shutting down logfile and exiting game." ] || { echo "FAIL: the log does not end with the shut-down" >&2; exit 1; }
echo "ok: logfile.txt"

# The battle screen stays with the build for whoever wants to see it.
if [ -n "${UMBRA_E2E_KEEP:-}" ]; then
  mkdir -p "$UMBRA_E2E_KEEP"
  cp "$shots"/*.png "$UMBRA_E2E_KEEP"/
fi
echo "end-to-end play passed ($battles battle(s))"
