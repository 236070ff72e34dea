#!/usr/bin/env bash
# Checks the browser build's libraries (web/build-libs.sh) end to end: links libs_smoke.c against
# them the way the game links, runs it in headless Chromium on the game's own Data files, and
# expects every library to work there, with the pictures and the text decoded and drawn exactly as
# the same program draws them natively with Debian's SDL2 libraries of the same versions.
#
# Usage: tests/web/libs_smoke.sh
set -euo pipefail

if [ $# -ne 0 ]; then
  echo "usage: $0" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

prefix=$(web/build-libs.sh | tail -n 1)
[ -f "$prefix/lib/libSDL2.a" ] || fail "web/build-libs.sh gave no prefix with lib/libSDL2.a (\"$prefix\")"
# shellcheck source=/dev/null
source "$prefix/share/umbrafront/emscripten-env.sh"

if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build build --target assets -j2 >/dev/null || fail "generating the Data files in build/ failed"

work=$(mktemp -d)
server=
browser=
stop() {
  kill "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}
cleanup() {
  if [ -n "$browser" ]; then stop "$browser"; fi
  if [ -n "$server" ]; then stop "$server"; fi
  if [ -n "${UMBRA_KEEP_SMOKE:-}" ]; then
    echo "kept $work" >&2
  else
    rm -rf "$work"
  fi
}
trap cleanup EXIT

data_files=(title.png tiles.bmp arcadepi.ttf pyramid.mod creek.ogg arrow.wav)
mkdir -p "$work/site/Data"
for f in "${data_files[@]}"; do
  cp "build/Data/$f" "$work/site/Data/" || fail "build/Data/$f is missing"
done

# The libraries by full path, in the order the game links them: a -l name would make emscripten
# fetch a port of its own.
archives=()
for lib in SDL2_ttf freetype SDL2_image SDL2_mixer xmp SDL2; do
  archives+=("$prefix/lib/lib$lib.a")
done
# shellcheck disable=SC2016 # the $ names are emscripten's, not the shell's
emcc -O2 tests/web/libs_smoke.c -I"$prefix/include/SDL2" -o "$work/site/index.html" \
  -sASYNCIFY -sALLOW_MEMORY_GROWTH=1 -sMINIFY_HTML=0 -sAUTO_JS_LIBRARIES=0 -lhtml5.js \
  '-sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=$autoResumeAudioContext,$dynCall' \
  --preload-file "$work/site/Data@Data" "${archives[@]}" || fail "linking libs_smoke.c for the browser failed"

# shellcheck disable=SC2046
cc tests/web/libs_smoke.c -o "$work/native" $(pkg-config --cflags --libs sdl2 SDL2_image SDL2_ttf SDL2_mixer) ||
  fail "building libs_smoke.c natively failed"
(cd "$work/site" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$work/native") >"$work/native.txt" ||
  fail "the native run failed: $(cat "$work/native.txt")"

scripts/web-serve.sh --quiet "$work/site" >"$work/serve.out" &
server=$!
for _ in $(seq 100); do
  if [ -s "$work/serve.out" ] || ! kill -0 "$server" 2>/dev/null; then break; fi
  sleep 0.1
done
address=$(head -n 1 "$work/serve.out")
[ -n "$address" ] || fail "scripts/web-serve.sh printed no address"

# Chromium writes the page's console to its log; the program's last line is "smoke: done".
mkdir "$work/profile"
chromium --headless=new --no-sandbox --disable-gpu --no-first-run --disable-background-networking \
  --disable-component-update --disable-sync --user-data-dir="$work/profile" \
  --autoplay-policy=no-user-gesture-required --enable-logging=stderr --v=0 \
  "${address%/}/index.html" >/dev/null 2>"$work/chromium.log" &
browser=$!
# A bound only for a browser that hangs: the program is done within seconds.
for _ in $(seq 1200); do
  if grep -q '"smoke: done"' "$work/chromium.log" || ! kill -0 "$browser" 2>/dev/null; then break; fi
  sleep 0.1
done
sed -n 's/.*:CONSOLE[^"]*"\(smoke: .*\)", source: .*/\1/p' "$work/chromium.log" >"$work/web.txt"

# What the browser must print: the pictures and the text as the native libraries see them.
native_line() {
  grep -m1 "^smoke: $1 " "$work/native.txt" || fail "the native run printed no $1 line: $(cat "$work/native.txt")"
}
expected=(
  "smoke: init ok"
  "smoke: joysticks 0"
  "smoke: window 320x200"
  "$(native_line png)"
  "$(native_line bmp)"
  "$(native_line text)"
  "smoke: update ok"
  "smoke: delay ok"
  "smoke: audio ok"
  "smoke: music Data/pyramid.mod mod"
  "smoke: music Data/creek.ogg ogg"
  "smoke: wav ok"
  "smoke: done"
)
if grep -q failed "$work/native.txt" || [ "$(grep -c '^smoke: \(png\|bmp\|text\) [0-9]*x[0-9]* [0-9a-f]*$' "$work/native.txt")" != 3 ]; then
  fail "the native run could not load the pictures or the font: $(cat "$work/native.txt")"
fi
if ! diff <(printf '%s\n' "${expected[@]}") "$work/web.txt" >"$work/diff.txt"; then
  echo "expected (<) against the browser's output (>):" >&2
  cat "$work/diff.txt" >&2
  echo "the page's other console lines:" >&2
  grep ':CONSOLE' "$work/chromium.log" | grep -v '"smoke: ' | head -n 20 >&2 || true
  fail "the browser run of libs_smoke.c differs"
fi
echo "PASS: libs_smoke.c in the browser: $(($(wc -l <"$work/web.txt") - 1)) checks as expected," \
  "pictures and text identical to Debian's native SDL2 libraries"
