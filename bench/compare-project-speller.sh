#!/usr/bin/env bash
# The project spell check (Ctrl+F12, every reported word ignored at once by
# a scripted check window)
# on a generated 5,000-topic project, against hunspell -l on the same
# topics' prose, in one run. hunspell gets an affix-free dictionary of the
# very same words.
# Usage: bench/compare-project-speller.sh [BUILD_DIR] [TOPICS]   (default build/release 5000)
set -euo pipefail
build=${1:-build/release}
topics=${2:-5000}
words=/usr/share/dict/american-english
mkdic="$build/tests/tools/mkdic"
[ -x "$mkdic" ] || mkdic="$build/tests/tools/mkdic/mkdic"
bench="$build/bench/spellproject_qtbench"
for tool in "$mkdic" "$bench"; do
  [ -x "$tool" ] || { echo "missing $tool (build the release preset)" >&2; exit 1; }
done
command -v hunspell >/dev/null || { echo "hunspell is not installed (apt-get install hunspell)" >&2; exit 1; }
[ -f "$words" ] || { echo "$words missing (package wamerican)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$mkdic" "$words" "$work/en.dic"
{ wc -l < "$words"; cat "$words"; } > "$work/hun.dic"
printf 'SET UTF-8\nWORDCHARS '"'"'\n' > "$work/hun.aff"

ours=$("$bench" "$work/en.dic" "$words" "$work/prose.txt" "$topics")
# The same with the check window on screen, painted at every word, on a
# tenth of the topics.
window=$("$bench" --window "$work/en.dic" "$words" "$work/prose-window.txt" $((topics / 10)))
t0=$(date +%s.%N)
hunspell -i utf-8 -d "$work/hun" -l < "$work/prose.txt" > "$work/hun-unknown.txt"
t1=$(date +%s.%N)
python3 - "$ours" "$t0" "$t1" "$work/hun-unknown.txt" "$window" <<'PY'
import sys
fields = sys.argv[1].split()
ours = dict(zip(fields[0::2], fields[1::2]))
wf = sys.argv[5].split()
win = dict(zip(wf[0::2], wf[1::2]))
hun = float(sys.argv[3]) - float(sys.argv[2])
unknown = sum(1 for _ in open(sys.argv[4], encoding='utf-8'))
seconds = float(ours['seconds'])
print(f"project check, {ours['topics']} topics, {int(ours['words']):,} words:")
print(f"  ours (Ctrl+F12, {ours['stops']} words reported and ignored): {seconds:.3f} s"
      f" (of which showing and storing the topics alone: {float(ours['walk']):.3f} s)")
print(f"  hunspell -l on the same prose ({unknown} words listed): {hun:.3f} s")
print(f"  ratio {hun / seconds:.2f}x (hunspell time / ours; at least 1 is the goal)")
ws = float(win['seconds'])
print(f"with the check window painted at each word, {win['topics']} topics: {ws:.3f} s,"
      f" {1000 * ws / max(1, int(win['stops'])):.2f} ms a reported word")
PY
