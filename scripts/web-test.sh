#!/usr/bin/env bash
# web-test.sh -- builds the browser site (scripts/web-build.sh) and runs the browser tests
# (tests/web) in Debian's Chromium, headless, against scripts/web-serve.sh on 127.0.0.1. Ends with
# "N passed, N failed" and a non-zero exit status on any failure.
#
# Usage: scripts/web-test.sh [--figures] [--only NAME-PART]...
#   --figures    print the build's figures (site size, time to the title, idle CPU, a computer
#                turn against the native game) instead of testing
#   --only PART  run only the tests whose name contains PART (repeatable)
# Environment: UMBRA_WEB_RANDOM_EVENTS / UMBRA_WEB_RANDOM_SEED size and seed the random-input test.
set -euo pipefail

usage() { echo "usage: $0 [--figures] [--only NAME-PART]..." >&2; exit 2; }
args=()
while [ $# -gt 0 ]; do
  case $1 in
    --figures) args+=(--figures); shift ;;
    --only) [ $# -ge 2 ] || usage; args+=(--only "$2"); shift 2 ;;
    *) usage ;;
  esac
done

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
fail() { echo "FAIL: $*" >&2; exit 1; }

build_log=$(mktemp)
trap 'rm -f "$build_log"' EXIT
scripts/web-build.sh | tee "$build_log" || fail "scripts/web-build.sh failed"
site=$(tail -n 1 "$build_log")
[ -f "$site/files.json" ] || fail "scripts/web-build.sh named no site (\"$site\")"

command -v node >/dev/null || fail "node is missing"
command -v npm >/dev/null || fail "npm is missing (it comes with the machine's Node.js; Debian's npm package is not used)"
[ -x /usr/bin/chromium ] || fail "/usr/bin/chromium is missing (scripts/install-deps.sh installs Debian's chromium)"
echo "== the browser tests' packages (npm ci in tests/web)"
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error) || fail "npm ci in tests/web failed"

echo "== browser tests (tests/web)"
node tests/web/run.js --site "$site" "${args[@]}"
