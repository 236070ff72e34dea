#!/usr/bin/env bash
# Shows that port/tests/check_package.sh catches the faults it is there for: on copies of a built
# port, each broken in one way, it must fail and name the fault; the untouched copy must pass.
#   - a helper program linked the cross compiler's usual way (its own glibc 2.36 and shared
#     libstdc++): a too new glibc symbol, C++ runtime symbols and a NEEDED libstdc++.so.6;
#   - port.json listing an item the port lacks, and no longer valid JSON;
#   - gameinfo.xml not well-formed;
#   - the binary gone.
#
# Usage: port/tests/check_package_test.sh PORT-DIR
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 PORT-DIR" >&2
  exit 2
fi
stage=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
check=$here/check_package.sh
arch=aarch64
work=$(mktemp -d /tmp/umbra-port-check-XXXXXX)
trap 'rm -rf "$work"' EXIT

failures=0
# expect_fail NAME PATTERN: the check on $work/$NAME fails and says PATTERN.
expect_fail() {
  local out status=0
  out=$("$check" "$arch" "$work/$1" 2>&1) || status=$?
  if [ $status -eq 0 ]; then
    echo "FAIL: the check passed the port with $1" >&2
    failures=$((failures + 1))
  elif ! grep -q -- "$2" <<<"$out"; then
    echo "FAIL: the check failed the port with $1 without saying '$2':" >&2
    echo "$out" >&2
    failures=$((failures + 1))
  else
    echo "ok: $1 is caught ($(grep -m1 -- "$2" <<<"$out" | sed 's/^FAIL: //'))"
  fi
}
copy() {
  cp -r "$stage" "$work/$1"
}

copy clean
if out=$("$check" "$arch" "$work/clean" 2>&1); then
  echo "ok: the untouched port passes"
else
  echo "$out" >&2
  echo "FAIL: the untouched port does not pass" >&2
  failures=$((failures + 1))
fi

copy newer-glibc
cat >"$work/helper.cpp" <<'EOF'
#include <cstdlib>
#include <string>
int main(int argc, char** argv)
{
    std::string s(argv[0]);
    return static_cast<int>(arc4random() % 2) + static_cast<int>(s.size()) + argc;
}
EOF
aarch64-linux-gnu-g++ -O1 -o "$work/newer-glibc/umbrafront/helper.$arch" "$work/helper.cpp"
expect_fail newer-glibc 'newer than the firmwares'
expect_fail newer-glibc 'C++ runtime symbols'
expect_fail newer-glibc 'needs libstdc++.so.6'

copy missing-item
python3 - "$work/missing-item/umbrafront/port.json" <<'EOF'
import json, sys
port = json.load(open(sys.argv[1]))
port["items"].append("Umbrafront Extras")
json.dump(port, open(sys.argv[1], "w"))
EOF
expect_fail missing-item 'do not match'

copy broken-json
printf '{"version": 2,\n' >"$work/broken-json/umbrafront/port.json"
expect_fail broken-json 'cannot be read as JSON'

copy broken-xml
sed -i 's|</gameList>||' "$work/broken-xml/umbrafront/gameinfo.xml"
expect_fail broken-xml 'not well-formed'

copy no-binary
rm "$work/no-binary/umbrafront/umbrafront.$arch"
expect_fail no-binary "umbrafront.$arch is missing"

if [ $failures -gt 0 ]; then
  echo "FAIL: $failures faults went unnoticed or unnamed" >&2
  exit 1
fi
echo "ok: every fault is caught"
