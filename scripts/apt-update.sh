#!/usr/bin/env bash
# Runs `apt-get update` with the given apt options, trying again when an index fails to download.
#
# Usage: scripts/apt-update.sh [-o Option=Value ...]
#
# A mirror that is part-way through a sync serves an index whose size disagrees with its Release
# file for a few minutes; apt then fails the whole update. So a failed update is tried again after
# a growing pause. If the last try still fails but apt did download package or source lists, the
# run goes on with those (apt itself keeps the older or missing index aside) and says so; with no
# lists at all it fails.
set -euo pipefail

pauses=(15 30 60 120)
try=0
while true; do
  if apt-get "$@" -qq update; then exit 0; fi
  if [ "$try" -ge ${#pauses[@]} ]; then break; fi
  echo "$0: apt-get update failed (try $((try + 1))); trying again in ${pauses[$try]} s" >&2
  sleep "${pauses[$try]}"
  try=$((try + 1))
done

lists=
eval "$(apt-config "$@" shell lists Dir::State::Lists/d)"
if [ -n "$lists" ] &&
  { compgen -G "$lists/*_Packages*" >/dev/null || compgen -G "$lists/*_Sources*" >/dev/null; }; then
  echo "$0: warning: some package lists would not download after $((try + 1)) tries;" \
    "going on with the lists in $lists" >&2
  exit 0
fi
echo "$0: apt-get update failed $((try + 1)) times and no package lists are present" \
  "(is the Debian archive reachable?)" >&2
exit 1
