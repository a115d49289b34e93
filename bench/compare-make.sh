#!/usr/bin/env bash
# `Brindle big.bwv /chtml /q` on generated projects of 2,000, 5,000 and
# 10,000 topics beside chmcmd alone on the same written input, alternating
# the two MAKE_BENCH_RUNS times (7 by default) in one run; prints the median
# and best time of each, the make's own share (median make - median chmcmd)
# and the ratio of the medians (the goal is at most 1.05). Without the
# program the same quiet run goes through the pipeline in make_bench.
#   MAKE_BENCH_TOPICS   the project sizes (default "2000 5000 10000")
#   MAKE_BENCH_RUNS     alternations per size (default 7)
#   MAKE_BENCH_OTHER    another build's Brindle (an older one, say), timed in
#                       the same alternation on the same project
set -euo pipefail
build=${1:-build/release}
bench="$build/bench/make_bench"
brindle="$build/apps/Brindle/Brindle"
sizes=${MAKE_BENCH_TOPICS:-2000 5000 10000}
runs=${MAKE_BENCH_RUNS:-7}
[ -x "$bench" ] || { echo "missing $bench (build with BW_BENCH=ON)" >&2; exit 1; }
command -v chmcmd >/dev/null || { echo "chmcmd is missing" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

now() { date +%s.%N; }
other=${MAKE_BENCH_OTHER:-}
make_once() { # [program]
    local start end program=${1:-$brindle}
    rm -f "$work/big.chm"
    start=$(now)
    if [ -x "$program" ]; then
        env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM VEXLOR_SANDBOX="$work/sandbox" \
            "$program" "$work/big.bwv" /chtml /q 2>"$work/stderr.txt" ||
            { cat "$work/stderr.txt" >&2; exit 1; }
    else
        "$bench" --make "$work/big.bwv"
    fi
    end=$(now)
    [ -s "$work/big.chm" ] || { echo "no big.chm was made" >&2; exit 1; }
    echo "$start $end" | awk '{printf "%.3f\n", $2-$1}'
}
# Median and best of the numbers on stdin.
stats() { sort -n | awk '{v[NR]=$1} END {m = NR % 2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2;
                                          printf "%.3f %.3f\n", m, v[1]}'; }

if [ -x "$brindle" ]; then runner="Brindle big.bwv /chtml /q"; else runner="make_bench --make"; fi
printf 'load average at the start %s\n' "$(cut -d' ' -f1-3 /proc/loadavg)"
for topics in $sizes; do
    rm -rf "$work/input" "$work/sandbox" "$work/big.bwv"
    "$bench" --write "$work/big.bwv" "$topics"
    "$bench" --input "$work/big.bwv" # chmcmd's input, written once outside the timing
    : > "$work/make.txt"
    : > "$work/chmcmd.txt"
    : > "$work/other.txt"
    for _ in $(seq "$runs"); do
        make_once >> "$work/make.txt"
        "$bench" --chmcmd "$work/big.bwv" >> "$work/chmcmd.txt"
        [ -z "$other" ] || make_once "$other" >> "$work/other.txt"
    done
    read -r make_med make_best < <(stats < "$work/make.txt")
    read -r chm_med chm_best < <(stats < "$work/chmcmd.txt")
    printf '%d topics, %d runs each, alternating; load average %s\n' "$topics" "$runs" \
        "$(cut -d' ' -f1-3 /proc/loadavg)"
    printf '  %-28s median %8.3f s  best %8.3f s\n' "$runner" "$make_med" "$make_best"
    printf '  %-28s median %8.3f s  best %8.3f s\n' "chmcmd alone" "$chm_med" "$chm_best"
    if [ -n "$other" ]; then
        read -r other_med other_best < <(stats < "$work/other.txt")
        printf '  %-28s median %8.3f s  best %8.3f s (own share %.3f s, ratio %.3f)\n' \
            "MAKE_BENCH_OTHER" "$other_med" "$other_best" \
            "$(echo "$other_med $chm_med" | awk '{print $1-$2}')" \
            "$(echo "$other_med $chm_med" | awk '{print $1/$2}')"
    fi
    printf '  own share %.3f s; ratio %.3f (goal: at most 1.05)\n' \
        "$(echo "$make_med $chm_med" | awk '{print $1-$2}')" \
        "$(echo "$make_med $chm_med" | awk '{print $1/$2}')"
done
