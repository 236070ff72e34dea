#!/usr/bin/env bash
# Builds everything in build-compat/ and runs the whole suite under sdl12-compat (the SDL 1.2 API
# over SDL2), as Debian ships it for SDL 1.2 programs: its library preloaded. The library is
# unpacked from Debian's package into the build folder, so the machine's own SDL stays as it is.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
build=build-compat
compat=$PWD/$build/sdl12-compat
mkdir -p "$compat"

if ! ls "$compat"/libsdl1.2-compat_*.deb >/dev/null 2>&1; then
  (cd "$compat" && apt-get download libsdl1.2-compat)
fi
deb=$(ls "$compat"/libsdl1.2-compat_*.deb | head -1)
rm -rf "$compat/root"
dpkg -x "$deb" "$compat/root"
library=$(find "$compat/root" -path '*sdl12-compat/libSDL-1.2.so.0' | head -1)
[ -n "$library" ] || { echo "no libSDL-1.2.so.0 in $deb" >&2; exit 1; }

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DUMBRA_SDL_PRELOAD="$library" >/dev/null
started=$(date +%s)
cmake --build "$build" -j"$(nproc)"
echo "== sdl12-compat: built in $(($(date +%s) - started)) s"

# A suite that silently ran on classic SDL would prove nothing: the game must report the
# package's version as its runtime SDL.
version=$(dpkg-deb -f "$deb" Version | sed 's/-.*//')
game=$PWD/$build/umbrafront
probe=$(mktemp -d /tmp/umbra-compat-XXXXXX)
# Without Data/ the game stops at once after logging both version lines.
(cd "$probe" && LD_PRELOAD="$library" "$game" >/dev/null 2>&1) || true
runtime=$(sed -n 's/^SDL runtime version: //p' "$probe/logfile.txt" 2>/dev/null || true)
rm -rf "$probe"
if [ "$runtime" != "$version" ]; then
  echo "the preloaded game reports SDL runtime version '$runtime', not sdl12-compat's $version" >&2
  exit 1
fi
echo "sdl12-compat $version preloaded: $library"

cd "$build"
ctest --output-on-failure -j2
