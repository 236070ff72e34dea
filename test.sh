#!/usr/bin/env bash
# Builds everything and runs the whole test suite headless: once in the normal build, once in a
# build with AddressSanitizer and UndefinedBehaviorSanitizer, and once under sdl12-compat.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
(cd build && ctest --output-on-failure -j2)

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DUMBRA_SANITIZE=ON >/dev/null
cmake --build build-sanitize -j"$(nproc)"
(cd build-sanitize && ctest --output-on-failure -j2)

scripts/compat-test.sh
