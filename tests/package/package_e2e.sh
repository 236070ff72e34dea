#!/usr/bin/env bash
# package_e2e.sh -- makes the Debian package and checks it the way a player meets it: its control
# fields and file list, lintian, the menu entry, the AppStream metadata and the manual page; then
# installs it (as root, when no umbrafront package is installed already; otherwise it unpacks it
# and says so), starts /usr/games/umbrafront from an unrelated directory with a fresh HOME, headless
# and in a real X window, and finally removes it and checks that nothing of it is left behind.
# Usage: package_e2e.sh <build dir>
set -u

if [ $# -ne 1 ]; then
    echo "usage: $0 <build dir>" >&2
    exit 2
fi
build=$(readlink -f "$1")
work=$(mktemp -d /tmp/umbra-package-e2e-XXXXXX)
installed=0
xvfb_pid=""
game_pid=""

cleanup() {
    [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    # A failure half-way must not leave the package on the machine.
    [ "$installed" -eq 1 ] && dpkg --purge umbrafront >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL [$current]: $*"
    failures=$((failures + 1))
}

# ---- the package ----
current=build
rm -f "$build"/umbrafront_*.deb
if ! cmake --build "$build" --target package >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    echo "FAIL: the package could not be made"
    exit 1
fi
debs=("$build"/umbrafront_*_"$(dpkg --print-architecture)".deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "FAIL: expected one build/umbrafront_<version>_<arch>.deb, found: ${debs[*]}"
    exit 1
fi
deb=${debs[0]}
echo "package: $(basename "$deb")"

current=control
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = umbrafront ] || fail "Package is '$(field Package)'"
[ "$(basename "$deb")" = "umbrafront_$(field Version)_$(field Architecture).deb" ] ||
    fail "file name does not match version $(field Version) and architecture $(field Architecture)"
[ "$(field Section)" = games ] || fail "Section is '$(field Section)'"
[[ $(field Maintainer) =~ ^.+\ \<.+@.+\>$ ]] || fail "Maintainer is '$(field Maintainer)'"
[ -n "$(field Description)" ] || fail "no Description"
# The dependencies come from the libraries the binary links, not from a hand-written list.
depends=$(field Depends | tr ',' '\n' | awk '{print $1}')
for lib in libc6 libstdc++6 libsdl1.2debian libsdl-image1.2 libsdl-mixer1.2 libsdl-ttf2.0-0; do
    grep -qxF "$lib" <<<"$depends" || fail "Depends lacks $lib: $(field Depends)"
done
[[ $(field Recommends) =~ libsdl1.2-compat ]] || fail "Recommends lacks libsdl1.2-compat"

current=contents
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|; s|/$||' | grep -v '^$' | sort >"$work/contents"
expected=(/usr/games/umbrafront /usr/lib/games/umbrafront/umbrafront /usr/lib/games/umbrafront/umbrafront-pads
    /usr/share/applications/umbrafront.desktop /usr/share/man/man6/umbrafront.6.gz
    /usr/share/doc/umbrafront/copyright /usr/share/doc/umbrafront/changelog.Debian.gz)
for size in 16 32 48 64 128 256; do
    expected+=("/usr/share/icons/hicolor/${size}x$size/apps/umbrafront.png")
done
for f in "$build"/Data/*; do
    expected+=("/usr/share/games/umbrafront/Data/$(basename "$f")")
done
for path in "${expected[@]}"; do
    grep -qxF "$path" "$work/contents" || fail "$path is not in the package"
done
grep -qE '^/usr/share/metainfo/[^/]+\.metainfo\.xml$' "$work/contents" || fail "no AppStream metainfo file"
outside=$(grep -vE '^/usr(/|$)' "$work/contents")
[ -z "$outside" ] || fail "files outside /usr: $outside"

current=lintian
if lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1; then
    grep -E '^[EW]: ' "$work/lintian.log" && fail "lintian reports errors or warnings"
else
    fail "lintian: $(cat "$work/lintian.log")"
fi

unpacked=$work/unpacked
dpkg-deb -x "$deb" "$unpacked"

current=desktop-entry
desktop-file-validate "$unpacked/usr/share/applications/umbrafront.desktop" >"$work/desktop.log" 2>&1 ||
    fail "desktop-file-validate: $(cat "$work/desktop.log")"
[ -s "$work/desktop.log" ] && fail "desktop-file-validate says: $(cat "$work/desktop.log")"
grep -qx 'Categories=Game;StrategyGame;' "$unpacked/usr/share/applications/umbrafront.desktop" ||
    fail "the menu entry is not in Game and StrategyGame"

current=metainfo
for xml in "$unpacked"/usr/share/metainfo/*.metainfo.xml; do
    appstreamcli validate --no-net "$xml" >"$work/appstream.log" 2>&1 ||
        fail "appstreamcli: $(cat "$work/appstream.log")"
    grep -q '<screenshot' "$xml" || fail "no screenshot in $xml"
    grep -q '<content_rating' "$xml" || fail "no content rating in $xml"
done

current=manual
man_warnings=$(zcat "$unpacked/usr/share/man/man6/umbrafront.6.gz" | groff -man -ww -Tutf8 -z 2>&1)
[ -z "$man_warnings" ] || fail "groff: $man_warnings"
man_text=$(zcat "$unpacked/usr/share/man/man6/umbrafront.6.gz" | groff -man -Tutf8 2>/dev/null | col -b)
for section in CONTROLS FILES ENVIRONMENT; do
    grep -qx "$section" <<<"$man_text" || fail "the manual page has no $section section"
done
grep -q 'logfile.txt' <<<"$man_text" || fail "the manual page does not name the log"

# ---- install, or unpack when this machine's packages are not ours to change ----
current=install
if [ "$(id -u)" -ne 0 ]; then
    echo "not root: checking the unpacked package instead of installing it"
    prefix=$unpacked
elif dpkg-query -W -f='${Status}' umbrafront 2>/dev/null | grep -q 'ok installed'; then
    echo "an umbrafront package is installed already: leaving it alone, checking the unpacked package"
    prefix=$unpacked
else
    # Another dpkg may hold the lock for a moment.
    for attempt in 1 2 3 4 5 6 7 8 9 10; do
        dpkg -i "$deb" >"$work/dpkg.log" 2>&1 && { installed=1; break; }
        grep -q 'lock' "$work/dpkg.log" || break
        sleep 3
    done
    [ "$installed" -eq 1 ] || { cat "$work/dpkg.log"; dpkg --purge umbrafront >/dev/null 2>&1; echo "FAIL: dpkg -i"; exit 1; }
    echo "installed with dpkg -i"
    prefix=""
fi
launcher=$prefix/usr/games/umbrafront
[ -x "$launcher" ] || fail "no launcher at $launcher"

# Starts the launcher from an unrelated directory with a fresh HOME and no XDG_STATE_HOME.
start_game() {
    home=$work/home-$current
    mkdir -p "$home" "$work/elsewhere"
    (cd "$work/elsewhere" && exec env -u XDG_STATE_HOME -u SDL12COMPAT_WINDOW_SCALING \
        -u SDL12COMPAT_SCALE_METHOD HOME="$home" "$@" "$launcher" >"$work/$current.out" 2>&1) &
    game_pid=$!
    log=$home/.local/state/umbrafront/logfile.txt
}

wait_for_startup() {
    for _ in $(seq 600); do
        grep -qx "startup_game done" "$log" 2>/dev/null && return 0
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.05
    done
    fail "no 'startup_game done' in $log: $(cat "$log" 2>/dev/null) $(cat "$work/$current.out")"
    return 1
}

# SDL turns SIGTERM into a close request, which the game ignores by design.
stop_game() {
    kill -KILL "$game_pid" 2>/dev/null
    wait "$game_pid" 2>/dev/null
    game_pid=""
}

current=headless
start_game SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
wait_for_startup && head -1 "$log" | grep -qx "Umbrafront Tandem" || fail "the log does not start with the banner"
stop_game
[ "$(readlink "$home/.local/state/umbrafront/Data")" = "$prefix/usr/share/games/umbrafront/Data" ] ||
    fail "Data in the per-user folder points at '$(readlink "$home/.local/state/umbrafront/Data")'"
[ -z "$(ls -A "$work/elsewhere")" ] || fail "the game wrote into the directory it was started from"

# The pad tool as installed rewrites a mapping line given to it.
current=pads-tool
pads_out=$("$prefix/usr/lib/games/umbrafront/umbrafront-pads" \
    "030000005e0400008e02000014010000,Xbox 360 Controller,a:b0,dpup:h0.1,platform:Linux," 2>&1)
[ "$pads_out" = "030000005e0400008e02000014010000,Xbox 360 Controller,dpdown:b0,a:h0.1,platform:Linux," ] ||
    fail "umbrafront-pads prints '$pads_out'"

# ---- a real X window, scaled by the compatibility layer ----
compat=$(grep -m1 -oE '^compat="[^"]+"' "$launcher" | cut -d'"' -f2)
current=x-server
# Another X server may take the display Xvfb picked at the same moment: then try again.
for attempt in 1 2 3 4 5; do
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    [ -s "$work/display" ] && kill -0 "$xvfb_pid" 2>/dev/null && break
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
    sleep 1
done
[ -n "$xvfb_pid" ] || { fail "Xvfb did not start: $(cat "$work/xvfb.log")"; exit 1; }
export DISPLAY=":$(head -1 "$work/display")"

window_size() {
    local win
    win=$(timeout 30 xdotool search --sync --name '^Umbrafront$' 2>/dev/null | head -1)
    [ -n "$win" ] || return 1
    # The window may be mapped before the mode is set; the size must hold steady.
    sleep 1
    xwininfo -id "$win" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'
}

if [ ! -f "$compat" ]; then
    fail "the SDL 1.2 compatibility layer ($compat) is missing (scripts/install-deps.sh installs it)"
else
    # 1920 x 1080 takes the window 4 times: 5 times would be 1200 rows high.
    current=scaled-window
    start_game SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
    size=$(window_size) || fail "no window captioned Umbrafront"
    [ "$size" = 1280x960 ] || fail "window is ${size}, expected 1280x960"
    wait_for_startup
    # Escape on the title quits the game: the key reaches it through the scaled window. Held
    # until the game is gone, since a press and release read in one poll would cancel out.
    current=key-press
    xdotool mousemove 960 540 >/dev/null 2>&1
    xdotool keydown Escape
    for _ in $(seq 100); do
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.1
    done
    xdotool keyup Escape
    if kill -0 "$game_pid" 2>/dev/null; then
        fail "the game did not quit on Escape"
        stop_game
    else
        wait "$game_pid"
        status=$?
        game_pid=""
        [ "$status" -eq 0 ] || fail "the launcher ended with status $status, expected the game's 0"
        [ "$(tail -1 "$log")" = "Shutting down logfile and exiting game." ] ||
            fail "the log does not end with the shut-down: $(tail -1 "$log")"
    fi

    current=player-scale
    start_game SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy SDL12COMPAT_WINDOW_SCALING=2
    size=$(window_size) || fail "no window captioned Umbrafront"
    [ "$size" = 640x480 ] || fail "window is ${size} with the player's scale 2, expected 640x480"
    stop_game
fi
kill "$xvfb_pid" 2>/dev/null
wait "$xvfb_pid" 2>/dev/null
xvfb_pid=""

# ---- removal leaves nothing behind ----
if [ "$installed" -eq 1 ]; then
    current=remove
    dpkg -r umbrafront >/dev/null 2>&1 || fail "dpkg -r failed"
    dpkg --purge umbrafront >/dev/null 2>&1 || fail "dpkg --purge failed"
    installed=0
    while read -r path; do
        [ -d "$unpacked$path" ] && continue
        [ -e "$path" ] || [ -L "$path" ] && fail "$path is left after removal"
    done <"$work/contents"
    for dir in /usr/lib/games/umbrafront /usr/share/games/umbrafront /usr/share/doc/umbrafront; do
        [ -e "$dir" ] && fail "$dir is left after removal"
    done
    dpkg-query -W -f='${Status}' umbrafront 2>/dev/null | grep -q 'installed' && fail "dpkg still lists umbrafront"
    echo "removed and purged: nothing left"
fi

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
