#!/usr/bin/env bash
# Builds the handheld port: the game on the sdl12on2 layer for 64-bit ARM Linux, laid out as a
# PortMaster port in build-port-<arch>/port/ (Umbrafront.sh and umbrafront/) and zipped into
# build-port-<arch>/umbrafront.zip.
#
# Usage: scripts/port-build.sh [aarch64]
#
# Firmwares ship glibc 2.30 and up and their own SDL2, but no SDL 1.2. So:
# - the sysroot is Debian bullseye's (glibc 2.31, SDL2 2.0.14, libstdc++ 10), downloaded through a
#   private apt configuration by scripts/debian-sysroot.sh into build-port-<arch>/sysroot;
# - SDL2_image, SDL2_ttf, SDL2_mixer, FreeType and libxmp are built from Debian's sources as
#   static libraries by port/build-libs.sh, cached under ~/.cache/umbrafront/port-libs/;
# - the game links the firmware's libSDL2-2.0.so.0 and the C library only; libstdc++ and libgcc
#   are linked in (port/toolchain-<arch>.cmake says why libstdc++ is bullseye's own);
# - Data/ is the native build's (build/Data, built if missing).
# The package is checked by port/tests/check_package.sh (layout, port.json, gameinfo.xml, the
# glibc floor and NEEDED libraries of every ELF) before it is zipped.
set -euo pipefail

arch=${1:-aarch64}
case $arch in
  aarch64) debian_arch=arm64 triple=aarch64-linux-gnu ;;
  *)
    echo "usage: $0 [aarch64]" >&2
    exit 2
    ;;
esac

cd "$(dirname "$0")/.."
root=$PWD
started=$(date +%s)
elapsed() { echo "$(($(date +%s) - $1)) s"; }
scripts/install-deps.sh

out=$root/build-port-$arch
sysroot=$out/sysroot
mkdir -p "$out"

# libsdl2-dev brings the SDL2 the game links (the firmware's at run time); libstdc++-10-dev the
# C++ library linked into the binary.
scripts/debian-sysroot.sh "$debian_arch" bullseye "$sysroot" "$out/apt" \
  libc6-dev libsdl2-dev libstdc++-10-dev
sdl2_version=$(sed -n 's/^libsdl2-dev //p' "$sysroot/.umbra-versions")

prefix=$(port/build-libs.sh "$arch" "$sysroot" | tail -n 1)

