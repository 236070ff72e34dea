#!/usr/bin/env bash
# Downloads Debian packages of another architecture (and their dependency closure) and unpacks
# them into a sysroot, without installing anything on the machine.
#
# Usage: scripts/debian-sysroot.sh ARCH SUITE SYSROOT APT-DIR PACKAGE...
#   ARCH     a Debian architecture: arm64, armhf
#   SUITE    "-" for the machine's own archives as they are, or a release name (bullseye) for
#            the same mirrors with the machine's release replaced by that one (its -updates and
#            -security suites too)
#   SYSROOT  the folder to make; one already made from the same suite and packages is kept
#   APT-DIR  apt's private lists, caches and (empty) package status
#
# The unpacked sysroot itself lives in ${XDG_CACHE_HOME:-$HOME/.cache}/umbrafront/sysroots/,
# keyed by the architecture, the suite and every package version apt resolves (and this script),
# and SYSROOT links to it: a fresh clone only fetches the package lists again. Nothing writes into
# a sysroot once it is made.
#
# apt runs with the machine's proxy settings, but lists, caches and an empty package status of
# its own: it resolves everything as for a bare ARCH system and touches nothing else. With a
# SUITE, the sources list is a private one as well. The sysroot is unpacked beside itself and
# renamed into place when complete, so an interrupted run never leaves one that looks finished.
set -euo pipefail

