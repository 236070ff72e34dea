#!/usr/bin/env bash
# The port's real Umbrafront.sh, started as a firmware's Ports menu starts it, on X screens of the
# handhelds' sizes (Xvfb), with the ARM binary under qemu-user and a Debian bullseye sysroot
# standing in for the firmware (its glibc and SDL2 with their X11 back end, and no libudev, as on
# some firmwares: SDL2 2.0.14 then crashed at shut-down until the layer kept it off udev). A stand-in PortMaster
# folder provides control.txt: get_controls sets a device mapping line, gptokeyb and pm_finish
# only note that they were called, and since no binfmt handler is registered, a DEBUG trap runs
# the launcher's own "./umbrafront.<arch>" through qemu instead of letting bash fail to exec it.
#
# On each screen: the title must fill the screen at the expected whole scale, crisp (the screen
# equals the title reference scaled by whole pixels and centred on black); the game must run in
# its folder with the mapping line as SDL_GAMECONTROLLERCONFIG, write logfile.txt there, and quit
# on Escape, after which the launcher calls pm_finish.
#
# Usage: port/tests/launch_e2e.sh PORT-DIR FIRMWARE-SYSROOT [WIDTHxHEIGHT:SCALE ...]
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 PORT-DIR FIRMWARE-SYSROOT [WIDTHxHEIGHT:SCALE ...]" >&2
  exit 2
