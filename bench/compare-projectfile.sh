#!/usr/bin/env bash
# Loads and saves the same generated 5,000-topic project file (about 50 MB)
# and reads it with `cat FILE > /dev/null`, in one run, and prints MB/s and
# the ratios of load and save to cat. Save includes the safe-save steps
# (temporary file, fsync, rename).
set -euo pipefail
build=${1:-build/release}
runs=${2:-3}
bench="$build/bench/projectfile_bench"
[ -x "$bench" ] || { echo "missing $bench (build with BW_BENCH=ON)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
input="$work/generated.bwv"
"$bench" --write "$input"
bytes=$(stat -c %s "$input")

now() { date +%s.%N; }
best_cat=""
for _ in $(seq "$runs"); do
    start=$(now)
    cat "$input" > /dev/null
    end=$(now)
    best_cat=$(echo "$start $end ${best_cat:-999999}" | awk '{d=$2-$1; print (d<$3)?d:$3}')
done

read -r load save saved < <("$bench" --time "$input" "$runs")
mbps() { echo "$bytes $1" | awk '{printf "%.1f", $1/1e6/$2}'; }
printf 'input: %.1f MB (saved: %.1f MB), best of %d, load average %s\n' \
    "$(echo "$bytes" | awk '{print $1/1e6}')" "$(echo "$saved" | awk '{print $1/1e6}')" "$runs" \
    "$(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-26s %8.3f s %8s MB/s\n' "cat FILE > /dev/null" "$best_cat" "$(mbps "$best_cat")"
printf '%-26s %8.3f s %8s MB/s   %.2fx the time of cat\n' "brindle load" "$load" \
    "$(mbps "$load")" "$(echo "$load $best_cat" | awk '{print $1/$2}')"
printf '%-26s %8.3f s %8s MB/s   %.2fx the time of cat\n' "brindle save (safe)" "$save" \
    "$(mbps "$save")" "$(echo "$save $best_cat" | awk '{print $1/$2}')"
