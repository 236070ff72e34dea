#!/usr/bin/env bash
# web-bench.sh -- times the board benchmarks (bench/board_bench.cpp) as WebAssembly under node and
# natively, one right after the other, and prints both runs and the wasm/native ratio of each.
# The wasm build is the browser build's: the game on the sdl12on2 layer over the SDL2 libraries of
# web/build-libs.sh, with asyncify; the native one is build/bench/board_bench on SDL 1.2.
#
# Google Benchmark for emscripten is built from Debian's source package of the installed
# libbenchmark-dev, cached in ${XDG_CACHE_HOME:-$HOME/.cache}/umbrafront/web-benchmark/KEY/ (KEY:
# its version, the emscripten version and this script). The wasm benchmarks go to build-web-bench/.
#
# Usage: scripts/web-bench.sh [FILTER]
#   FILTER: a Google Benchmark filter, by default 'draw_board|keyed_blits_256' (the two board
#   repaints, and 256 keyed 16 x 16 tile blits through the game's blitter and through SDL's).
# Environment: WEB_BENCH_REPETITIONS (default 3): runs of each benchmark; the ratio is of medians.
set -euo pipefail

usage() {
  echo "usage: $0 [FILTER]" >&2
  exit 2
}
[ $# -le 1 ] || usage
case ${1:-} in -*) usage ;; esac
filter=${1:-draw_board|keyed_blits_256}
repetitions=${WEB_BENCH_REPETITIONS:-3}
[[ $repetitions =~ ^[1-9][0-9]*$ ]] || { echo "$0: WEB_BENCH_REPETITIONS must be a positive number" >&2; exit 2; }

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
fail() { echo "$0: $*" >&2; exit 1; }
say() { echo "== $*" >&2; }

# --- the SDL2 libraries for emscripten, and the environment they were built with
say "SDL2 libraries for emscripten (web/build-libs.sh; cached after the first run)"
libs_out=$(mktemp)
work=
cleanup() {
  rm -f "$libs_out"
  if [ -n "$work" ]; then rm -rf "$work"; fi
}
trap cleanup EXIT
web/build-libs.sh | tee "$libs_out" >&2 || fail "web/build-libs.sh failed"
prefix=$(tail -n 1 "$libs_out")
[ -f "$prefix/lib/libSDL2.a" ] || fail "web/build-libs.sh did not end with a prefix holding lib/libSDL2.a (got \"$prefix\")"
env_file=$prefix/share/umbrafront/emscripten-env.sh
[ -f "$env_file" ] || fail "$env_file is missing"
# shellcheck source=/dev/null
source "$env_file"
for tool in emcmake node python3; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh)"
done

# --- Google Benchmark for emscripten, the version of the native one
version=$(apt-cache policy libbenchmark-dev | sed -n 's/^ *Installed: //p')
if [ -z "$version" ] || [ "$version" = "(none)" ]; then
  fail "libbenchmark-dev is not installed (scripts/install-deps.sh installs it)"
