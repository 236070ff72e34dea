#!/usr/bin/env bash
# Checks a built PortMaster port (the folder holding Umbrafront.sh and umbrafront/):
# - the layout PortMaster expects, port.json (valid JSON, its fields, items that match the
#   folder's contents), gameinfo.xml (well-formed, naming the launcher and the screenshot), and
#   Data/ equal to the native build's when build/Data is given;
# - every ELF file: built for the port's architecture, no glibc symbol version newer than the
#   oldest firmware's (2.30), no C++ runtime left to the firmware, no run path, and every NEEDED
#   library either one the firmwares have or bundled in libs.<arch>/.
# Prints the glibc floor and the symbols that decide it.
#
# Usage: port/tests/check_package.sh ARCH PORT-DIR [NATIVE-DATA-DIR]
set -euo pipefail

if [ $# -lt 2 ] || [ $# -gt 3 ]; then
  echo "usage: $0 ARCH PORT-DIR [NATIVE-DATA-DIR]" >&2
  exit 2
fi
arch=$1 stage=$2 native_data=${3:-}
case $arch in
  aarch64) machine=AArch64 loader=/lib/ld-linux-aarch64.so.1 ;;
  *)
    echo "$0: unknown architecture $arch" >&2
    exit 2
    ;;
esac
for tool in python3 xmllint readelf objdump identify; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done

glibc_max=2.30
# What every firmware has: the C library's parts, libgcc's unwinder and its own SDL2.
firmware_libs=" libc.so.6 libm.so.6 libpthread.so.0 libdl.so.2 librt.so.1 libgcc_s.so.1 libSDL2-2.0.so.0 $(basename "$loader") "

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

game=$stage/umbrafront
launcher=$stage/Umbrafront.sh

# ---- layout ----
[ -f "$launcher" ] && [ -x "$launcher" ] || fail "Umbrafront.sh is missing or not executable"
[ -f "$launcher" ] && { bash -n "$launcher" || fail "Umbrafront.sh is no valid bash"; }
[ -d "$game" ] || { fail "the folder umbrafront/ is missing"; exit 1; }
for f in port.json README.md gameinfo.xml screenshot.png "umbrafront.$arch"; do
  [ -s "$game/$f" ] || fail "umbrafront/$f is missing or empty"
done
[ -x "$game/umbrafront.$arch" ] || fail "umbrafront/umbrafront.$arch is not executable"
[ -n "$(ls -A "$game/Data" 2>/dev/null)" ] || fail "umbrafront/Data/ is missing or empty"
[ -s "$game/licenses/umbrafront.copyright" ] || fail "the game's own licence is not in licenses/"
if [ -n "$native_data" ]; then
  diff -r -q "$native_data" "$game/Data" >/dev/null || fail "umbrafront/Data/ differs from $native_data"
fi
if [ -f "$game/screenshot.png" ]; then
  size=$(identify -format '%w %h' "$game/screenshot.png")
  read -r w h <<<"$size"
  [ "$w" -ge 640 ] && [ "$h" -ge 480 ] || fail "the screenshot is $w x $h, smaller than 640 x 480"
fi
grep -q 'SDL12ON2_FULLSCREEN=1' "$launcher" || fail "Umbrafront.sh does not ask for the fullscreen picture"

# ---- port.json ----
if ! python3 - "$game/port.json" "$stage" "$arch" <<'EOF'; then
import json, os, sys

path, stage, arch = sys.argv[1:4]
problems = []
try:
    with open(path, encoding="utf-8") as f:
        port = json.load(f)
except (OSError, ValueError) as e:
    print(f"port.json cannot be read as JSON: {e}", file=sys.stderr)
    sys.exit(1)

def need(cond, what):
    if not cond:
        problems.append(what)

need(port.get("version") == 2, "version is not 2")
need(port.get("name") == "umbrafront.zip", "name is not umbrafront.zip")
items = port.get("items")
need(isinstance(items, list) and items and all(isinstance(i, str) for i in items),
     "items is not a list of names")
if isinstance(items, list):
    listed = sorted(i.rstrip("/") for i in items if isinstance(i, str))
    present = sorted(os.listdir(stage))
    need(listed == present, f"items {listed} do not match the port's files {present}")
need(port.get("items_opt") is None or isinstance(port.get("items_opt"), list),
     "items_opt is neither null nor a list")
