#!/usr/bin/env bash
# Streamed extraction of a 512 MiB file from a setup package (setuptool
# extract: inflate, CRC-32, write through a temporary file and rename)
# against `zlib-flate -uncompress` (Debian qpdf) on the same zlib stream,
# in the same run. Prints MB/s for both and our share of zlib-flate's rate.
set -euo pipefail
build=${1:-build/release}
tools="$build/tests/tools"
size_mib=${SETUP_BENCH_MIB:-512}
runs=${SETUP_BENCH_RUNS:-5}
# Both write to the same folder; tmpfs keeps disk write-back out of the figures.
base=${SETUP_BENCH_DIR:-$([ -d /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")}
work=$(mktemp -d "$base/setupbench.XXXXXX")
trap 'rm -rf "$work"' EXIT

command -v zlib-flate > /dev/null || { echo "zlib-flate (Debian qpdf) is needed"; exit 1; }
bytes=$((size_mib * 1024 * 1024))
cat > "$work/p.json" <<JSON
{"level": 6,
 "settings": {"product": "Bench", "appFolder": "%PROGRAMFILES%\\\\Bench"},
 "files": [{"name": "big.bin", "generated": {"size": $bytes, "seed": 11}}],
 "components": [{"name": "Main", "folders": [{"name": "%APPFOLDER%", "items": [{"file": "big.bin"}]}]}]}
JSON
"$tools/mkpackage" "$work/p.json" "$work/p.exe" > /dev/null
position=$("$tools/setuptool" dump "$work/p.exe" | sed -n 's/^0: "big.bin" position=\([0-9]*\) .*/\1/p')
packed=$(od -An -tu4 -j "$position" -N4 "$work/p.exe" | tr -d ' ')
tail -c +$((position + 5)) "$work/p.exe" | head -c "$packed" > "$work/stream.z"

# One timed run: prints "elapsed cpu" in seconds.
timed() {
  /usr/bin/time -f '%e %U %S' -o "$work/time" "$@"
  awk '{ printf "%s %.2f\n", $1, $2 + $3 }' "$work/time"
}
best() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'; }
ours_e="" ours_c="" theirs_e="" theirs_c=""
for i in $(seq "$runs"); do
  rm -f "$work/ours.bin" "$work/theirs.bin"
  # Alternate the order so neither always runs on a warmer machine.
  if (( i % 2 )); then
    read -r e c < <(timed "$tools/setuptool" extract "$work/p.exe" 0 "$work/ours.bin")
    ours_e=$(best "$e" "$ours_e"); ours_c=$(best "$c" "$ours_c")
    read -r e c < <(timed sh -c 'zlib-flate -uncompress < "$1" > "$2"' sh "$work/stream.z" "$work/theirs.bin")
    theirs_e=$(best "$e" "$theirs_e"); theirs_c=$(best "$c" "$theirs_c")
  else
    read -r e c < <(timed sh -c 'zlib-flate -uncompress < "$1" > "$2"' sh "$work/stream.z" "$work/theirs.bin")
    theirs_e=$(best "$e" "$theirs_e"); theirs_c=$(best "$c" "$theirs_c")
    rm -f "$work/theirs.bin"
    read -r e c < <(timed "$tools/setuptool" extract "$work/p.exe" 0 "$work/ours.bin")
    ours_e=$(best "$e" "$ours_e"); ours_c=$(best "$c" "$ours_c")
    zlib-flate -uncompress < "$work/stream.z" > "$work/theirs.bin"
  fi
done
cmp "$work/ours.bin" "$work/theirs.bin"
rate() { awk -v m="$size_mib" -v t="$1" 'BEGIN { printf "%.1f", m / t }'; }
printf 'compressed stream: %d bytes for %d MiB (best of %d runs)\n' "$packed" "$size_mib" "$runs"
printf 'setuptool extract: %s MiB/s elapsed, %s MiB/s per CPU second\n' "$(rate "$ours_e")" "$(rate "$ours_c")"
printf 'zlib-flate:        %s MiB/s elapsed, %s MiB/s per CPU second\n' "$(rate "$theirs_e")" "$(rate "$theirs_c")"
printf 'ratio (ours / zlib-flate): %s elapsed, %s CPU (target at least 0.80)\n' \
  "$(awk -v a="$ours_e" -v b="$theirs_e" 'BEGIN { printf "%.2f", b / a }')" \
  "$(awk -v a="$ours_c" -v b="$theirs_c" 'BEGIN { printf "%.2f", b / a }')"