usage() {
  echo "usage: $0 ARCH SUITE|- SYSROOT APT-DIR PACKAGE..." >&2
  exit 2
}
[ $# -ge 5 ] || usage
arch=$1 suite=$2
# apt reads relative folders from its own configuration folder.
sysroot=$(realpath -m "$3") apt_dir=$(realpath -m "$4")
shift 4
packages=("$@")
here=$(cd "$(dirname "$0")" && pwd)
jobs=$(nproc)

# What the sysroot was made from; the machine's own suite is recorded as the package list alone.
stamp=$(
  if [ "$suite" != - ]; then echo "suite $suite"; fi
  printf '%s\n' "${packages[@]}"
)
if [ -f "$sysroot/.umbra-packages" ] && [ "$(cat "$sysroot/.umbra-packages")" = "$stamp" ]; then
  echo "== $arch: reusing the sysroot in $sysroot"
  exit 0
fi

apt_options=(
  -o "APT::Architecture=$arch" -o "APT::Architectures::=$arch"
  -o "Dir::State=$apt_dir" -o "Dir::State::Lists=$apt_dir/lists"
  -o "Dir::State::status=$apt_dir/dpkg/status"
  -o "Dir::Cache=$apt_dir" -o "Dir::Cache::archives=$apt_dir/archives"
  -o "APT::Sandbox::User=$(id -un)"
  -o "APT::Install-Recommends=false"
)

# The machine's sources that name its release, with that name replaced by SUITE's (their
# -updates suites follow): the same mirror hosts and keyrings (Debian's keyring holds the keys of
# earlier releases too). The security archive is left out: a sysroot to build against needs the
# release's own packages, and this machine's mirror serves no pool of an older release's
# security suite, where apt would then fail to download.
private_sources() {
  local machine f
  machine=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  if [ -z "$machine" ]; then
    echo "$0: /etc/os-release names no release to replace with $suite" >&2
    exit 1
  fi
  mkdir -p "$apt_dir/sources/parts"
  rm -f "$apt_dir/sources/parts/"*
  # deb822 files, stanza by stanza.
  for f in /etc/apt/sources.list.d/*.sources; do
    if [ -f "$f" ]; then
      awk -v machine="$machine" -v suite="$suite" '
        BEGIN { RS = ""; ORS = "\n\n" }
        {
          n = split($0, lines, "\n"); keep = 0; out = ""
          for (i = 1; i <= n; i++) {
            line = lines[i]
            if (line ~ /^Suites:/) {
              m = split(substr(line, 8), words, /[ \t]+/); line = "Suites:"
              for (j = 1; j <= m; j++) {
                if (words[j] == machine) keep = 1
                if (words[j] == machine || words[j] == machine "-updates") {
                  sub("^" machine, suite, words[j]); line = line " " words[j]
                }
              }
            }
            out = out line "\n"
          }
          if (keep) printf "%s\n", out
        }' "$f" >"$apt_dir/sources/parts/$(basename "$f")"
    fi
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    if [ -f "$f" ]; then
      sed -nE "/^deb[[:space:]].*[[:space:]]$machine(-updates)?[[:space:]]/s/([[:space:]])$machine/\1$suite/p" "$f"
    fi
  done >"$apt_dir/sources/sources.list"
  if ! grep -rqs "$suite" "$apt_dir/sources"; then
    echo "$0: none of the machine's apt sources names $machine, so none can be turned into $suite" >&2
    exit 1
  fi
  apt_options+=(
    -o "Dir::Etc::sourcelist=$apt_dir/sources/sources.list"
    -o "Dir::Etc::sourceparts=$apt_dir/sources/parts"
  )
}

started=$(date +%s)
mkdir -p "$apt_dir/lists/partial" "$apt_dir/archives/partial" "$apt_dir/dpkg"
: >"$apt_dir/dpkg/status"
if [ "$suite" != - ]; then private_sources; fi
label=
if [ "$suite" != - ]; then label=" of $suite"; fi
echo "== $arch: fetching the package lists$label"
"$here/apt-update.sh" "${apt_options[@]}"
# Every package version the install would take: the cached sysroot of the same versions serves.
resolved=$(apt-get "${apt_options[@]}" -s -qq install "${packages[@]}" 2>/dev/null | sed -n 's/^Inst \([^ ]*\) (\([^ ]*\) .*/\1 \2/p' | sort)
if [ -z "$resolved" ]; then
  apt-get "${apt_options[@]}" -s -qq install "${packages[@]}" >&2 || true
  echo "$0: apt cannot resolve ${packages[*]} for $arch" >&2
  exit 1
fi
key=$(printf '%s\n' "$arch" "$stamp" "$resolved" "$(sha256sum <"$0")" | sha256sum | cut -c1-16)
cache_dir=${XDG_CACHE_HOME:-$HOME/.cache}/umbrafront/sysroots
cached=$cache_dir/$arch-${suite/#-/own}-$key
link_sysroot() {
  rm -rf "$sysroot"
  mkdir -p "$(dirname "$sysroot")"
  ln -sfn "$cached" "$sysroot"
}
if [ -f "$cached/.umbra-packages" ]; then
  link_sysroot
  echo "== $arch: reusing the cached sysroot $cached (key $key)"
  exit 0
fi

echo "== $arch: downloading ${packages[*]} and their dependencies"
# Packages of another sysroot made with the same apt folder would be unpacked as well.
rm -f "$apt_dir"/archives/*.deb
if ! apt-get "${apt_options[@]}" -qq -y --download-only install "${packages[@]}" >"$apt_dir/download.log" 2>&1; then
  cat "$apt_dir/download.log" >&2
  echo "$0: apt could not download ${packages[*]} for $arch" >&2
  exit 1
fi

echo "== $arch: unpacking $(ls "$apt_dir"/archives/*.deb | wc -l) packages into $cached"
partial=$cached.partial-$$
mkdir -p "$cache_dir"
rm -rf "$partial"
mkdir -p "$partial"
printf '%s\0' "$apt_dir"/archives/*.deb | xargs -0 -P "$jobs" -I{} dpkg -x {} "$partial"

# Absolute links (libm.so -> /lib/...) would point into the host's own tree: keep them inside.
while IFS= read -r -d '' link; do
  target=$(readlink "$link")
  ln -sfn "$(realpath -m --relative-to="$(dirname "$link")" "$partial$target")" "$link"
done < <(find "$partial" -type l -lname '/*' -print0)
# qemu -L would also hand a target shell to the kernel when a program calls std::system, which
# cannot run it without binfmt; without one the host's /bin/sh runs the command.
rm -f "$partial/bin/sh" "$partial/usr/bin/sh"

# Which package versions went in, for the licences and versions of whatever is built on it.
for deb in "$apt_dir"/archives/*.deb; do
  dpkg-deb -f "$deb" Package Version | paste -sd' '
done | sed 's/^Package: //; s/ Version: / /' | sort >"$partial/.umbra-versions"
echo "$stamp" >"$partial/.umbra-packages"
# Another run may have made the same one meanwhile, and may be using it.
if [ -f "$cached/.umbra-packages" ]; then
  rm -rf "$partial"
else
  rm -rf "$cached"
  mv "$partial" "$cached"
fi
link_sysroot
echo "== $arch: sysroot ready in $(($(date +%s) - started)) s ($(du -sh "$cached" | cut -f1))"