# pkg-config for the game's build: the sysroot's SDL2 and the static libraries of the prefix,
# each by absolute path. The static libraries' own dependencies are part of their Libs, but not
# SDL2's private ones: the firmware's shared SDL2 brings those itself. Their headers share one
# SDL2 folder, as where they are installed together: SDL_ttf.h's "SDL.h" must be SDL2's, not the
# layer's own SDL 1.2 header.
pkgconfig=$out/pkgconfig
headers=$out/include
rm -rf "$pkgconfig" "$headers"
mkdir -p "$pkgconfig/lib" "$headers/SDL2"
ln -s "$sysroot"/usr/include/SDL2/* "$prefix"/include/SDL2/* "$headers/SDL2/"
sdl2_libdir=$sysroot/usr/lib/$triple
[ -e "$sdl2_libdir/libSDL2.so" ] || { echo "$0: the sysroot has no $sdl2_libdir/libSDL2.so" >&2; exit 1; }
write_pc() {
  local name=$1 libs=$2 requires=$3
  cat >"$pkgconfig/lib/$name.pc" <<EOF
Name: $name
Description: $name for the port
Version: 0
Requires: $requires
Libs: $libs
Cflags: -I$headers -I$headers/SDL2 -D_REENTRANT
EOF
}
cp "$prefix/lib/pkgconfig/freetype2.pc" "$prefix/lib/pkgconfig/libxmp.pc" "$pkgconfig/lib/"
write_pc sdl2 "-L$sdl2_libdir -lSDL2" ""
write_pc SDL2_image "-L$prefix/lib -lSDL2_image" sdl2
write_pc SDL2_ttf "-L$prefix/lib -lSDL2_ttf" "sdl2 freetype2"
write_pc SDL2_mixer "-L$prefix/lib -lSDL2_mixer -lm" "sdl2 libxmp"
cat >"$pkgconfig/pkg-config" <<EOF
#!/bin/sh
PKG_CONFIG_LIBDIR='$pkgconfig/lib' PKG_CONFIG_SYSROOT_DIR= PKG_CONFIG_PATH= exec pkg-config "\$@"
EOF
chmod +x "$pkgconfig/pkg-config"

# The native generators' Data files (cross-built ones are byte-identical, scripts/cross-test.sh).
echo "== native Data files in build/Data"
if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build build -j2 --target assets >/dev/null

t=$(date +%s)
echo "== $arch: building the game on the sdl12on2 layer"
game_build=$out/game
cmake -S . -B "$game_build" -DCMAKE_TOOLCHAIN_FILE="$root/port/toolchain-$arch.cmake" \
  -DUMBRA_SYSROOT="$sysroot" -DPKG_CONFIG_EXECUTABLE="$pkgconfig/pkg-config" \
  -DCMAKE_BUILD_TYPE=Release -DUMBRA_SDL_LAYER=ON -DUMBRA_ASSETS=OFF \
  -DUMBRA_TESTS=OFF -DUMBRA_BENCH=OFF >"$out/game-configure.log" 2>&1 || {
  cat "$out/game-configure.log" >&2
  echo "$0: configuring the $arch game failed" >&2
  exit 1
}
cmake --build "$game_build" -j2 --target umbrafront
echo "== $arch: game built in $(elapsed "$t")"

# The layout: Umbrafront.sh beside the game's folder.
stage=$out/port
rm -rf "$stage"
game_dir=$stage/umbrafront
mkdir -p "$game_dir/licenses"
install -m 755 port/Umbrafront.sh "$stage/Umbrafront.sh"
"$triple-strip" -o "$game_dir/umbrafront.$arch" "$game_build/umbrafront"
chmod 755 "$game_dir/umbrafront.$arch"
cp -r build/Data "$game_dir/Data"
install -m 644 port/port.json port/gameinfo.xml "$game_dir/"
sed "s|@SDL2_VERSION@|${sdl2_version%%+*}|g" port/README.md >"$game_dir/README.md"
# A battle as the game draws it (the board test's reference, rendered by the game's own drawing
# code from a fixed seed), doubled with whole pixels to the 640 x 480 PortMaster asks for.
convert tests/reference/board_battle.png -filter point -resize 200% -strip "$game_dir/screenshot.png"

# Licences: the game's, the libraries built into it (from their sources), and the C++ runtime
# linked into it (bullseye's libstdc++ and the cross compiler's libgcc, from their packages).
cp package/copyright "$game_dir/licenses/umbrafront.copyright"
cp "$prefix"/share/licenses/*.* "$game_dir/licenses/"
cp "$sysroot/usr/share/doc/gcc-10-base/copyright" "$game_dir/licenses/libstdc++-10.copyright"
cp "/usr/share/doc/gcc-12-$triple-base/copyright" "$game_dir/licenses/libgcc-12.copyright"

# Nothing needs bundling today (port/tests/check_package.sh fails on any library that the
# firmware lacks and libs.<arch>/ does not hold); the launcher names the folder all the same.

port/tests/check_package.sh "$arch" "$stage" build/Data

zip_file=$out/umbrafront.zip
rm -f "$zip_file"
(cd "$stage" && zip -q -r -X "$zip_file" Umbrafront.sh umbrafront)
echo "== $arch: $zip_file: $(du -k "$zip_file" | cut -f1) KiB zipped, $(du -sk "$stage" | cut -f1) KiB unpacked"
echo "== $arch: port built in $(elapsed "$started")"
