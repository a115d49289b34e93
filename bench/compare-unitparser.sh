#!/usr/bin/env bash
# Parses the largest Free Pascal unit with our unit parser (bwtool pascal) and
# with Free Pascal's own parser (fcl-passrc, through a small dumper compiled
# here with fpc), in the same run, and prints both times and their ratio.
set -euo pipefail
build=${1:-build/release}
root=$(cd "$(dirname "$0")/.." && pwd)
unit=/usr/share/fpcsrc/3.2.2/packages/odata/src/sharepoint.pp
bwtool="$build/tests/tools/bwtool"
if [ ! -f "$unit" ]; then echo "skip: $unit not installed (fpc-source-3.2.2)"; exit 0; fi
if ! command -v fpc >/dev/null; then echo "skip: fpc not installed (fp-compiler, fp-units-fcl)"; exit 0; fi
if [ ! -x "$bwtool" ]; then echo "skip: $bwtool not built"; exit 0; fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fpc -O2 -FE"$work" -FU"$work" "$root/tests/data/unitparser/passrcdump.pp" >"$work/fpc.log" 2>&1 \
  || { cat "$work/fpc.log"; exit 1; }

best() {  # best of 5 wall-clock runs, in milliseconds
  local best=999999999 i start end
  for i in 1 2 3 4 5; do
    start=$(date +%s%N); "$@" >/dev/null; end=$(date +%s%N)
    (( (end - start) / 1000000 < best )) && best=$(( (end - start) / 1000000 ))
  done
  echo "$best"
}
lines=$(wc -l <"$unit")
ours=$(best "$bwtool" pascal "$unit")
theirs=$(best "$work/passrcdump" "$unit")
echo "unit: sharepoint.pp, $lines lines"
echo "bwtool pascal:       ${ours} ms ($(( lines * 1000 / (ours > 0 ? ours : 1) )) lines/s)"
echo "fcl-passrc dumper:   ${theirs} ms ($(( lines * 1000 / (theirs > 0 ? theirs : 1) )) lines/s)"
awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "ratio (fcl-passrc / ours): %.2f\n", (a > 0 ? b / a : 0) }'
