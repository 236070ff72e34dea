#!/usr/bin/env bash
# launcher_e2e.sh -- the installed launcher in a tree laid out as the package lays it out, with a
# stand-in for the game that reports where and how it was started, and stand-ins for xrandr and
# xdpyinfo that report chosen screens: the per-user folder and its Data link, the scale picked for
# each screen, the player's own settings left alone, the exit status passed on, the pad mappings
# handed on from a stand-in umbrafront-pads, and the failures to prepare the folder.
# Usage: launcher_e2e.sh <configured launcher> <launcher dir> <game dir> <data dir> <compat library>
set -u

if [ $# -ne 5 ]; then
    echo "usage: $0 <launcher> <launcher dir> <game dir> <data dir> <compat library>" >&2
    exit 2
fi
work=$(mktemp -d /tmp/umbra-launcher-e2e-XXXXXX)
trap 'rm -rf "$work"' EXIT

root=$work/root
launcher=$root/$2/umbrafront
game=$root/$3/umbrafront
data=$root/$4
compat=$work/compat/libSDL-1.2.so.0
mkdir -p "$(dirname "$launcher")" "$(dirname "$game")" "$data" "$work/compat" "$work/bin"
# Only the compatibility layer's path is the system's; here it points at a library of our own
# choosing, so that its presence is the test's to decide. Preloading the C library changes nothing.
grep -qF "\"$5\"" "$1" || { echo "FAIL: $1 does not name $5"; exit 1; }
sed "s|\"$5\"|\"$compat\"|" "$1" >"$launcher"
chmod 755 "$launcher"
libc=$(ldd /bin/bash | awk '/libc\.so/ {print $3; exit}')
[ -f "$libc" ] || { echo "FAIL: no C library found for the stand-in compatibility layer"; exit 1; }

cat >"$game" <<'GAME'
#!/bin/bash
{
    echo "pwd=$(pwd -P)"
    echo "data=$(readlink Data)"
    echo "scaling=${SDL12COMPAT_WINDOW_SCALING-unset}"
    echo "method=${SDL12COMPAT_SCALE_METHOD-unset}"
    echo "preload=${LD_PRELOAD-unset}"
    echo "pads=$(printf '%s' "${SDL_GAMECONTROLLERCONFIG-unset}" | tr '\n' '|')"
    echo "controllers=${SDL12COMPAT_USE_GAME_CONTROLLERS-unset}"
    echo "args=$*"
} >"$FAKE_REPORT"
exit "${FAKE_STATUS:-0}"
GAME
chmod 755 "$game"

failures=0
cases=0
fail() {
    echo "FAIL [$current]: $*"
    failures=$((failures + 1))
}

# Stand-in for an X tool: prints the file named by $FAKE_<TOOL> and succeeds, or fails when unset.
for tool in xrandr xdpyinfo; do
    var=FAKE_$(echo "$tool" | tr a-z A-Z)
    printf '#!/bin/bash\n[ -n "${%s:-}" ] || { echo "unable to open display" >&2; exit 1; }\ncat "$%s"\n' \
        "$var" "$var" >"$work/bin/$tool"
    chmod 755 "$work/bin/$tool"
done

# Runs the launcher from an unrelated directory with a fresh HOME; extra VAR=value arguments
# are added to its environment. Sets status, out (stdout+stderr) and report (the game's report).
run() {
    cases=$((cases + 1))
    home=$work/home-$cases
    mkdir -p "$home" "$work/elsewhere"
    rm -f "$work/report"
    (cd "$work/elsewhere" && env -i PATH="$work/bin:/usr/bin:/bin" HOME="$home" DISPLAY=:99 \
        FAKE_REPORT="$work/report" "$@" "$launcher" first second >"$work/out" 2>&1)
    status=$?
    out=$(cat "$work/out")
    report=$(cat "$work/report" 2>/dev/null)
}

expect() {
    grep -qxF "$1" <<<"$report" || fail "expected '$1' in the game's report, got: $(tr '\n' ' ' <<<"$report")"
}

# ---- the per-user folder, the Data link, the arguments and the status ----
current=default-folder
ln -sf "$libc" "$compat"
run FAKE_STATUS=0
[ "$status" -eq 0 ] || fail "exit status $status: $out"
expect "pwd=$home/.local/state/umbrafront"
expect "data=$data"
expect "args=first second"
[ -z "$out" ] || fail "the launcher said something: $out"

current=status-passed-on
run FAKE_STATUS=7
[ "$status" -eq 7 ] || fail "exit status $status, expected the game's 7"

current=xdg-state-home
run XDG_STATE_HOME="$work/state"
expect "pwd=$work/state/umbrafront"

current=relative-xdg-state-home-ignored
run XDG_STATE_HOME=relative/state
expect "pwd=$home/.local/state/umbrafront"
[ ! -e "$work/elsewhere/relative" ] || fail "made a folder under the working directory"

current=stale-link-replaced
mkdir -p "$work/state2/umbrafront"
ln -s /nonexistent "$work/state2/umbrafront/Data"
run XDG_STATE_HOME="$work/state2"
expect "data=$data"

# ---- the scale: one screen after another ----
printf 'Screen 0: minimum 8 x 8, current %s, maximum 32767 x 32767\n%s\n' "3840 x 1080" \
    "DP-1 connected 1920x1080+0+0 (normal left inverted right x axis y axis) 527mm x 296mm
   1920x1080     60.00*+
HDMI-1 connected primary 2560x1440+1920+0 (normal left inverted right x axis y axis) 597mm x 336mm
   2560x1440     59.95*+
VGA-1 disconnected (normal left inverted right x axis y axis)" >"$work/xrandr-two"
printf 'DP-1 connected 1366x768+0+0 (normal) 0mm x 0mm\nHDMI-1 connected 3840x2160+1366+0 (normal) 0mm x 0mm\n' \
    >"$work/xrandr-no-primary"
printf 'VGA-1 disconnected (normal left inverted right x axis y axis)\n' >"$work/xrandr-none"
for size in 1920x1080 1366x768 640x480 300x200 3840x2160 1280x800; do
    printf 'name of display:    :99\nscreen #0:\n  dimensions:    %s pixels (508x285 millimeters)\n' "$size" \
        >"$work/xdpyinfo-$size"
done
printf 'name of display:    :99\nscreen #0:\n  dimensions:    wide pixels\n' >"$work/xdpyinfo-garbage"

# case name | expected scale | environment
scale_cases=(
    "primary-monitor-of-two|5|FAKE_XRANDR=$work/xrandr-two FAKE_XDPYINFO=$work/xdpyinfo-3840x2160"
    "first-monitor-without-primary|2|FAKE_XRANDR=$work/xrandr-no-primary"
    "xdpyinfo-when-xrandr-fails|4|FAKE_XDPYINFO=$work/xdpyinfo-1920x1080"
    "xdpyinfo-when-no-monitor-connected|2|FAKE_XRANDR=$work/xrandr-none FAKE_XDPYINFO=$work/xdpyinfo-1366x768"
    "4k|8|FAKE_XDPYINFO=$work/xdpyinfo-3840x2160"
    "1280x800-just-fits-3|3|FAKE_XDPYINFO=$work/xdpyinfo-1280x800"
    "640x480|1|FAKE_XDPYINFO=$work/xdpyinfo-640x480"
    "smaller-than-the-window|1|FAKE_XDPYINFO=$work/xdpyinfo-300x200"
    "unreadable-size|3|FAKE_XDPYINFO=$work/xdpyinfo-garbage"
    "no-tool-answers|3|"
    "no-display|3|DISPLAY= FAKE_XDPYINFO=$work/xdpyinfo-1920x1080"
)
for entry in "${scale_cases[@]}"; do
    IFS='|' read -r current want envs <<<"$entry"
    read -r -a envs <<<"$envs"
    run "${envs[@]}"
    [ "$status" -eq 0 ] || fail "exit status $status: $out"
    expect "scaling=$want"
    expect "method=nearest"
    expect "preload=$compat"
done

# ---- what the player set is left alone ----
current=player-scale-kept
run FAKE_XDPYINFO="$work/xdpyinfo-1920x1080" SDL12COMPAT_WINDOW_SCALING=2 SDL12COMPAT_SCALE_METHOD=linear
expect "scaling=2"
expect "method=linear"

current=player-empty-scale-kept
run FAKE_XDPYINFO="$work/xdpyinfo-1920x1080" SDL12COMPAT_WINDOW_SCALING=
expect "scaling="
expect "method=nearest"

current=player-preload-kept
run LD_PRELOAD="$libc"
expect "preload=$compat:$libc"

# ---- without the compatibility layer: the game's own window, nothing preloaded ----
current=no-compat
rm -f "$compat"
run FAKE_XDPYINFO="$work/xdpyinfo-1920x1080"
[ "$status" -eq 0 ] || fail "exit status $status: $out"
expect "scaling=unset"
expect "method=unset"
expect "preload=unset"
ln -sf "$libc" "$compat"

# ---- pads: the launcher hands the game what umbrafront-pads (here a stand-in beside the game)
# prints, unless the player set pads up already; the tool can never keep the game from starting ----
pads_tool=$root/$3/umbrafront-pads
cat >"$pads_tool" <<'PADS'
#!/bin/bash
touch "$FAKE_REPORT.pads-ran"
[ -n "${FAKE_PADS_SLEEP:-}" ] && sleep "$FAKE_PADS_SLEEP"
[ -n "${FAKE_PADS:-}" ] && cat "$FAKE_PADS"
exit "${FAKE_PADS_STATUS:-0}"
PADS
chmod 755 "$pads_tool"
line_a="03000000de2800000112000001000000,Steam Pad,dpdown:b0,a:h0.1,paddle1:a2,platform:Linux,"
line_b="19000000010000000100000001010000,Pocket Gamepad,dpdown:b0,dpup:b5,crc:a2f3,"
printf '%s\n%s\nnot a mapping\n%s\n' "$line_a" "umbrafront-pads: a message" "$line_b" >"$work/pads-two"
printf '%s\n' "$line_a" >"$work/pads-one"

pads_run() {
    rm -f "$work/report.pads-ran"
    run "$@"
    [ "$status" -eq 0 ] || fail "exit status $status: $out"
    expect "args=first second"
}
tool_ran() { [ -e "$work/report.pads-ran" ]; }

current=pads-passed-on
pads_run FAKE_PADS="$work/pads-two"
expect "pads=$line_a|$line_b"
expect "controllers=1"

current=pads-passed-on-when-the-tool-also-fails
pads_run FAKE_PADS="$work/pads-one" FAKE_PADS_STATUS=1
expect "pads=$line_a"
expect "controllers=1"

current=no-pad-found
pads_run FAKE_PADS_STATUS=0
tool_ran || fail "umbrafront-pads was not run"
expect "pads=unset"
expect "controllers=unset"

current=tool-crashes
pads_run FAKE_PADS_STATUS=139
expect "pads=unset"
expect "controllers=unset"

current=tool-hangs
pads_run FAKE_PADS="$work/pads-one" FAKE_PADS_SLEEP=60
expect "pads=unset"
expect "controllers=unset"

current=player-pad-config-kept
pads_run FAKE_PADS="$work/pads-one" SDL_GAMECONTROLLERCONFIG=mine
tool_ran && fail "umbrafront-pads was run although the player set SDL_GAMECONTROLLERCONFIG"
expect "pads=mine"
expect "controllers=unset"

current=player-controllers-setting-kept
pads_run FAKE_PADS="$work/pads-one" SDL12COMPAT_USE_GAME_CONTROLLERS=0
tool_ran && fail "umbrafront-pads was run although the player set SDL12COMPAT_USE_GAME_CONTROLLERS"
expect "pads=unset"
expect "controllers=0"

current=player-empty-pad-config-kept
pads_run FAKE_PADS="$work/pads-one" SDL_GAMECONTROLLERCONFIG=
expect "pads="
expect "controllers=unset"

current=pads-without-compat
rm -f "$compat"
pads_run FAKE_PADS="$work/pads-one"
tool_ran && fail "umbrafront-pads was run without the compatibility layer"
expect "pads=unset"
expect "controllers=unset"
ln -sf "$libc" "$compat"
rm -f "$pads_tool"

# ---- the folder cannot be prepared: a clear message, status 1, the game not started ----
expect_refusal() {
    [ "$status" -eq 1 ] || fail "exit status $status, expected 1"
    [ -z "$report" ] || fail "the game was started"
    grep -qE "^umbrafront: .*$1" <<<"$out" || fail "message '$out' does not say '$1'"
}

current=folder-is-a-file
touch "$work/file"
run XDG_STATE_HOME="$work/file"
expect_refusal "cannot prepare the per-user folder $work/file/umbrafront"

current=data-is-a-real-folder
mkdir -p "$work/state3/umbrafront/Data/mine"
run XDG_STATE_HOME="$work/state3"
expect_refusal "Data there is not a link"
[ -d "$work/state3/umbrafront/Data/mine" ] || fail "the player's own Data folder was touched"

current=no-home
(cd "$work/elsewhere" && env -i PATH="$work/bin:/usr/bin:/bin" FAKE_REPORT="$work/report" \
    "$launcher" >"$work/out" 2>&1)
status=$?
out=$(cat "$work/out")
report=$(cat "$work/report" 2>/dev/null)
expect_refusal "neither XDG_STATE_HOME nor HOME is set"

current=game-missing
chmod 644 "$game"
run
expect_refusal "the game is not installed at $game"
chmod 755 "$game"

echo "$cases cases, $failures failure(s)"
[ "$failures" -eq 0 ]