fi
upstream=${version#*:}
upstream=${upstream%-*}
cache_root=${XDG_CACHE_HOME:-$HOME/.cache}/umbrafront
key=$(printf '%s\n' "benchmark $version" "$(emcc --version | sed -n 1p)" "$(sha256sum <"$0")" | sha256sum | cut -c1-16)
bench_lib_dir=$cache_root/web-benchmark
final=$bench_lib_dir/$key
mkdir -p "$bench_lib_dir"
exec 9>"$bench_lib_dir/$key.lock"
if ! flock -n 9; then
  say "waiting for another build of Google Benchmark for emscripten (key $key)"
  flock 9
fi
if [ -f "$final/prefix/lib/cmake/benchmark/benchmarkConfig.cmake" ]; then
  say "Google Benchmark $version for emscripten up to date (key $key)"
else
  source_dir=$cache_root/sources/benchmark_$version
  scripts/debian-source.sh "benchmark=$version" "$source_dir" >&2 ||
    fail "could not fetch Debian's source package benchmark=$version"
  work=$bench_lib_dir/$key.tmp-$$
  rm -rf "$bench_lib_dir/$key".tmp-* "$final"
  mkdir -p "$work"
  say "building Google Benchmark $version for emscripten (log: $work/build.log while it runs)"
  # Its tests are off; threads cannot be: it requires them, and emscripten's C library answers
  # with single-threaded stand-ins, so no -pthread is added. The version is Debian's, as the
  # source package has no git tags to read it from.
  if ! {
    emcmake cmake -S "$source_dir" -B "$work/build" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_INSTALL_PREFIX="$work/prefix" -DCMAKE_INSTALL_LIBDIR=lib -DBUILD_SHARED_LIBS=OFF \
      -DGIT_VERSION="$upstream" -DBENCHMARK_ENABLE_TESTING=OFF -DBENCHMARK_ENABLE_GTEST_TESTS=OFF \
      -DBENCHMARK_USE_BUNDLED_GTEST=OFF -DBENCHMARK_ENABLE_WERROR=OFF -DBENCHMARK_INSTALL_DOCS=OFF &&
      cmake --build "$work/build" -j2 &&
      cmake --install "$work/build"
  } >"$work/build.log" 2>&1; then
    tail -n 40 "$work/build.log" >&2
    mkdir -p "$bench_lib_dir/failed-log"
    cp "$work/build.log" "$bench_lib_dir/failed-log/build.log"
    fail "building Google Benchmark for emscripten failed (log: $bench_lib_dir/failed-log/build.log)"
  fi
  rm -rf "$work/build"
  mv "$work" "$final"
  work=
  say "Google Benchmark $version for emscripten built in $final"
fi
benchmark_dir=$final/prefix/lib/cmake/benchmark

# --- the native benchmark, and the Data files both runs read
say "native board_bench (build/)"
if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || fail "configuring build/ failed"
fi
cmake --build build --target board_bench -j2 >&2 || fail "building build/bench/board_bench failed"
[ -f build/Data/arcadepi.ttf ] || fail "build/Data has no font after building the benchmark"

# --- the wasm benchmark
say "wasm board_bench (build-web-bench/)"
emcmake cmake -S . -B build-web-bench -DCMAKE_BUILD_TYPE=Release \
  -DUMBRA_SDL_LAYER=ON -DUMBRA_ASSETS=OFF -DUMBRA_TESTS=OFF -DUMBRA_BENCH=ON \
  -DUMBRA_WEB_LIBS="$prefix" -DUMBRA_DATA_SOURCE="$root/build/Data" \
  -Dbenchmark_DIR="$benchmark_dir" >/dev/null || fail "configuring build-web-bench/ failed"
cmake --build build-web-bench --target board_bench -j2 >&2 || fail "building build-web-bench/bench/board_bench failed"
[ -f build-web-bench/bench/board_bench.js ] || fail "build-web-bench/bench/board_bench.js was not linked"

# --- both runs, one right after the other
results=$(mktemp -d)
trap 'cleanup; rm -rf "$results"' EXIT
run_args=(--benchmark_filter="$filter" --benchmark_repetitions="$repetitions" --benchmark_out_format=json)

# V8 first runs wasm on its baseline compiler and optimises hot functions later, during the
# measurements (this Google Benchmark has no warm-up): the optimised code from the start is what
# a game that has run a while runs.
echo "== wasm (node $(node --version), --no-liftoff): build-web-bench/bench/board_bench.js"
node --no-liftoff build-web-bench/bench/board_bench.js "${run_args[@]}" --benchmark_out="$results/wasm.json" ||
  fail "the wasm benchmark failed"
echo "== native: build/bench/board_bench"
build/bench/board_bench "${run_args[@]}" --benchmark_out="$results/native.json" ||
  fail "the native benchmark failed"

# --- the ratio of the medians, by wall-clock time (the CPU time of wasm under node is wall-clock too)
python3 - "$results/wasm.json" "$results/native.json" <<'EOF' || fail "could not compare the two runs"
import json, sys

def medians(path):
    with open(path) as f:
        runs = json.load(f)["benchmarks"]
    found = {}
    for run in runs:
        if run.get("run_type") == "aggregate" and run.get("aggregate_name") != "median":
            continue
        # With one repetition there are no aggregates: the iteration itself stands.
        if run.get("run_type") == "aggregate" or run["run_name"] not in found:
            found[run["run_name"]] = run["real_time"] * {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[run["time_unit"]]
    return found

wasm, native = medians(sys.argv[1]), medians(sys.argv[2])
names = [n for n in wasm if n in native]
if not names:
    sys.exit("no benchmark ran in both")
print("== wasm / native (median wall-clock time of each)")
print(f"{'benchmark':<24}{'wasm':>14}{'native':>14}{'ratio':>9}")
for n in names:
    print(f"{n:<24}{wasm[n] / 1e3:>11.1f} us{native[n] / 1e3:>11.1f} us{wasm[n] / native[n]:>8.2f}x")
missing = sorted(set(wasm) ^ set(native))
if missing:
    print("ran in one only: " + ", ".join(missing))
EOF
