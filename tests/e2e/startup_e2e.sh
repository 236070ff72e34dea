#!/usr/bin/env bash
# startup_e2e.sh -- the real binary, each case in a fresh working directory: a normal start and
# stop, every asset file missing and spoilt, no audio device, no video driver, and a working
# directory where the log cannot be made.
# Usage: startup_e2e.sh <umbrafront binary> <Data directory>
set -u

if [ $# -ne 2 ]; then
    echo "usage: $0 <umbrafront binary> <Data directory>" >&2
    exit 2
fi
game=$(readlink -f "$1")
data=$(readlink -f "$2")
here=$(dirname "$(readlink -f "$0")")
# A cross build runs the binary through its emulator (UMBRA_EMULATOR, e.g. "qemu-arm -L <sysroot>").
read -r -a emulator <<<"${UMBRA_EMULATOR:-}"
work=$(mktemp -d /tmp/umbra-startup-e2e-XXXXXX)
xvfb_pid=""

cleanup() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# Leaks inside the system's libraries are theirs, not the game's (sanitizer builds only).
if [ -f "$here/../lsan.supp" ]; then
    export LSAN_OPTIONS="suppressions=$(readlink -f "$here/../lsan.supp"):print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
fi
export UBSAN_OPTIONS="print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"

failures=0
cases=0
fail() {
    echo "FAIL [$current]: $*"
    failures=$((failures + 1))
}

# ---- what the log must say ----
files=(arcadepi.ttf tiles.bmp title.png title_text.png options.png balance.png balancebg.png
    cursor.png cmove.png hit.wav arrow.wav fireball.wav spawn.wav castle.wav step.wav chains.wav
    gameover.wav creek.ogg pyramid.mod spacemaz.mod fastelmo.ogg)
messages=("Unable to load font!" "Unable to load tiles!" "Unable to load title!"
    "Unable to load title text!" "Unable to load title options!" "Unable to balance image!"
    "Unable to balance background!" "Unable to load cursor!" "Unable to load move cursor!"
    "Unable to load hit.wav" "Unable to load arrow.wav" "Unable to load fireball.wav"
    "Unable to load spawn.wav" "Unable to load castle.wav" "Unable to load step.wav"
    "Unable to load chains.wav" "Unable to load gameover.wav" "Unable to open the title music!"
    "Unable to open the balanced music!" "Unable to open the light music!"
    "Unable to open the dark music!")

# A "~" marks a line matched as an extended regular expression; every other line is literal.
banner=("Umbrafront Tandem" "----------------------------" "Version : 0.1, Started : 21.01.08"
    "~^Author : .+$" "----------------------------" "")
startup=("Randomize" "Initiating SDL" "~^SDL compile-time version: [0-9]+\.[0-9]+\.[0-9]+$"
    "~^SDL runtime version: [0-9]+\.[0-9]+\.[0-9]+$" "Videomode set" "Video info:"
    "~^ - Video memory: -?[0-9]+$" "Loading font" "Starting up mixer" "Creating buffers"
    "Loading sound effects and music" "Initiating vidkit" "Initiating joystick"
    "Done with init_vidkit" "Setting up units..." "startup_game done")
shutdown=("shutdown_game called" "Shutting down SDL_Ttf" "Releasing surfaces"
    "Releasing sound effects and music" "Shutting down SDL" "Shutting down logfile and exiting game.")
fatal_end="--controlled exit due to error--"

# The start-up lines up to and including the given one.
startup_through() {
    local line
    for line in "${startup[@]}"; do
        printf '%s\n' "$line"
        [ "$line" = "$1" ] && return
    done
}

# The log line after which asset row $1 (0-based) is loaded.
phase_of() {
    if [ "$1" -eq 0 ]; then
        echo "Loading font"
    elif [ "$1" -le 8 ]; then
        echo "Creating buffers"
    else
        echo "Loading sound effects and music"
    fi
}

# Compares the whole log of a case with the expected lines (one argument each).
expect_log() {
    local log="$1/logfile.txt"
    shift
    if [ ! -f "$log" ]; then
        fail "no logfile.txt"
        return
    fi
    if [ -n "$(tail -c 1 "$log")" ]; then
        fail "the log does not end in a newline"
    fi
    local -a got
    mapfile -t got <"$log"
    local i=0 want ok
    for want in "$@"; do
        if [ "$i" -ge "${#got[@]}" ]; then
            fail "log line $((i + 1)) missing, expected '${want#\~}'"
            return
        fi
        if [ "${want:0:1}" = "~" ]; then
            [[ "${got[$i]}" =~ ${want:1} ]] && ok=1 || ok=0
        else
            [ "${got[$i]}" = "$want" ] && ok=1 || ok=0
        fi
        if [ "$ok" -eq 0 ]; then
            fail "log line $((i + 1)) is '${got[$i]}', expected '${want#\~}'"
            return
        fi
        i=$((i + 1))
    done
    if [ "${#got[@]}" -ne "$i" ]; then
        fail "the log has $((${#got[@]} - i)) line(s) too many, from '${got[$i]}'"
    fi
}

expect_status() {
    if [ "$status" -eq 124 ]; then
        fail "still running after the time limit"
    elif [ "$status" -ne "$1" ]; then
        fail "exit status $status, expected $1"
    fi
}

# No crash, no sanitizer report (the sanitizer build runs this same script).
expect_quiet_end() {
    if grep -qE "ERROR: (Address|Leak)Sanitizer|runtime error:|SUMMARY: [A-Za-z]+Sanitizer" "$work/$current.err"; then
        fail "sanitizer report:"
        sed 's/^/    /' "$work/$current.err" | head -40
    fi
    if [ "$status" -gt 128 ] && [ "$status" -ne 124 ]; then
        fail "ended by signal $((status - 128))"
    fi
}

# A fresh working directory with Data/ holding a link to every asset file.
new_case() {
    current="$1"
    cases=$((cases + 1))
    dir="$work/$current"
    mkdir -p "$dir/Data"
    ln -s "${files[@]/#/$data/}" "$dir/Data/"
}

# Runs the game without a display or sound card; extra VAR=value arguments override the drivers.
run_headless() {
    # SIGKILL on time-out: SDL turns SIGTERM into a close request, which the game ignores by design.
    (cd "$dir" && env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$@" timeout -s KILL 60 "${emulator[@]}" "$game" \
        >"$work/$current.out" 2>"$work/$current.err")
    status=$?
}

start_x_server() {
    [ -n "$xvfb_pid" ] && return 0
    if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
        fail "Xvfb and xdotool are needed (scripts/install-deps.sh installs them)"
        return 1
    fi
    # Xvfb picks a free display number itself and reports it, so parallel runs never collide.
    Xvfb -displayfd 3 -screen 0 640x480x16 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    local i
    for i in $(seq 600); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    if [ ! -s "$work/display" ]; then
        fail "Xvfb did not start: $(cat "$work/xvfb.log")"
        return 1
    fi
    display=":$(head -1 "$work/display")"
}

# Runs the game in the X server, waits for its window and asks it to quit from the title menu
# with Escape.
run_windowed() {
    start_x_server || { status=1; return; }
    (cd "$dir" && exec env DISPLAY="$display" SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy \
        timeout -s KILL 240 "${emulator[@]}" "$game" >"$work/$current.out" 2>"$work/$current.err") &
    local pid=$!
    local window
    window=$(DISPLAY="$display" timeout 120 xdotool search --sync --name '^Umbrafront$' 2>/dev/null | head -1)
    if [ -z "$window" ]; then
        fail "no window captioned Umbrafront appeared"
    else
        # Held until the game is gone: a press and release read in one poll would cancel out.
        DISPLAY="$display" xdotool keydown --window "$window" Escape 2>/dev/null
        local i
        for i in $(seq 1200); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        DISPLAY="$display" xdotool keyup --window "$window" Escape 2>/dev/null
    fi
    wait "$pid"
    status=$?
}

# 2 KiB of bytes from a fixed-seed generator: the same spoilt file on every run.
make_garbage() {
    local seed=20080121 i hex out=""
    for ((i = 0; i < 2048; i++)); do
        seed=$(((seed * 1103515245 + 12345) & 0x7fffffff))
        printf -v hex '\\x%02x' $(((seed >> 16) & 255))
        out+=$hex
    done
    printf "$out" >"$1"
}

# ---- a normal start and stop ----
new_case normal
run_windowed
expect_status 0
expect_quiet_end
expect_log "$dir" "${banner[@]}" "${startup[@]}" "${shutdown[@]}"

# ---- an abnormal end: every line logged so far is already in the file ----
# The game waits in its title menu; it is killed outright as soon as start-up has logged its
# last line, so nothing but the per-line flush can have put the lines there.
new_case killed
(cd "$dir" && exec env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "${emulator[@]}" "$game" \
    >"$work/$current.out" 2>"$work/$current.err") &
pid=$!
for i in $(seq 2400); do
    grep -qx "startup_game done" "$dir/logfile.txt" 2>/dev/null && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
done
if kill -KILL "$pid" 2>/dev/null; then
    wait "$pid" 2>/dev/null
    expect_log "$dir" "${banner[@]}" "${startup[@]}"
else
    wait "$pid"
    status=$?
    fail "the game ended by itself in its title menu (status $status)"
fi

# ---- every asset missing, then spoilt ----
garbage="$work/garbage.bin"
make_garbage "$garbage"
for i in "${!files[@]}"; do
    for how in missing garbage; do
        new_case "${files[$i]}-$how"
        rm "$dir/Data/${files[$i]}"
        [ "$how" = garbage ] && cp "$garbage" "$dir/Data/${files[$i]}"
        run_headless
        expect_status 1
        expect_quiet_end
        mapfile -t before < <(startup_through "$(phase_of "$i")")
        expect_log "$dir" "${banner[@]}" "${before[@]}" "${messages[$i]}" "$fatal_end" "${shutdown[@]}"
    done
done

# ---- the files are loaded in table order: with a row and every later one gone, that row fails ----
for i in "${!files[@]}"; do
    new_case "order-${files[$i]}"
    for ((j = i; j < ${#files[@]}; j++)); do
        rm "$dir/Data/${files[$j]}"
    done
    run_headless
    expect_status 1
    expect_quiet_end
    mapfile -t before < <(startup_through "$(phase_of "$i")")
    expect_log "$dir" "${banner[@]}" "${before[@]}" "${messages[$i]}" "$fatal_end" "${shutdown[@]}"
done

new_case no-data-directory
rm -r "$dir/Data"
run_headless
expect_status 1
expect_quiet_end
expect_log "$dir" "${banner[@]}" "${startup[@]:0:8}" "Unable to load font!" "$fatal_end" "${shutdown[@]}"

# ---- no audio device ----
# Classic SDL 1.2 starts without audio when the driver is unknown, and the mixer is where it
# fails; sdl12-compat opens audio inside SDL_Init, so there SDL itself cannot start. Both are
# failures the game must report as written; the log says which one this SDL has.
new_case unknown-audio-driver
run_headless SDL_AUDIODRIVER=no-such-audio-driver
expect_status 1
expect_quiet_end
if [ "$(sed -n 9p "$dir/logfile.txt" 2>/dev/null)" = "Unable to init SDL." ]; then
    expect_log "$dir" "${banner[@]}" "Randomize" "Initiating SDL" "Unable to init SDL." "$fatal_end" \
        "${shutdown[@]}"
else
    expect_log "$dir" "${banner[@]}" "${startup[@]:0:9}" "~^Unable to initialize audio: .+$" "" \
        "$fatal_end" "${shutdown[@]}"
fi
echo "no audio device: $(grep -m1 '^Unable to initialize audio' "$dir/logfile.txt" 2>/dev/null)"

# ---- no video driver: SDL itself cannot start ----
new_case unknown-video-driver
run_headless SDL_VIDEODRIVER=no-such-video-driver
expect_status 1
expect_quiet_end
expect_log "$dir" "${banner[@]}" "Randomize" "Initiating SDL" "Unable to init SDL." "$fatal_end" \
    "${shutdown[@]}"

# ---- the log cannot be created: a directory stands where it would go (root ignores modes) ----
new_case log-cannot-be-created
mkdir "$dir/logfile.txt"
run_windowed
expect_status 0
expect_quiet_end
[ -d "$dir/logfile.txt" ] || fail "logfile.txt is no longer a directory"
[ -z "$(ls -A "$dir/logfile.txt")" ] || fail "something was written into logfile.txt/"
[ "$(ls -A "$dir" | sort | tr '\n' ' ')" = "Data logfile.txt " ] || fail "unexpected files: $(ls -A "$dir")"

# The fatal path without a log: nothing written anywhere, and still the failure status.
new_case fatal-without-log
mkdir "$dir/logfile.txt"
rm "$dir/Data/arcadepi.ttf"
run_headless
expect_status 1
expect_quiet_end
[ -z "$(ls -A "$dir/logfile.txt")" ] || fail "something was written into logfile.txt/"

echo "$cases cases, $failures failure(s)"
[ "$failures" -eq 0 ]
