#!/usr/bin/env bash
# web-build.sh -- builds the game for the browser and writes the static site folder that any web
# server can host (index.html, page.js, page.css, umbrafront.js, umbrafront.wasm, Data/, files.json).
# Installs what is missing, builds (or reuses the cached) SDL2 libraries for emscripten with
# web/build-libs.sh, makes the Data files with the native generators in build/, then links the
# game on the sdl12on2 layer in build-web/. The last line printed is the site folder.
#
# Usage: scripts/web-build.sh
set -euo pipefail

[ $# -eq 0 ] || { echo "usage: $0" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
fail() { echo "FAIL: $*" >&2; exit 1; }

scripts/install-deps.sh
# Debian's emscripten runs its tools with the node on PATH, which needs Debian's node modules,
# and starts "python3" from PATH unless told which (a pyenv shim costs a second a call).
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
export EMSDK_PYTHON=${EMSDK_PYTHON:-/usr/bin/python3}
command -v emcmake >/dev/null || fail "emcmake is missing (Debian's emscripten package)"
[ -x web/build-libs.sh ] || fail "web/build-libs.sh is missing"

echo "== SDL2 libraries for emscripten (web/build-libs.sh; cached after the first run)"
libs_out=$(mktemp)
trap 'rm -f "$libs_out"' EXIT
web/build-libs.sh | tee "$libs_out" || fail "web/build-libs.sh failed"
prefix=$(tail -n 1 "$libs_out")
[ -f "$prefix/lib/libSDL2.a" ] || fail "web/build-libs.sh did not end with a prefix holding lib/libSDL2.a (got \"$prefix\")"
# The emscripten environment the libraries were built with (its own library cache, EM_CACHE).
env_file=$prefix/share/umbrafront/emscripten-env.sh
if [ -f "$env_file" ]; then
  # shellcheck source=/dev/null
  source "$env_file"
fi

echo "== Data files from the native generators (build/)"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || fail "configuring build/ failed"
cmake --build build --target assets -j2 || fail "generating the Data files failed"
[ -f build/Data/arcadepi.ttf ] || fail "build/Data has no font after the assets target"

echo "== The game for the browser (build-web/)"
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release \
  -DUMBRA_SDL_LAYER=ON -DUMBRA_ASSETS=OFF -DUMBRA_TESTS=OFF -DUMBRA_BENCH=OFF \
  -DUMBRA_WEB_LIBS="$prefix" -DUMBRA_DATA_SOURCE="$root/build/Data" >/dev/null ||
  fail "configuring build-web/ failed"
cmake --build build-web -j2 || fail "building build-web/ failed"
[ -f build-web/site/files.json ] || fail "build-web/site was not written"

echo "site: $root/build-web/site (serve it with scripts/web-serve.sh)"
echo "$root/build-web/site"
