#!/usr/bin/env bash
# `Brindle big.bwv /chtml /q` on a generated 2,000-topic project beside
# chmcmd alone on the same written input, in one run; prints both times and
# their ratio (the goal is at most 1.3). Without the program the same quiet
# run goes through the pipeline in make_bench.
set -euo pipefail
build=${1:-build/release}
bench="$build/bench/make_bench"
brindle="$build/apps/Brindle/Brindle"
[ -x "$bench" ] || { echo "missing $bench (build with BW_BENCH=ON)" >&2; exit 1; }
command -v chmcmd >/dev/null || { echo "chmcmd is missing" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bench" --write "$work/big.bwv"

now() { date +%s.%N; }
if [ -x "$brindle" ]; then
    runner="Brindle big.bwv /chtml /q"
    start=$(now)
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM VEXLOR_SANDBOX="$work/sandbox" \
        "$brindle" "$work/big.bwv" /chtml /q 2>"$work/stderr.txt" ||
        { cat "$work/stderr.txt" >&2; exit 1; }
    end=$(now)
else
    runner="pipeline (make_bench --make)"
    start=$(now)
    "$bench" --make "$work/big.bwv"
    end=$(now)
fi
make_s=$(echo "$start $end" | awk '{print $2-$1}')
[ -s "$work/big.chm" ] || { echo "no big.chm was made" >&2; exit 1; }

# chmcmd alone on the input the writer makes (written outside the timing).
chm_s=$("$bench" --chmcmd "$work/big.bwv")
printf 'load average %s\n' "$(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-34s %8.3f s\n' "$runner" "$make_s"
printf '%-34s %8.3f s\n' "chmcmd alone" "$chm_s"
printf 'ratio %.2f (goal: at most 1.3)\n' "$(echo "$make_s $chm_s" | awk '{print $1/$2}')"