fi
stage=$(realpath "$1")
firmware=$(realpath "$2")
shift 2
screens=("$@")
[ ${#screens[@]} -gt 0 ] || screens=(640x480:2 480x320:1 720x720:2 1280x720:3)
here=$(cd "$(dirname "$0")" && pwd)
reference=$here/../../tests/reference/e2e_title.png
arch=aarch64
qemu=qemu-aarch64
# free_display and as_16bit, shared with the game's own end-to-end test.
# shellcheck source=../../tests/e2e/play/screens.sh
source "$here/../../tests/e2e/play/screens.sh"

for tool in Xvfb xdotool import convert compare "$qemu"; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done
[ -x "$firmware/lib/ld-linux-aarch64.so.1" ] || [ -e "$firmware/lib/ld-linux-aarch64.so.1" ] ||
  { echo "FAIL: $firmware has no aarch64 loader" >&2; exit 1; }
for d in /opt/system/Tools/PortMaster /opt/tools/PortMaster; do
  # The launcher would take a real PortMaster folder before the stand-in.
  [ ! -d "$d" ] || { echo "FAIL: $d exists on this machine; the stand-in cannot be used" >&2; exit 1; }
done

# Every wait allows this long: the game starts in a few seconds natively, many more under qemu
# on a loaded machine.
patience=300
mapping='03000000de2800000112000001000000,Stand-in Pad,a:b0,b:b1,back:b6,leftshoulder:b4,rightshoulder:b5,dpup:h0.1,dpdown:h0.4,dpleft:h0.8,dpright:h0.2,lefttrigger:a2,righttrigger:a5,platform:Linux,'

work=$(mktemp -d /tmp/umbra-port-e2e-XXXXXX)
xvfb_pid=
launcher_pid=
cleanup() {
  local status=$?
  if [ -f "$work/run/game.pid" ]; then kill -KILL "$(cat "$work/run/game.pid")" 2>/dev/null || true; fi
  [ -z "$launcher_pid" ] || kill "$launcher_pid" 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  if [ $status -eq 0 ]; then rm -rf "$work"; else echo "screens and logs kept in $work" >&2; fi
}
trap cleanup EXIT

# Waits up to $patience seconds for COMMAND to succeed, looking every tenth of a second.
wait_until() {  # wait_until WHAT COMMAND...
  local what=$1 end=$((SECONDS + patience))
  shift
  until "$@"; do
    if [ $SECONDS -ge $end ]; then
      echo "FAIL: $what did not happen within $patience s" >&2
      return 1
    fi
    sleep 0.1
  done
}

# The whole screen must be the title reference at SCALE, whole pixels, centred on black. Both
# sides keep only what the game's 16-bit screen holds of each colour.
screen_matches() {  # screen_matches SHOT WIDTH HEIGHT SCALE
  local expected=$work/expected-$2x$3.png
  if [ ! -f "$expected" ]; then
    convert "$reference" -filter point -resize "$((100 * $4))%" -background black -gravity center \
      -extent "$2x$3" "png24:$expected.tmp.png"
    as_16bit "$expected.tmp.png" "$expected"
  fi
  as_16bit "$1" "$1.16.png"
  [ "$(compare -metric AE "$1.16.png" "$expected" null: 2>&1 || true)" = 0 ]
}

shows_title() {  # shows_title WIDTH HEIGHT SCALE
  import -display "$DISPLAY" -window root "png:$work/run/screen.png" 2>/dev/null &&
    screen_matches "$work/run/screen.png" "$@"
}

game_exited() { [ -f "$work/run/game.status" ]; }
launcher_exited() { ! kill -0 "$launcher_pid" 2>/dev/null; }

passed=0
bad_ends=()
for entry in "${screens[@]}"; do
  size=${entry%%:*} scale=${entry##*:}
  width=${size%x*} height=${size#*x}
  echo "== $size: expecting the title at scale $scale"
  run=$work/run
  rm -rf "$run"
  mkdir -p "$run/roms/ports" "$run/xdg/PortMaster" "$run/home"
  cp -r "$stage/Umbrafront.sh" "$stage/umbrafront" "$run/roms/ports/"
  ports=$run/roms/ports
  game_dir=$ports/umbrafront

  # The stand-in PortMaster folder.
  cat >"$run/xdg/PortMaster/control.txt" <<EOF
# Stand-in for PortMaster's control.txt.
directory="${run#/}/roms"
DEVICE_ARCH=$arch
CFW_NAME=StandIn
ESUDO=
ANALOGSTICKS=2
GPTOKEYB="$run/gptokeyb"
get_controls() { sdl_controllerconfig='$mapping'; }
pm_finish() { echo called >"$run/pm_finish"; }
# No binfmt handler: the launcher's "./umbrafront.<arch>" runs through qemu with the stand-in
# firmware's loader and libraries, and the launcher's own attempt is skipped (extdebug).
run_under_qemu() {
  [[ \$BASH_COMMAND == *'./umbrafront.'* ]] || return 0
  $qemu -L "$firmware" "./umbrafront.\$DEVICE_ARCH" &
  echo \$! >"$run/game.pid"
  local status=0
  wait \$! || status=\$?
  echo \$status >"$run/game.status"
  return 1
}
shopt -s extdebug
trap run_under_qemu DEBUG
EOF
  echo "echo sourced >'$run/mod_sourced'" >"$run/xdg/PortMaster/mod_StandIn.txt"
  printf '#!/bin/sh\necho "$*" >"%s/gptokeyb.args"\n' "$run" >"$run/gptokeyb"
  chmod +x "$run/gptokeyb"

  for attempt in 1 2 3 4 5; do
    display=$(free_display)
    Xvfb ":$display" -screen 0 "${size}x24" -nolisten tcp -r >"$run/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$display" ] && break
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -0 "$xvfb_pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$display" ] && break
    xvfb_pid=
    [ $attempt -lt 5 ] || { echo "FAIL: Xvfb does not start" >&2; cat "$run/xvfb.log" >&2; exit 1; }
  done
  export DISPLAY=":$display"

  # As a firmware starts a port: from elsewhere, with its own environment. There is no sound
  # device here; the firmware's SDL2 would take ALSA or PulseAudio.
  (cd "$run/home" && env -u LD_LIBRARY_PATH -u SDL_VIDEODRIVER HOME="$run/home" \
    XDG_DATA_HOME="$run/xdg" SDL_AUDIODRIVER=dummy bash "$ports/Umbrafront.sh") \
    >"$run/launcher.out" 2>&1 &
  launcher_pid=$!

  wait_until "the start of the game" test -s "$run/game.pid"
  pid=$(cat "$run/game.pid")
  if ! wait_until "the title at scale $scale on $size" shows_title "$width" "$height" "$scale"; then
    echo "FAIL: the screen is not the title at scale $scale; last screen: $run/screen.png" >&2
    exit 1
  fi
  echo "ok: the title fills $size at scale $scale, crisp"

  # What the launcher gave the game.
  [ "$(readlink "/proc/$pid/cwd")" = "$game_dir" ] ||
    { echo "FAIL: the game runs in $(readlink "/proc/$pid/cwd"), not $game_dir" >&2; exit 1; }
  environment=$(tr '\0' '\n' <"/proc/$pid/environ")
  grep -qxF "SDL_GAMECONTROLLERCONFIG=$mapping" <<<"$environment" ||
    { echo "FAIL: the game was not given the device's mapping line" >&2; exit 1; }
  grep -qxF "SDL12ON2_FULLSCREEN=1" <<<"$environment" ||
    { echo "FAIL: the game was not asked for the fullscreen picture" >&2; exit 1; }
  grep -q "^LD_LIBRARY_PATH=$game_dir/libs.$arch:" <<<"$environment" ||
    { echo "FAIL: LD_LIBRARY_PATH does not start with libs.$arch" >&2; exit 1; }
  [ -s "$game_dir/logfile.txt" ] || { echo "FAIL: no logfile.txt in $game_dir" >&2; exit 1; }
  [ -f "$run/mod_sourced" ] || { echo "FAIL: mod_StandIn.txt was not sourced" >&2; exit 1; }
  [ "$(cat "$run/gptokeyb.args" 2>/dev/null)" = "umbrafront.$arch" ] ||
    { echo "FAIL: gptokeyb was not started for umbrafront.$arch alone" >&2; exit 1; }

  # Escape on the title quits; it is held until the game has gone.
  win=$(timeout "$patience" xdotool search --sync --name '^Umbrafront$' | head -1) || true
  [ -n "$win" ] || { echo "FAIL: no Umbrafront window" >&2; exit 1; }
  xdotool windowfocus --sync "$win" || { echo "FAIL: cannot focus the game's window" >&2; exit 1; }
  xdotool keydown Escape
  wait_until "the game's end on Escape" game_exited
  xdotool keyup Escape 2>/dev/null || true
  wait_until "the launcher's end" launcher_exited
  launcher_status=0
  wait "$launcher_pid" || launcher_status=$?
  launcher_pid=
  # A bad end is noted and the other screens still run, so that one run shows all of them.
  game_status=$(cat "$run/game.status")
  if [ "$game_status" != 0 ]; then
    echo "FAIL: on $size the game ended with status $game_status after the log's last line" \
      "'$(tail -n 1 "$game_dir/logfile.txt")'" >&2
    bad_ends+=("$size: status $game_status")
  fi
  [ -f "$run/pm_finish" ] || { echo "FAIL: the launcher did not call pm_finish" >&2; exit 1; }
  grep -q '^Umbrafront ended with status ' "$game_dir/log.txt" ||
    { echo "FAIL: the launcher's log.txt is not in $game_dir" >&2; exit 1; }
  echo "ok: logfile.txt and log.txt in the port folder, the game gone on Escape, pm_finish called (launcher status $launcher_status)"

  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=
  rm -f "$run/game.pid"
  passed=$((passed + 1))
done
if [ ${#bad_ends[@]} -gt 0 ]; then
  echo "FAIL: the game did not end cleanly on ${#bad_ends[@]} of ${#screens[@]} screens: ${bad_ends[*]}" >&2
  exit 1
fi
echo "ok: the launcher on ${#screens[@]} screens ($passed passed)"