attr = port.get("attr")
need(isinstance(attr, dict), "attr is not an object")
if isinstance(attr, dict):
    for key in ("title", "desc", "inst"):
        need(isinstance(attr.get(key), str) and attr[key].strip(), f"attr.{key} is not a text")
    for key in ("genres", "porter"):
        need(isinstance(attr.get(key), list) and attr[key]
             and all(isinstance(v, str) and v for v in attr[key]), f"attr.{key} is not a list of names")
    need(isinstance(attr.get("image"), dict), "attr.image is not an object")
    need(isinstance(attr.get("rtr"), bool), "attr.rtr is not true or false")
    need(attr.get("runtime") is None or isinstance(attr.get("runtime"), str),
         "attr.runtime is neither null nor a name")
    need(isinstance(attr.get("reqs"), list), "attr.reqs is not a list")
    arches = attr.get("arch")
    need(isinstance(arches, list) and arch in arches, f"attr.arch does not name {arch}")
    if isinstance(arches, list):
        for a in arches:
            need(os.path.isfile(os.path.join(stage, "umbrafront", f"umbrafront.{a}")),
                 f"attr.arch names {a} but umbrafront/umbrafront.{a} is missing")
for p in problems:
    print(f"port.json: {p}", file=sys.stderr)
sys.exit(1 if problems else 0)
EOF
  fail "port.json is not what PortMaster expects (above)"
fi

# ---- gameinfo.xml ----
if xmllint --noout "$game/gameinfo.xml" 2>/dev/null; then
  path=$(xmllint --xpath 'string(/gameList/game/path)' "$game/gameinfo.xml")
  name=$(xmllint --xpath 'string(/gameList/game/name)' "$game/gameinfo.xml")
  image=$(xmllint --xpath 'string(/gameList/game/image)' "$game/gameinfo.xml")
  [ "$path" = ./Umbrafront.sh ] || fail "gameinfo.xml's path is '$path', not ./Umbrafront.sh"
  [ -n "$name" ] || fail "gameinfo.xml names no game"
  [ -n "$image" ] && [ -f "$stage/$image" ] || fail "gameinfo.xml's image '$image' is not in the port"
else
  fail "gameinfo.xml is not well-formed XML"
fi

# ---- every ELF file ----
elves=()
while IFS= read -r -d '' f; do
  if [ "$(head -c 4 "$f" | od -An -c | tr -d ' ')" = '177ELF' ]; then elves+=("$f"); fi
done < <(find "$stage" -type f -print0)
[ ${#elves[@]} -gt 0 ] || fail "the port holds no ELF file"

floor=0
floor_symbols=
for elf in "${elves[@]}"; do
  rel=${elf#"$stage"/}
  header=$(readelf -h "$elf")
  grep -q "Machine: *$machine" <<<"$header" || fail "$rel is not built for $machine"
  dynamic=$(readelf -d "$elf")
  if grep -Eq '\((RPATH|RUNPATH)\)' <<<"$dynamic"; then
    fail "$rel has a run path: $(grep -E '\((RPATH|RUNPATH)\)' <<<"$dynamic" | sed 's/.*\[//; s/\]//')"
  fi
  if [ "$(readelf -l "$elf" | sed -n 's/.*Requesting program interpreter: \(.*\)\]/\1/p')" != "" ] &&
    ! readelf -l "$elf" | grep -qF "interpreter: $loader]"; then
    fail "$rel does not use the firmware's loader $loader"
  fi
  while IFS= read -r lib; do
    [ -n "$lib" ] || continue
    if [[ $firmware_libs != *" $lib "* ]] && [ ! -f "$game/libs.$arch/$lib" ]; then
      fail "$rel needs $lib, which the firmware lacks and libs.$arch/ does not hold"
    fi
  done < <(sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' <<<"$dynamic")

  # Symbol versions asked of other libraries, by name: GLIBC_2.17 ...
  symbols=$(objdump -T "$elf" | awk '$0 ~ /\*UND\*/ { for (i = 1; i <= NF; i++) if ($i ~ /^\(?[A-Z]+_[0-9.]+\)?$/) { v = $i; gsub(/[()]/, "", v); print v, $NF } }')
  if grep -Eq '^(GLIBCXX|CXXABI)_' <<<"$symbols"; then
    fail "$rel asks the firmware for C++ runtime symbols: $(grep -E '^(GLIBCXX|CXXABI)_' <<<"$symbols" | head -5 | tr '\n' ' ')"
  fi
  while read -r version name; do
    [ -n "$version" ] || continue
    v=${version#GLIBC_}
    if [ "$(printf '%s\n' "$v" "$glibc_max" | sort -V | tail -1)" != "$glibc_max" ]; then
      fail "$rel needs $name from $version, newer than the firmwares' glibc $glibc_max"
    fi
    if [ "$floor" = 0 ] || [ "$(printf '%s\n' "$v" "$floor" | sort -V | tail -1)" = "$v" ]; then
      if [ "$v" != "$floor" ]; then floor_symbols=; fi
      floor=$v
      floor_symbols+=" $name"
    fi
  done < <(grep '^GLIBC_' <<<"$symbols" | sort -u)
done

echo "ELF files: ${#elves[@]}; glibc needed: $floor, decided by:$(tr ' ' '\n' <<<"$floor_symbols" | sort -u | tr '\n' ' ')"
if [ $failures -gt 0 ]; then
  echo "FAIL: $failures problems in the port in $stage" >&2
  exit 1
fi
echo "ok: the port in $stage"
