#!/usr/bin/env bash
# Builds the libraries the handheld port links statically -- FreeType, libxmp, SDL2_image,
# SDL2_ttf and SDL2_mixer -- from Debian's source packages with Debian's cross compiler against
# the port's sysroot (whose SDL2 headers they are compiled against: the firmware's SDL2 is the one
# loaded), installed into one prefix, and prints that prefix's absolute path as the last line of
# standard output (progress goes to standard error).
#
# Usage: port/build-libs.sh aarch64 SYSROOT
#
# Everything lives under ${XDG_CACHE_HOME:-$HOME/.cache}/umbrafront:
#   sources/PACKAGE_VERSION/       the unpacked Debian sources, shared with the browser build
#   port-libs/KEY/                 one finished build: prefix/, logs/, key.txt (what KEY hashes)
# KEY hashes the source versions, the sysroot's package versions, the cross compiler's and
# CMake's versions, and this script with the toolchain file, so any change builds anew and an
# unchanged second run only prints the path. A build happens in a temporary folder renamed into
# place when complete. PNG is read by SDL2_image's own stb_image and Ogg Vorbis by SDL2_mixer's
# stb_vorbis, so no other library is needed; MOD music is libxmp's.
set -euo pipefail

usage() {
  echo "usage: $0 aarch64 SYSROOT" >&2
  exit 2
}
[ $# -eq 2 ] || usage
case $1 in
  aarch64) triple=aarch64-linux-gnu ;;
  *) usage ;;
esac
arch=$1
sysroot=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
toolchain=$here/toolchain-$arch.cmake
started=$(date +%s)
say() { echo "== $*" >&2; }
elapsed() { echo "$(($(date +%s) - $1)) s"; }

if [ ! -f "$sysroot/.umbra-versions" ]; then
  echo "$0: $sysroot is no sysroot made by scripts/debian-sysroot.sh" >&2
  exit 1
fi

# Debian 12's source packages, the versions the browser build uses.
sources=(
  freetype=2.12.1+dfsg-5+deb12u4
  libxmp=4.5.0-2
  libsdl2-image=2.6.3+dfsg-1
  libsdl2-ttf=2.20.1+dfsg-2
  libsdl2-mixer=2.6.2+dfsg-2
)

key_inputs=$(
  echo "arch $arch"
  printf 'source %s\n' "${sources[@]}"
  cat "$sysroot/.umbra-versions"
  dpkg-query -W -f='${Package} ${Version}\n' "gcc-$triple" "g++-$triple" "binutils-$triple"
  cmake --version | sed -n 1p
  cd "$here" && sha256sum build-libs.sh "$(basename "$toolchain")"
)
key=$(echo "$key_inputs" | sha256sum | cut -c1-16)

cache_root=${XDG_CACHE_HOME:-$HOME/.cache}/umbrafront
libs_dir=$cache_root/port-libs
final=$libs_dir/$key
mkdir -p "$libs_dir"

if [ -d "$final/prefix" ]; then
  say "port libraries up to date (key $key, $(elapsed "$started"))"
  echo "$final/prefix"
  exit 0
fi

# One build per key at a time: a second run waits and then finds the first one's result.
exec 9>"$libs_dir/$key.lock"
if ! flock -n 9; then
  say "waiting for another build of the port libraries (key $key)"
  flock 9
fi
if [ -d "$final/prefix" ]; then
  say "port libraries built meanwhile by another run (key $key)"
  echo "$final/prefix"
  exit 0
fi

rm -rf "$libs_dir/$key".tmp-*
work=$libs_dir/$key.tmp-$$
prefix=$work/prefix
logs=$work/logs
build=$work/build
failed_logs=$libs_dir/failed-logs
discard_work() {
  if [ -d "$logs" ]; then
    rm -rf "$failed_logs"
    mv "$logs" "$failed_logs"
    echo "$0: the build's logs are in $failed_logs" >&2
  fi
  rm -rf "$work"
}
trap discard_work EXIT
mkdir -p "$prefix" "$logs" "$build"
echo "$key_inputs" >"$work/key.txt"

