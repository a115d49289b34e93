#!/usr/bin/env bash
# Reads the same generated 2,000-topic RTF document (about 11 MB) with our
# engine (parse to document and plain text), `unrtf --text` and
# `pandoc -f rtf -t plain`, in one run, and prints MB/s and the ratios.
set -euo pipefail
build=${1:-build/release}
build=$(cd "$build" && pwd)
bench="$build/bench/rtf_bench"
[ -x "$bench" ] || { echo "missing $bench (build with BW_BENCH=ON)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# unrtf writes the pictures it meets into the current folder.
cd "$work"
input="$work/topics.rtf"
"$bench" --dump "$input"
bytes=$(stat -c %s "$input")

now() { date +%s.%N; }
seconds_of() {  # best of N runs of a command, output discarded
    local runs=$1; shift
    local best=""
    for _ in $(seq "$runs"); do
        local start end
        start=$(now)
        "$@" > /dev/null 2>&1 || true
        end=$(now)
        best=$(echo "$start $end ${best:-999999}" | awk '{d=$2-$1; print (d<$3)?d:$3}')
    done
    echo "$best"
}

read -r ours _ _ < <("$bench" --time "$input" 5)
mbps() { echo "$bytes $1" | awk '{printf "%.1f", $1/1e6/$2}'; }
printf 'input: %.1f MB\n' "$(echo "$bytes" | awk '{print $1/1e6}')"
printf '%-28s %8.3f s %8s MB/s\n' "brindle parse to document" "$ours" "$(mbps "$ours")"
if command -v unrtf > /dev/null; then
    unrtf_s=$(seconds_of 1 unrtf --text "$input")
    printf '%-28s %8.3f s %8s MB/s   ours is %.1fx faster\n' "unrtf --text" "$unrtf_s" \
        "$(mbps "$unrtf_s")" "$(echo "$unrtf_s $ours" | awk '{print $1/$2}')"
else
    echo "unrtf not installed"
fi
if command -v pandoc > /dev/null; then
    pandoc_s=$(seconds_of 1 pandoc -f rtf -t plain "$input")
    printf '%-28s %8.3f s %8s MB/s   ours is %.1fx faster\n' "pandoc -f rtf -t plain" "$pandoc_s" \
        "$(mbps "$pandoc_s")" "$(echo "$pandoc_s $ours" | awk '{print $1/$2}')"
else
    echo "pandoc not installed"
fi
