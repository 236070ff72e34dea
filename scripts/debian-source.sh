#!/usr/bin/env bash
# Fetches Debian source packages and unpacks each one, patches applied, into a folder of its own.
#
# Usage: scripts/debian-source.sh PACKAGE=VERSION DEST-DIR [PACKAGE=VERSION DEST-DIR ...]
#
# apt runs with a private configuration: the machine's archives as deb-src entries, but lists,
# caches and an empty package status of our own, in a temporary folder removed at the end; the
# machine's apt sources and state are never touched. A DEST-DIR that already holds the wanted
# version is kept as it is. Each one is unpacked beside itself and renamed into place when
# complete, so an interrupted run never leaves a folder that looks finished.
set -euo pipefail

usage() {
  echo "usage: $0 PACKAGE=VERSION DEST-DIR [PACKAGE=VERSION DEST-DIR ...]" >&2
  exit 2
}
if [ $# -lt 2 ] || [ $(($# % 2)) -ne 0 ]; then usage; fi

for tool in apt-get dpkg-source dpkg-parsechangelog; do
  if ! command -v "$tool" >/dev/null; then
    echo "$0: $tool is missing (scripts/install-deps.sh installs it with dpkg-dev)" >&2
    exit 1
  fi
done

# The version an unpacked source folder holds, or nothing.
unpacked_version() {
  if [ -f "$1/debian/changelog" ]; then dpkg-parsechangelog -l "$1/debian/changelog" -S Version; fi
}

wanted=()
while [ $# -gt 0 ]; do
  spec=$1 dest=$2
  shift 2
  case $spec in
    ?*=?*) ;;
    *)
      echo "$0: '$spec' is not PACKAGE=VERSION" >&2
      usage
      ;;
  esac
  if [ "$(unpacked_version "$dest")" = "${spec#*=}" ]; then
    echo "== reusing ${spec%%=*} ${spec#*=}'s source in $dest"
  elif [ -e "$dest" ] && [ ! -f "$dest/debian/changelog" ]; then
    echo "$0: $dest exists and is no unpacked source package: not replacing it" >&2
    exit 1
  else
    wanted+=("$spec" "$dest")
  fi
done
[ ${#wanted[@]} -gt 0 ] || exit 0

apt_dir=$(mktemp -d "${TMPDIR:-/tmp}/debian-source.XXXXXX")
trap 'rm -rf "$apt_dir"' EXIT
mkdir -p "$apt_dir/parts" "$apt_dir/lists/partial" "$apt_dir/archives/partial" "$apt_dir/dpkg"
: >"$apt_dir/dpkg/status"

# The machine's own archives, as source entries.
for f in /etc/apt/sources.list.d/*.sources; do
  if [ -f "$f" ]; then sed 's/^Types:.*/Types: deb-src/' "$f" >"$apt_dir/parts/$(basename "$f")"; fi
done
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  if [ -f "$f" ]; then sed -n 's/^deb\( \|\t\)/deb-src\1/p' "$f"; fi
done >"$apt_dir/sources.list"

apt_options=(
  -o "Dir::State=$apt_dir" -o "Dir::State::Lists=$apt_dir/lists"
  -o "Dir::State::status=$apt_dir/dpkg/status"
  -o "Dir::Cache=$apt_dir" -o "Dir::Cache::archives=$apt_dir/archives"
  -o "Dir::Etc::sourcelist=$apt_dir/sources.list" -o "Dir::Etc::sourceparts=$apt_dir/parts"
  -o "APT::Sandbox::User=$(id -un)"
)

echo "== fetching the source package lists"
"$(dirname "$0")/apt-update.sh" "${apt_options[@]}"

set -- "${wanted[@]}"
while [ $# -gt 0 ]; do
  spec=$1 dest=$2 package=${1%%=*}
  shift 2
  echo "== fetching $spec's source into $dest"
  get=$apt_dir/get/$package
  mkdir -p "$get"
  if ! (cd "$get" && apt-get "${apt_options[@]}" -qq --download-only source "$spec"); then
    echo "$0: the archive has no source package $spec; its versions of $package:" \
      "$(apt-cache "${apt_options[@]}" showsrc "$package" 2>/dev/null | sed -n 's/^Version: //p' | sort -u | tr '\n' ' ')" >&2
    exit 1
  fi
  # apt has checked every file against the signed Sources index already.
  # Unpacked here first: dpkg-source leaves copies of the upstream tarballs beside its output.
  if ! dpkg-source --no-check -x "$get"/*.dsc "$get/source" >"$get/unpack.log" 2>&1; then
    cat "$get/unpack.log" >&2
    echo "$0: dpkg-source could not unpack $spec" >&2
    exit 1
  fi
  mkdir -p "$(dirname "$dest")"
  mv "$get/source" "$dest.partial-$$"
  # Another run may have unpacked the same version meanwhile, and may be reading it.
  if [ "$(unpacked_version "$dest")" = "${spec#*=}" ]; then
    rm -rf "$dest.partial-$$"
  else
    rm -rf "$dest"
    mv "$dest.partial-$$" "$dest"
  fi
done