declare -A source_dir
specs=()
for spec in "${sources[@]}"; do
  package=${spec%%=*}
  source_dir[$package]=$cache_root/sources/${package}_${spec#*=}
  specs+=("$spec" "${source_dir[$package]}")
done
"$root/scripts/debian-source.sh" "${specs[@]}" >&2

step() {
  local name=$1
  shift
  if ! "$@" >>"$logs/$name.log" 2>&1; then
    tail -n 40 "$logs/$name.log" >&2
    echo "$0: $name failed: $*" >&2
    return 1
  fi
}

# The SDL2 the libraries compile against is the sysroot's, given as ready targets: the sysroot's
# own CMake file names /usr/include/SDL2, which the compiler would read from the build machine.
# SDL2_mixer's Findlibxmp.cmake also calls find_package_handle_standard_args without including it.
cat >"$build/before-project.cmake" <<EOF
include(FindPackageHandleStandardArgs)
foreach(target SDL2::SDL2 SDL2::SDL2-static)
  if(NOT TARGET \${target})
    add_library(\${target} INTERFACE IMPORTED)
    set_target_properties(\${target} PROPERTIES
      INTERFACE_INCLUDE_DIRECTORIES "$sysroot/usr/include/SDL2"
      INTERFACE_COMPILE_DEFINITIONS _REENTRANT)
  endif()
endforeach()
EOF

cmake_common=(
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DUMBRA_SYSROOT="$sysroot"
  -DCMAKE_PROJECT_INCLUDE_BEFORE="$build/before-project.cmake"
  -DCMAKE_BUILD_TYPE=Release "-DCMAKE_C_FLAGS_RELEASE=-O2 -DNDEBUG"
  -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib
  -DBUILD_SHARED_LIBS=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=OFF
)

cmake_library() {
  local name=$1 src=$2 t
  shift 2
  t=$(date +%s)
  step "$name" cmake -S "$src" -B "$build/$name" "${cmake_common[@]}" "$@"
  step "$name" cmake --build "$build/$name" -j2
  step "$name" cmake --install "$build/$name"
  say "$name built in $(elapsed "$t")"
}

say "building the $arch port libraries into $final (key $key)"

cmake_library freetype "${source_dir[freetype]}" \
  -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
  -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON

t=$(date +%s)
# Its configure builds in place: a copy keeps the shared source clean.
cp -a "${source_dir[libxmp]}" "$build/libxmp"
(
  cd "$build/libxmp"
  step libxmp ./configure --host="$triple" --prefix="$prefix" \
    --disable-shared --enable-static --disable-depackers --disable-prowizard \
    CC="$triple-gcc --sysroot=$sysroot" CFLAGS=-O2
  step libxmp make -j2
  step libxmp make install
)
say "libxmp built in $(elapsed "$t")"

cmake_library SDL2_image "${source_dir[libsdl2-image]}" \
  -DSDL2IMAGE_SAMPLES=OFF -DSDL2IMAGE_TESTS=OFF \
  -DSDL2IMAGE_BACKEND_STB=ON -DSDL2IMAGE_VENDORED=OFF -DSDL2IMAGE_DEPS_SHARED=OFF \
  -DSDL2IMAGE_BMP=ON -DSDL2IMAGE_PNG=ON -DSDL2IMAGE_PNG_SAVE=OFF \
  -DSDL2IMAGE_AVIF=OFF -DSDL2IMAGE_GIF=OFF -DSDL2IMAGE_JPG=OFF -DSDL2IMAGE_JXL=OFF \
  -DSDL2IMAGE_LBM=OFF -DSDL2IMAGE_PCX=OFF -DSDL2IMAGE_PNM=OFF -DSDL2IMAGE_QOI=OFF \
  -DSDL2IMAGE_SVG=OFF -DSDL2IMAGE_TGA=OFF -DSDL2IMAGE_TIF=OFF -DSDL2IMAGE_WEBP=OFF \
  -DSDL2IMAGE_XCF=OFF -DSDL2IMAGE_XPM=OFF -DSDL2IMAGE_XV=OFF

cmake_library SDL2_ttf "${source_dir[libsdl2-ttf]}" \
  -DSDL2TTF_SAMPLES=OFF -DSDL2TTF_VENDORED=OFF -DSDL2TTF_HARFBUZZ=OFF \
  -DFREETYPE_INCLUDE_DIR_ft2build="$prefix/include/freetype2" \
  -DFREETYPE_INCLUDE_DIR_freetype2="$prefix/include/freetype2" \
  -DFREETYPE_LIBRARY="$prefix/lib/libfreetype.a"

cmake_library SDL2_mixer "${source_dir[libsdl2-mixer]}" \
  -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_DEPS_SHARED=OFF \
  -DSDL2MIXER_MOD=ON -DSDL2MIXER_MOD_XMP=ON -DSDL2MIXER_MOD_XMP_SHARED=OFF \
  -DSDL2MIXER_MOD_MODPLUG=OFF \
  -Dlibxmp_INCLUDE_PATH="$prefix/include" -Dlibxmp_LIBRARY="$prefix/lib/libxmp.a" \
  -DSDL2MIXER_VORBIS=STB -DSDL2MIXER_WAVE=ON \
  -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MP3=OFF -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_OPUS=OFF \
  -DSDL2MIXER_CMD=OFF

for lib in freetype xmp SDL2_image SDL2_ttf SDL2_mixer; do
  if [ ! -f "$prefix/lib/lib$lib.a" ]; then
    echo "$0: the build installed no lib$lib.a in $prefix/lib" >&2
    exit 1
  fi
done

# The licences of everything built here, from the sources it was built from: each Debian
# package's copyright file, and the upstream licence files beside it.
licenses=$prefix/share/licenses
mkdir -p "$licenses"
for spec in "${sources[@]}"; do
  package=${spec%%=*}
  src=${source_dir[$package]}
  cp "$src/debian/copyright" "$licenses/$package.copyright"
  for f in LICENSE.txt LICENSE.TXT docs/FTL.TXT README; do
    if [ -f "$src/$f" ] && { [ "$f" != README ] || [ "$package" = libxmp ]; }; then
      cp "$src/$f" "$licenses/$package.$(basename "$f")"
    fi
  done
done
printf '%s\n' "${sources[@]}" >"$prefix/share/licenses/SOURCES"

# Installed configuration files name the temporary folder.
rm -rf "$build"
grep -rlIZ --fixed-strings "$work" "$prefix" | xargs -0 -r sed -i "s|$work|$final|g"
if grep -rqI --fixed-strings "$work" "$prefix"; then
  echo "$0: $prefix still names the temporary folder $work" >&2
  exit 1
fi

mv -T "$work" "$final"
trap - EXIT
say "port libraries built in $(elapsed "$started")"
echo "$final/prefix"
