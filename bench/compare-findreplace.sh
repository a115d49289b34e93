#!/usr/bin/env bash
# Replace All of 50,000 occurrences over 2,000 topics (one RTF file each,
# about 16 MB): our find session reading the files as topics, replacing
# through the topic editor and the document model and writing the topics
# back, against `perl -pi -e` on the same files, best of three runs each.
# Our run checks that every topic reads back as RTF without the old word.
set -euo pipefail
build=${1:-build/release}
build=$(cd "$build" && pwd)
bench="$build/bench/findreplace_bench"
[ -x "$bench" ] || { echo "missing $bench (build with BW_BENCH=ON)" >&2; exit 1; }
command -v perl > /dev/null || { echo "perl not installed"; exit 0; }
# In memory where the machine has it: the disk's own speed would decide both.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then work=$(mktemp -d -p /dev/shm); else work=$(mktemp -d); fi
trap 'rm -rf "$work"' EXIT

"$bench" --dump "$work/ours"
read -r ours replaced < <("$bench" --time "$work/ours" 3)

now() { date +%s.%N; }
perl_s=""
for _ in 1 2 3; do
    rm -rf "$work/perl"
    "$bench" --dump "$work/perl"
    start=$(now)
    perl -pi -e 's/marmalade/quince jelly/g' "$work"/perl/*.rtf
    end=$(now)
    perl_s=$(echo "$start $end ${perl_s:-999999}" | awk '{d=$2-$1; print (d<$3)?d:$3}')
done
left=$( (grep -c marmalade "$work"/perl/*.rtf || true) | awk -F: '{s+=$2} END {print s+0}')

printf 'input: %s files, %s\n' "$(ls "$work/perl" | wc -l)" "$(du -sh "$work/perl" | cut -f1)"
printf '%-34s %8.3f s   %s replacements, RTF read back\n' "brindle Replace All (all topics)" \
    "$ours" "$replaced"
printf '%-34s %8.3f s   %s left\n' "perl -pi -e s///g" "$perl_s" "$left"
printf 'ours takes %.2fx the time of perl\n' "$(echo "$ours $perl_s" | awk '{print $1/$2}')"
