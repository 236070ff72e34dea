#!/usr/bin/env bash
# Builds everything and runs the whole test suite headless: once in the normal build, once in a
# build with AddressSanitizer and UndefinedBehaviorSanitizer, once under sdl12-compat and once
# cross-built for 32-bit ARM (armhf) under qemu-user, once on the sdl12on2 layer (the SDL 1.2
# interface over SDL2), then the handheld port (aarch64, PortMaster) checked and launched under
# qemu-user, and the browser build in headless Chromium beside all but the first.
# Each part reports how long it took.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

# Every configuration and every clone compiles the same sources: a compiler cache beside the
# other caches makes a fresh clone's builds quick. Paths are taken relative to the clone, so any
# clone finds what another one compiled.
export CCACHE_DIR="${XDG_CACHE_HOME:-$HOME/.cache}/umbrafront/ccache" CCACHE_BASEDIR="$PWD"
export CCACHE_NOHASHDIR=1 CCACHE_MAXSIZE=3G
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache

timings=()
timed() {
  local label=$1 started
  shift
  started=$(date +%s)
  "$@"
  timings+=("$label: $(($(date +%s) - started)) s")
}

native() {
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  timed "native build" cmake --build build -j"$(nproc)"
  timed "native suite" ctest --test-dir build --output-on-failure -j2
}

sanitized() {
  cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DUMBRA_SANITIZE=ON >/dev/null
  timed "sanitizer build" cmake --build build-sanitize -j"$(nproc)"
  timed "sanitizer suite" ctest --test-dir build-sanitize --output-on-failure -j2
}

timed "native, total" native

# The browser tests spend most of their time waiting for the game in real time, so they run
# beside the other parts, in a process group of their own (ended with this script), their output
# kept in a log that is shown when they are done. They start once build/ (whose Data they use)
# is complete.
mkdir -p build-web
web_log=build-web/test.log
web_started=$(date +%s)
setsid scripts/web-test.sh >"$web_log" 2>&1 &
web_pid=$!
trap 'kill -- -"$web_pid" 2>/dev/null || true' EXIT

timed "sanitizer, total" sanitized
timed "sdl12-compat, total" scripts/compat-test.sh
timed "armhf, total" scripts/cross-test.sh armhf
timed "sdl12on2 layer, total" scripts/layer-test.sh
timed "handheld port (aarch64), total" scripts/port-test.sh aarch64

echo "== browser (beside the parts above): its output"
web_status=0
wait "$web_pid" || web_status=$?
trap - EXIT
cat "$web_log"
timings+=("browser, total (beside the others): $(($(date +%s) - web_started)) s")
printf '== %s\n' "${timings[@]}"
if [ "$web_status" -ne 0 ]; then
  echo "== the browser tests failed (exit status $web_status)" >&2
  exit "$web_status"
fi
