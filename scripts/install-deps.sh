#!/usr/bin/env bash
# Installs the Debian packages the build, the game and the tests need, when any is missing.
# Runs apt-get directly as root, otherwise through sudo.
# libjack-jackd2-dev is named so that SDL2_mixer's development files take the JACK that
# SDL_mixer 1.2 already brought, instead of replacing it with another.
set -euo pipefail

packages=(
  g++ cmake make pkg-config ccache
  libsdl1.2-dev libsdl-image1.2-dev libsdl-mixer1.2-dev libsdl-ttf2.0-dev
  libpng-dev libvorbis-dev libogg-dev
  googletest libgtest-dev libbenchmark-dev
  xvfb xdotool x11-apps imagemagick
  dpkg-dev lintian desktop-file-utils appstream groff-base libsdl1.2-compat x11-utils
  libsdl2-2.0-0
  libsdl2-dev libsdl2-image-dev libsdl2-ttf-dev libsdl2-mixer-dev
  libjack-jackd2-dev
  emscripten chromium
  qemu-user g++-arm-linux-gnueabihf g++-aarch64-linux-gnu
  zip python3 libxml2-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "Missing packages (${missing[*]}) and neither root nor sudo to install them." >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" "$(dirname "$0")/apt-update.sh"
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
