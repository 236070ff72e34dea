# screens.sh -- helpers for driving the real game in an X window and checking what it shows.
# Sourced by play_e2e.sh, which sets: win (the game's window, focused), game_pid, shots (a folder
# for screenshots), refs (tests/reference) and update (1: write references instead of comparing).
#
# Keys go in through XTEST, as a keyboard's would, to an X server started with auto-repeat off,
# so a held key is one press however long it is held. The game reads a press and its release
# taken in the same poll as no press at all, and on a loaded or emulated machine it may poll
# seldom: so every press is held until the window shows that the game has taken it, and only
# then let go. Nothing here sleeps for a fixed time in the hope that the game has caught up.

# A display number nobody uses.
free_display() {
  local n
  for n in $(seq 90 190); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
      echo "$n"
      return 0
    fi
  done
  return 1
}

# The pause between two looks at the window while waiting: it leaves the CPU to the game.
look_pause=0.1

key_down() {
  xdotool keydown "$1" || { echo "FAIL: xdotool cannot press $1" >&2; return 1; }
}

key_up() {
  xdotool keyup "$1" || { echo "FAIL: xdotool cannot release $1" >&2; return 1; }
}

# The window as a PNG. A window that has only just been mapped may refuse the first grab, so a
# few tries are allowed before giving up with a message.
shot() {
  local try
  for try in 1 2 3 4 5 6 7 8 9 10; do
    import -window "$win" "png:$1" 2>/dev/null && return 0
    sleep 0.2
  done
  echo "FAIL: cannot capture the game's window" >&2
  return 1
}

# Keeps only what a 16-bit (5-6-5) screen can hold of each colour, so that a screenshot of the
# X window and a picture saved from the game's own screen surface compare exactly.
as_16bit() {  # as_16bit IN OUT [GEOMETRY]
  local crop=()
  [ -n "${3:-}" ] && crop=(-crop "$3" +repage)
  convert "$1" "${crop[@]}" -channel R,B -evaluate And 63488 -channel G -evaluate And 64512 \
    +channel "png24:$2"
}

# Number of pixels that differ between the screenshot (in GEOMETRY) and reference NAME. The
# reduced reference is kept for the next look.
differing() {  # differing SHOT NAME [GEOMETRY]
  local a="$shots/.a.png" b="$shots/.ref-$2.png"
  as_16bit "$1" "$a" "${3:-}"
  [ -e "$b" ] || as_16bit "$refs/$2.png" "$b"
  compare -metric AE "$a" "$b" null: 2>&1 || true
}

# Whether two screenshots hold the same pixels.
same_shots() {  # same_shots A B
  [ "$(compare -metric AE "$1" "$2" null: 2>&1 || true)" = 0 ]
}

# Waits up to SECONDS for the window to show reference NAME (whole, or the GEOMETRY part of it);
# the last screenshot is kept as $shots/NAME.png.
wait_for_screen() {  # wait_for_screen NAME SECONDS [GEOMETRY]
  local name=$1 geometry=${3:-} out="$shots/$1.png" n
  local end=$((SECONDS + $2))
  while :; do
    shot "$out"
    n=$(differing "$out" "$name" "$geometry")
    [ "$n" = 0 ] && { echo "ok: $name"; return 0; }
    if [ $SECONDS -ge $end ]; then
      echo "FAIL: the window does not show $name after $2 s: $n pixels differ; see $out" >&2
      return 1
    fi
    sleep "$look_pause"
  done
}

# Waits up to SECONDS for the window to look different from screenshot BEFORE; the last
# screenshot is kept beside it as ...-after.png.
wait_for_change() {  # wait_for_change BEFORE SECONDS WHAT
  local after="${1%.png}-after.png"
  local end=$((SECONDS + $2))
  while :; do
    shot "$after"
    same_shots "$1" "$after" || return 0
    if [ $SECONDS -ge $end ]; then
      echo "FAIL: the window did not change after $2 s of $3; see $1 and $after" >&2
      return 1
    fi
    sleep "$look_pause"
  done
}

# Waits up to SECONDS for the window to show reference NAME. In update mode the reference is
# written instead, from the screenshot taken once the screen has settled.
expect_screen() {  # expect_screen NAME SECONDS [GEOMETRY]
  local name=$1 geometry=${3:-} out="$shots/$1.png"
  if [ "$update" = 1 ]; then
    sleep 1
    shot "$out"
    if [ -n "$geometry" ]; then
      convert "$out" -crop "$geometry" +repage "png24:$refs/$name.png"
    else
      convert "$out" "png24:$refs/$name.png"
    fi
    rm -f "$shots/.ref-$name.png"
    echo "wrote reference $name"
    return 0
  fi
  wait_for_screen "$@"
}

