# screens.sh -- helpers for driving the real game in an X window and checking what it shows.
# Sourced by play_e2e.sh, which sets: win (the game's window id), shots (a folder for
# screenshots), refs (tests/reference) and update (1: write references instead of comparing).

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

# Press and release one key in the game's window, as a person would: the game sees the press in
# one frame and the release in a later one.
tap() {
  xdotool keydown --window "$win" "$1" 2>/dev/null
  sleep 0.06
  xdotool keyup --window "$win" "$1" 2>/dev/null || true  # a press may close the window (Quit)
  sleep 0.1
}

taps() {  # taps KEY COUNT
  local i
  for ((i = 0; i < $2; i++)); do tap "$1"; done
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

# Number of pixels that differ between the screenshot (in GEOMETRY) and reference NAME.
differing() {  # differing SHOT NAME [GEOMETRY]
  local a="$shots/.a.png" b="$shots/.b.png"
  as_16bit "$1" "$a" "${3:-}"
  as_16bit "$refs/$2.png" "$b"
  compare -metric AE "$a" "$b" null: 2>&1 || true
}

# Waits up to SECONDS for the window to show reference NAME (whole, or the GEOMETRY part of it);
# the last screenshot is kept as $shots/NAME.png. In update mode the reference is written from
# the screenshot taken once the screen has settled.
expect_screen() {  # expect_screen NAME SECONDS [GEOMETRY]
  local name=$1 seconds=$2 geometry=${3:-} out="$shots/$1.png" n
  if [ "$update" = 1 ]; then
    sleep 1
    shot "$out"
    if [ -n "$geometry" ]; then
      convert "$out" -crop "$geometry" +repage "png24:$refs/$name.png"
    else
      convert "$out" "png24:$refs/$name.png"
    fi
    echo "wrote reference $name"
    return 0
  fi
  local end=$((SECONDS + seconds))
  while :; do
    shot "$out"
    n=$(differing "$out" "$name" "$geometry")
    [ "$n" = 0 ] && { echo "ok: $name"; return 0; }
    if [ $SECONDS -ge $end ]; then
      echo "FAIL: the window does not show $name: $n pixels differ; see $out" >&2
      return 1
    fi
    sleep 0.2
  done
}

# Whether the part GEOMETRY of the window shows reference NAME now. A "no" is only believed when
# a second look a little later agrees, in case the game had not drawn the last key press yet.
shows() {  # shows NAME GEOMETRY
  local look
  for look in 1 2; do
    sleep 0.25
    shot "$shots/.probe.png"
    [ "$(differing "$shots/.probe.png" "$1" "$2")" = 0 ] && return 0
  done
  return 1
}

# Waits up to SECONDS for the part GEOMETRY to stop showing reference NAME.
expect_gone() {  # expect_gone NAME SECONDS GEOMETRY
  local end=$((SECONDS + $2))
  while shows "$1" "$3"; do
    if [ $SECONDS -ge $end ]; then
      echo "FAIL: $1 is still shown" >&2
      return 1
    fi
  done
  echo "ok: $1 gone"
}
