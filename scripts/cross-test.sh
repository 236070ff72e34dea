#!/usr/bin/env bash
# Cross-builds the game, its assets and its tests for 32-bit (armhf) or 64-bit (arm64) ARM and
# runs the whole suite under qemu-user, ending with ctest's summary.
#
# Usage: scripts/cross-test.sh armhf|arm64
#
# The target's libraries come from Debian's own packages for that architecture, downloaded with a
# private apt configuration (its own lists, an empty dpkg status) and unpacked with dpkg -x into
# build-<arch>/sysroot: installing the :armhf or :arm64 development packages would remove the
# machine's amd64 ones. Nothing is registered with the kernel: every ARM program, from the asset
# generators at build time to the game in the end-to-end scripts, is started through qemu-user
# with the sysroot's own loader and libc. The Data files the ARM generators write must be
# byte-identical to those of the native ones (build/, whose assets are built if missing).
set -euo pipefail

arch=${1:-}
case $arch in
  armhf) triple=arm-linux-gnueabihf ;;
  arm64) triple=aarch64-linux-gnu ;;
  *)
    echo "usage: $0 armhf|arm64" >&2
    exit 2
    ;;
esac

cd "$(dirname "$0")/.."
root=$PWD
scripts/install-deps.sh
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
jobs=$(nproc)

build=$root/build-$arch
sysroot=$build/sysroot
apt_dir=$build/apt

# The development packages the build links against; apt adds their whole dependency closure.
packages=(
  libc6-dev libstdc++-12-dev
  libsdl1.2-dev libsdl-image1.2-dev libsdl-mixer1.2-dev libsdl-ttf2.0-dev
  libpng-dev libvorbis-dev libogg-dev
  libgtest-dev
)

elapsed() { echo "$(($(date +%s) - $1)) s"; }
# The machine's own archives, through a private apt state (scripts/debian-sysroot.sh).
scripts/debian-sysroot.sh "$arch" - "$sysroot" "$apt_dir" "${packages[@]}"

# arm64's compilers fuse multiply-adds (armhf's VFPv3-D16 has no fused instruction), and
# Debian's arm64 libvorbis is built that way: its encoder would write other Ogg bytes than
# the amd64 one from the same audio. So there the sound generator encodes with libvorbis
# built from Debian's source of the sysroot's version, under this project's no-fusing rule.
vorbis_source=
fetch_vorbis_source() {
  local version
  version=$(dpkg-deb -f "$(ls "$apt_dir"/archives/libvorbis-dev_*.deb | head -1)" Version)
  vorbis_source=$build/libvorbis-$version
  scripts/debian-source.sh "libvorbis=$version" "$vorbis_source" | sed "s/^== /== $arch: /"
}
if [ "$arch" = arm64 ]; then fetch_vorbis_source; fi

started=$(date +%s)
echo "== $arch: building"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch.cmake" \
  -DUMBRA_SYSROOT="$sysroot" -DUMBRA_VORBIS_SOURCE="$vorbis_source" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DUMBRA_BENCH=OFF >/dev/null
cmake --build "$build" -j"$jobs"
echo "== $arch: built in $(elapsed "$started")"

# The generators must write the same bytes on every platform: compare with the native ones.
if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build build -j"$jobs" --target assets >/dev/null
native_files=$(cd build/Data && ls)
cross_files=$(cd "$build/Data" && ls)
if [ -z "$native_files" ] || [ "$native_files" != "$cross_files" ]; then
  echo "FAIL: the $arch Data files are not the native ones:" >&2
  diff <(echo "$native_files") <(echo "$cross_files") >&2 || true
  exit 1
fi
differ=0
for f in $native_files; do
  if ! cmp -s "build/Data/$f" "$build/Data/$f"; then
    echo "FAIL: Data/$f from the $arch generators differs from the native one" >&2
    differ=1
  fi
done
if [ $differ = 0 ]; then
  echo "== $arch: all $(echo "$native_files" | wc -w) Data files byte-identical to the native generators' output"
fi

# The suite runs either way, so that a Data difference does not hide how the tests fare.
echo "== $arch: running the suite under $(grep -m1 '^UMBRA_QEMU:' "$build/CMakeCache.txt" | cut -d= -f2)"
cd "$build"
status=0
ctest --output-on-failure -j"$jobs" || status=$?
if [ $differ != 0 ]; then
  echo "FAIL: the $arch Data files differ from the native ones (listed before the suite)" >&2
  exit 1
fi
exit $status