# Presses KEY and holds it until the window shows reference NAME (whole, or its GEOMETRY part),
# then lets it go. The window must not show NAME before the press: then only the press can have
# brought it. In update mode, where the references are being rewritten, any change of the window
# stands for the press, and the reference is written from what follows.
press() {  # press KEY NAME SECONDS [GEOMETRY]
  local key=$1 name=$2 seconds=$3 geometry=${4:-} before="$shots/before-$2.png"
  shot "$before"
  if [ "$update" = 1 ]; then
    key_down "$key"
    wait_for_change "$before" "$seconds" "holding $key"
    key_up "$key"
    expect_screen "$name" "$seconds" "$geometry"
    return 0
  fi
  if [ "$(differing "$before" "$name" "$geometry")" = 0 ]; then
    echo "FAIL: the window shows $name before $key is pressed; see $before" >&2
    return 1
  fi
  key_down "$key"
  wait_for_screen "$name" "$seconds" "$geometry"
  key_up "$key"
}

# Presses KEY and holds it until the window changes, then lets it go: for presses whose picture
# is not known beforehand but certain to differ, such as a cursor step on the random map.
press_for_change() {  # press_for_change KEY SECONDS
  local before="$shots/before-$1.png"
  shot "$before"
  key_down "$1"
  wait_for_change "$before" "$2" "holding $1"
  key_up "$1"
}

# CPU time the game's main thread has used, in clock ticks (utime + stime, the 14th and 15th
# fields of its stat; the name in parentheses may hold spaces, so fields count from its end).
game_ticks() {
  local stat fields
  stat=$(cat "/proc/$game_pid/task/$game_pid/stat") || {
    echo "FAIL: the game (pid $game_pid) is gone" >&2
    return 1
  }
  read -r -a fields <<<"${stat##*) }"
  echo $((fields[11] + fields[12]))
}

# For key events the window shows nothing of: waits up to SECONDS until the game's main thread
# has run for more than 50 ms more. Used only where the game sits in a loop doing nothing but poll its
# input, so that this time went into polls, and every key event sent before was taken on its own.
game_polls() {  # game_polls SECONDS
  local hz start now
  hz=$(getconf CLK_TCK)
  start=$(game_ticks)
  local end=$((SECONDS + $1))
  while :; do
    now=$(game_ticks)
    # A rise of n ticks means more than n - 1 ticks of time run.
    [ $(((now - start - 1) * 1000)) -gt $((50 * hz)) ] && return 0
    if [ $SECONDS -ge $end ]; then
      echo "FAIL: the game's main thread ran for only $((now - start)) ticks in $1 s" >&2
      shot "$shots/not-polling.png" && echo "its window is in $shots/not-polling.png" >&2
      return 1
    fi
    sleep "$look_pause"
  done
}

# Whether the part GEOMETRY of the window shows reference NAME now. A "no" is only believed from
# two looks in a row that agree, in case the game was drawing; a window that keeps changing for a
# minute is a failure.
shows() {  # shows NAME GEOMETRY
  local a="$shots/.probe-a.png" b="$shots/.probe-b.png"
  local end=$((SECONDS + 60))
  # Called as a condition, where set -e does not act: a failed capture must end the test here.
  shot "$a" || exit 1
  while :; do
    [ "$(differing "$a" "$1" "$2")" = 0 ] && return 0
    shot "$b" || exit 1
    same_shots "$a" "$b" && return 1
    if [ $SECONDS -ge $end ]; then
      echo "FAIL: the window does not settle while looking for $1; see $b" >&2
      exit 1
    fi
    mv "$b" "$a"
  done
}

# Waits up to SECONDS for the part GEOMETRY to stop showing reference NAME.
expect_gone() {  # expect_gone NAME SECONDS GEOMETRY
  local out="$shots/$1-gone.png"
  local end=$((SECONDS + $2))
  while :; do
    shot "$out"
    [ "$(differing "$out" "$1" "$3")" != 0 ] && { echo "ok: $1 gone"; return 0; }
    if [ $SECONDS -ge $end ]; then
      echo "FAIL: $1 is still shown after $2 s; see $out" >&2
      return 1
    fi
    sleep "$look_pause"
  done
}
