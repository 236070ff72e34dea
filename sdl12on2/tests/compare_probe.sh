#!/usr/bin/env bash
# Runs the surface probe built against SDL 1.2 and the one built against the layer, and compares
# their outputs line by line; on a difference, names the first case that differs.
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: $0 CLASSIC_PROBE LAYER_PROBE" >&2
  exit 2
fi
classic=$1
layer=$2
out=$(mktemp -d /tmp/surface-probe-XXXXXX)
trap 'rm -rf "$out"' EXIT

# SDL 1.2 keeps some start-up allocations to the end; only the layer's leaks matter here.
if ! ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" "$classic" >"$out/classic.txt"; then
  echo "FAIL: the probe against SDL 1.2 ($classic) did not finish" >&2
  exit 1
fi
if ! "$layer" >"$out/layer.txt"; then
  echo "FAIL: the probe against the layer ($layer) did not finish" >&2
  exit 1
fi
if [ "$(tail -n 1 "$out/classic.txt")" != done ]; then
  echo "FAIL: the probe against SDL 1.2 stopped early: $(tail -n 1 "$out/classic.txt")" >&2
  exit 1
fi
lines=$(wc -l <"$out/classic.txt")
if cmp -s "$out/classic.txt" "$out/layer.txt"; then
  echo "surface probe: all $lines lines identical to SDL 1.2"
  exit 0
fi
# The first differing line, both versions; a case's name runs up to its colon.
awk 'NR == FNR { want[FNR] = $0; n = FNR; next }
     { if (!(FNR in want) || want[FNR] != $0) { bad = FNR; got = $0; exit } }
     END {
       if (!bad) { bad = FNR + 1; got = "(end of output)" }
       name = want[bad]; sub(/:.*/, "", name)
       printf "FAIL: first difference at line %d of %d, case \"%s\"\n  SDL 1.2: %s\n  layer:   %s\n", bad, n, name, substr(want[bad], 1, 600), substr(got, 1, 600)
     }' "$out/classic.txt" "$out/layer.txt" >&2
echo "Rerun both probes with SURFACE_PROBE_DUMP=1 to see every pixel row." >&2
exit 1
