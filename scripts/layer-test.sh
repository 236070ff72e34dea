#!/usr/bin/env bash
# Builds everything in build-layer/ with the game on our own SDL 1.2 layer over SDL2 (sdl12on2,
# UMBRA_SDL_LAYER=ON) and runs the whole suite there, ending with ctest's summary. The Data files
# come from this build's own asset generators, which keep the system's SDL 1.2.
#
# Usage: scripts/layer-test.sh [extra ctest arguments, e.g. -R board_test]
set -euo pipefail

case ${1:-} in
  -h|--help)
    echo "usage: $0 [extra ctest arguments]" >&2
    exit 2
    ;;
esac

cd "$(dirname "$0")/.."
scripts/install-deps.sh
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
build="build-layer"

# The tests and benchmarks are named: a build of the layer alone may have left them off here.
mkdir -p "$build"
if ! cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DUMBRA_SDL_LAYER=ON -DUMBRA_ASSETS=ON \
    -DUMBRA_TESTS=ON -DUMBRA_BENCH=ON >"$build/configure.log" 2>&1; then
  cat "$build/configure.log" >&2
  echo "configuring $build with the layer failed" >&2
  exit 1
fi
started=$(date +%s)
if ! cmake --build "$build" -j2; then
  echo "building $build failed" >&2
  exit 1
fi
echo "== sdl12on2 layer: built in $(($(date +%s) - started)) s"

# A suite that silently ran on the system's SDL 1.2 would prove nothing: the game must hold the
# layer's calls and load SDL2, never SDL 1.2.
game=$PWD/$build/umbrafront
needed=$(readelf -d "$game" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
if grep -q '^libSDL-1\.2' <<<"$needed"; then
  echo "$game loads SDL 1.2 ($(grep '^libSDL-1\.2' <<<"$needed" | tr '\n' ' ')), not the layer alone" >&2
  exit 1
fi
if ! grep -q '^libSDL2-2\.0' <<<"$needed"; then
  echo "$game does not load SDL2; it needs: $(tr '\n' ' ' <<<"$needed")" >&2
  exit 1
fi
# nm's whole output first: grep -q stops reading at the first match, and under pipefail nm's
# broken pipe would fail the test.
symbols=$(nm "$game")
if ! grep -q ' T sdl12_SDL_Init$' <<<"$symbols"; then
  echo "$game holds no sdl12_SDL_Init: it is not built on the layer" >&2
  exit 1
fi
echo "sdl12on2 layer over $(tr '\n' ' ' <<<"$needed" | grep -o 'libSDL2[^ ]*' | tr '\n' ' ')"

cd "$build"
ctest --output-on-failure -j2 "$@"
