#!/usr/bin/env bash
# Builds the handheld port (scripts/port-build.sh, which checks the package it makes) and tests
# it: the package check must catch broken copies of the port (port/tests/check_package_test.sh),
# and the real Umbrafront.sh must start the game under qemu-user on a stand-in firmware -- Debian
# bullseye's glibc and SDL2 with its X11 libraries, unpacked into build-port-<arch>/firmware --
# on Xvfb screens of 640x480, 480x320, 720x720 and 1280x720 (port/tests/launch_e2e.sh).
#
# Usage: scripts/port-test.sh [aarch64]
set -euo pipefail

arch=${1:-aarch64}
case $arch in
  aarch64) debian_arch=arm64 ;;
  *)
    echo "usage: $0 [aarch64]" >&2
    exit 2
    ;;
esac
cd "$(dirname "$0")/.."
out=build-port-$arch

scripts/port-build.sh "$arch"
# The firmware stand-in: the C library and SDL2 (with what SDL2 loads for X11) and nothing else,
# so that a library the port fails to bundle is missing here as it would be on a device.
scripts/debian-sysroot.sh "$debian_arch" bullseye "$out/firmware" "$out/apt-firmware" libc6 libsdl2-2.0-0

status=0
echo "== $arch: the package check against broken copies of the port"
port/tests/check_package_test.sh "$out/port" || status=1
echo "== $arch: the launcher under qemu-user on the stand-in firmware"
port/tests/launch_e2e.sh "$out/port" "$out/firmware" || status=1
exit $status
