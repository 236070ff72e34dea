#!/usr/bin/env bash
# Builds the libraries the browser build links against -- SDL2, freetype, libxmp, SDL2_image,
# SDL2_ttf and SDL2_mixer -- as static wasm libraries from Debian's source packages with
# Debian's emscripten, installed into one prefix (include/, lib/), and prints that prefix's
# absolute path as the last line of standard output (progress goes to standard error).
#
# Usage: web/build-libs.sh
#
# Everything lives under ${XDG_CACHE_HOME:-$HOME/.cache}/umbrafront:
#   sources/PACKAGE_VERSION/  the unpacked Debian sources, shared by every build
#   web-libs/KEY/             one finished build: prefix/, em-cache/ (emscripten's own library
#                             cache, EM_CACHE), logs/ and key.txt (what KEY was made from)
# KEY hashes the source versions, the emscripten toolchain's package versions, CMake's version
# and this script with the files beside it that it reads, so any change builds anew and an
# unchanged second run only prints the path. A build happens in a temporary folder renamed into
# place when complete; prefix/share/umbrafront/emscripten-env.sh holds the environment that
# compiling and linking against the prefix needs.
set -euo pipefail

if [ $# -ne 0 ]; then
  echo "usage: $0" >&2
  exit 2
fi

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
started=$(date +%s)
say() { echo "== $*" >&2; }
elapsed() { echo "$(($(date +%s) - $1)) s"; }

# Debian 12's source packages.
sources=(
  libsdl2=2.26.5+dfsg-1
  freetype=2.12.1+dfsg-5+deb12u4
  libxmp=4.5.0-2
  libsdl2-image=2.6.3+dfsg-1
  libsdl2-ttf=2.20.1+dfsg-2
  libsdl2-mixer=2.6.2+dfsg-2
)
# Pre-answered configure checks of SDL2, taken from a full run with this emscripten.
sdl2_checks=$here/sdl2-emscripten-checks.cmake

"$root/scripts/install-deps.sh" >&2

# Debian's emcc starts "python3" from PATH, which may be another interpreter (a pyenv shim
# costs a second per call there); its JS tools need Debian's node modules whatever node runs.
export EMSDK_PYTHON=${EMSDK_PYTHON:-/usr/bin/python3}
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

# The emscripten toolchain as installed: emscripten and every package it depends on.
toolchain_versions() {
  local depends names
  depends=$(dpkg-query -W -f='${Depends}' emscripten)
  names=$(echo "$depends" | tr ',' '\n' | sed 's/(.*)//; s/:any//; s/|.*//; s/ //g' | grep .)
  # shellcheck disable=SC2086
  dpkg-query -W -f='${Package} ${Version}\n' emscripten $names
}

key_inputs=$(
  printf 'source %s\n' "${sources[@]}"
  toolchain_versions
  emcc --version | sed -n 1p
  cmake --version | sed -n 1p
  cd "$here" && sha256sum build-libs.sh "$(basename "$sdl2_checks")"
)
key=$(echo "$key_inputs" | sha256sum | cut -c1-16)

cache_root=${XDG_CACHE_HOME:-$HOME/.cache}/umbrafront
libs_dir=$cache_root/web-libs
final=$libs_dir/$key
mkdir -p "$libs_dir"

if [ -d "$final/prefix" ]; then
  say "web libraries up to date (key $key, $(elapsed "$started"))"
  echo "$final/prefix"
  exit 0
fi

# One build per key at a time: a second run waits and then finds the first one's result.
exec 9>"$libs_dir/$key.lock"
if ! flock -n 9; then
  say "waiting for another build of the web libraries (key $key)"
  flock 9
fi
if [ -d "$final/prefix" ]; then
  say "web libraries built meanwhile by another run (key $key)"
  echo "$final/prefix"
  exit 0
fi

# Only builds interrupted before us can have left a folder of this key.
rm -rf "$libs_dir/$key".tmp-*
work=$libs_dir/$key.tmp-$$
prefix=$work/prefix
logs=$work/logs
build=$work/build
failed_logs=$libs_dir/failed-logs
# A failed build leaves nothing but its logs.
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

# emscripten's library cache: Debian's prebuilt system libraries, linked file by file into a
# writable tree of our own, so that a variant Debian did not build is built here instead of
# failing. Its SDL2 "port" files are left out: they would make CMake find an SDL2 that
# downloads itself instead of ours.
em_root=$(dirname "$(readlink -f "$(command -v emcc)")")
export EM_CACHE=$work/em-cache EM_FROZEN_CACHE=
# Its per-call sanity check (a clang run and a lock) would guard a cache that outlives a
# toolchain change; this one is keyed on the toolchain's versions instead.
export EMCC_SKIP_SANITY_CHECK=1
mkdir -p "$EM_CACHE"
cp -rs "$em_root/cache/sysroot" "$EM_CACHE/"
cp "$em_root/cache/sysroot_install.stamp" "$EM_CACHE/"
rm -rf "$EM_CACHE/sysroot/lib/cmake/SDL2" "$EM_CACHE"/sysroot/bin/sdl2-config*

declare -A source_dir
specs=()
for spec in "${sources[@]}"; do
  package=${spec%%=*}
  source_dir[$package]=$cache_root/sources/${package}_${spec#*=}
  specs+=("$spec" "${source_dir[$package]}")
done
"$root/scripts/debian-source.sh" "${specs[@]}" >&2

# step NAME COMMAND...: runs one build step with its output in logs/NAME.log.
step() {
  local name=$1
  shift
  if ! "$@" >>"$logs/$name.log" 2>&1; then
    tail -n 40 "$logs/$name.log" >&2
    echo "$0: $name failed: $*" >&2
    return 1
  fi
}

cmake_common=(
  -DCMAKE_BUILD_TYPE=Release "-DCMAKE_C_FLAGS_RELEASE=-O2 -DNDEBUG"
  -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix"
  -DBUILD_SHARED_LIBS=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=OFF
)

# cmake_library NAME SOURCE-DIR JOBS CMAKE-OPTION...
cmake_library() {
  local name=$1 src=$2 jobs=$3 t
  shift 3
  t=$(date +%s)
  step "$name" emcmake cmake -S "$src" -B "$build/$name" "${cmake_common[@]}" "$@"
  step "$name" cmake --build "$build/$name" -j"$jobs"
  step "$name" cmake --install "$build/$name"
  say "$name built in $(elapsed "$t")"
}

SDL2_build() {
  local t answers=()
  t=$(date +%s)
  # The answers hold for the emscripten they were taken from only; any other asks again.
  if grep -qxF "# $(emcc --version | sed -n 1p)" "$sdl2_checks"; then
    answers=(-C "$sdl2_checks")
  else
    say "SDL2: $sdl2_checks was not taken from this emscripten; running every configure check"
  fi
  # Only what the game uses: video, events, keyboard, mouse, joystick and game controller
  # (the Gamepad API), audio, timers, files; the window surface is a 2D canvas, so no GL.
  step SDL2 emcmake cmake -S "${source_dir[libsdl2]}" -B "$build/SDL2" "${cmake_common[@]}" \
    "${answers[@]}" \
    -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL2_DISABLE_SDL2MAIN=ON \
    -DSDL_THREADS=OFF -DSDL_PTHREADS=OFF -DSDL_ATOMIC=OFF -DSDL_LOADSO=OFF -DSDL_CPUINFO=OFF \
    -DSDL_HAPTIC=OFF -DSDL_SENSOR=OFF -DSDL_POWER=OFF -DSDL_LOCALE=OFF -DSDL_MISC=OFF \
    -DSDL_HIDAPI=OFF -DSDL_OPENGL=OFF -DSDL_OPENGLES=OFF -DSDL_OFFSCREEN=OFF \
    -DSDL_DISKAUDIO=OFF -DSDL_LIBSAMPLERATE=OFF -DSDL_CCACHE=OFF
  cp "$build/SDL2/CMakeCache.txt" "$logs/SDL2-CMakeCache.txt"
  say "SDL2 configured in $(elapsed "$t")"
  step SDL2 cmake --build "$build/SDL2" -j"$1"
  step SDL2 cmake --install "$build/SDL2"
  say "SDL2 built in $(elapsed "$t")"
}

freetype_build() {
  cmake_library freetype "${source_dir[freetype]}" "$1" \
    -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
}

libxmp_build() {
  local t
  t=$(date +%s)
  # Its configure builds in place: a copy keeps the shared source clean.
  cp -a "${source_dir[libxmp]}" "$build/libxmp"
  (
    cd "$build/libxmp"
    step libxmp emconfigure ./configure --host=wasm32-unknown-emscripten --prefix="$prefix" \
      --disable-shared --enable-static --disable-depackers --disable-prowizard CFLAGS=-O2
    # Its makefile would first run the compiler once per file for header dependencies, of no
    # use to a build made once: an existing (empty) list stands for them.
    : >depend
    step libxmp emmake make -j"$1"
    step libxmp emmake make install
  )
  say "libxmp built in $(elapsed "$t")"
}

SDL2_image_build() {
  cmake_library SDL2_image "${source_dir[libsdl2-image]}" "$1" \
    -DSDL2_DIR="$prefix/lib/cmake/SDL2" -DSDL2IMAGE_SAMPLES=OFF -DSDL2IMAGE_TESTS=OFF \
    -DSDL2IMAGE_BACKEND_STB=ON -DSDL2IMAGE_VENDORED=OFF -DSDL2IMAGE_DEPS_SHARED=OFF \
    -DSDL2IMAGE_BMP=ON -DSDL2IMAGE_PNG=ON -DSDL2IMAGE_PNG_SAVE=OFF \
    -DSDL2IMAGE_AVIF=OFF -DSDL2IMAGE_GIF=OFF -DSDL2IMAGE_JPG=OFF -DSDL2IMAGE_JXL=OFF \
    -DSDL2IMAGE_LBM=OFF -DSDL2IMAGE_PCX=OFF -DSDL2IMAGE_PNM=OFF -DSDL2IMAGE_QOI=OFF \
    -DSDL2IMAGE_SVG=OFF -DSDL2IMAGE_TGA=OFF -DSDL2IMAGE_TIF=OFF -DSDL2IMAGE_WEBP=OFF \
    -DSDL2IMAGE_XCF=OFF -DSDL2IMAGE_XPM=OFF -DSDL2IMAGE_XV=OFF
}

SDL2_ttf_build() {
  cmake_library SDL2_ttf "${source_dir[libsdl2-ttf]}" "$1" \
    -DSDL2_DIR="$prefix/lib/cmake/SDL2" -DSDL2TTF_SAMPLES=OFF \
    -DSDL2TTF_VENDORED=OFF -DSDL2TTF_HARFBUZZ=OFF
}

SDL2_mixer_build() {
  # Its Findlibxmp.cmake calls find_package_handle_standard_args without including it.
  echo 'include(FindPackageHandleStandardArgs)' >"$build/mixer-include-before.cmake"
  cmake_library SDL2_mixer "${source_dir[libsdl2-mixer]}" "$1" \
    -DCMAKE_PROJECT_INCLUDE_BEFORE="$build/mixer-include-before.cmake" \
    -DSDL2_DIR="$prefix/lib/cmake/SDL2" -DSDL2MIXER_SAMPLES=OFF \
    -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_DEPS_SHARED=OFF \
    -DSDL2MIXER_MOD=ON -DSDL2MIXER_MOD_XMP=ON -DSDL2MIXER_MOD_XMP_SHARED=OFF \
    -DSDL2MIXER_MOD_MODPLUG=OFF \
    -Dlibxmp_INCLUDE_PATH="$prefix/include" -Dlibxmp_LIBRARY="$prefix/lib/libxmp.a" \
    -DSDL2MIXER_VORBIS=STB -DSDL2MIXER_WAVE=ON \
    -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MP3=OFF -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_OPUS=OFF \
    -DSDL2MIXER_CMD=OFF
}

# Each library with the ones it is built against; the order is the order of starting.
libraries=(SDL2 libxmp freetype SDL2_image SDL2_ttf SDL2_mixer)
declare -A needs=(
  [SDL2]="" [libxmp]="" [freetype]=""
  [SDL2_image]="SDL2" [SDL2_ttf]="SDL2 freetype" [SDL2_mixer]="SDL2 libxmp"
)
declare -A done_at=() running_lib=()
slots=2

# Starts every library whose own libraries are built while a slot is free. A library that
# starts alone with nothing else ready compiles on every slot, otherwise on one.
start_ready() {
  local lib need ready=() jobs
  for lib in "${libraries[@]}"; do
    [ -z "${done_at[$lib]:-}" ] || continue
    [[ " ${running_lib[*]} " != *" $lib "* ]] || continue
    for need in ${needs[$lib]}; do
      [ -n "${done_at[$need]:-}" ] || continue 2
    done
    ready+=("$lib")
  done
  for lib in "${ready[@]}"; do
    [ ${#running_lib[@]} -lt $slots ] || break
    jobs=1
    if [ ${#running_lib[@]} -eq 0 ] && [ ${#ready[@]} -eq 1 ]; then jobs=$slots; fi
    "${lib}_build" $jobs &
    running_lib[$!]=$lib
  done
}

say "building the web libraries into $final (key $key)"
failed=
start_ready
while [ ${#running_lib[@]} -gt 0 ]; do
  status=0
  wait -n -p finished "${!running_lib[@]}" || status=$?
  lib=${running_lib[$finished]}
  unset "running_lib[$finished]"
  if [ $status -ne 0 ]; then
    failed+=" $lib"
  else
    done_at[$lib]=$(date +%s)
  fi
  # After a failure the ones running finish, but nothing new starts.
  if [ -z "$failed" ]; then start_ready; fi
done
if [ -n "$failed" ]; then
  echo "$0: building$failed failed" >&2
  exit 1
fi

for lib in SDL2 freetype xmp SDL2_image SDL2_ttf SDL2_mixer; do
  if [ ! -f "$prefix/lib/lib$lib.a" ]; then
    echo "$0: the build installed no lib$lib.a in $prefix/lib" >&2
    exit 1
  fi
done

mkdir -p "$prefix/share/umbrafront"
cat >"$prefix/share/umbrafront/emscripten-env.sh" <<EOF
# The environment for compiling and linking against this prefix with Debian's emscripten.
export EMSDK_PYTHON=$EMSDK_PYTHON
export NODE_PATH=/usr/share/nodejs\${NODE_PATH:+:\$NODE_PATH}
export EM_CACHE=$final/em-cache
export EM_FROZEN_CACHE=
export EMCC_SKIP_SANITY_CHECK=1
EOF

# Installed configuration files (pkg-config, CMake, sdl2-config) name the temporary folder.
rm -rf "$build"
grep -rlIZ --fixed-strings "$work" "$prefix" | xargs -0 -r sed -i "s|$work|$final|g"
if grep -rqI --fixed-strings "$work" "$prefix"; then
  echo "$0: $prefix still names the temporary folder $work" >&2
  exit 1
fi

mv -T "$work" "$final"
trap - EXIT
say "web libraries built in $(elapsed "$started")"
echo "$final/prefix"
