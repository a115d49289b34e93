#!/usr/bin/env bash
# Our dictionary against hunspell on the same word list, in one run:
#  1. checking every word of Debian's american-english list (words/s);
#  2. suggestions for 2,000 seeded misspellings (time, and how often the
#     intended word is among the suggestions).
# hunspell gets an affix-free dictionary of the very same words.
# Usage: bench/compare-speller.sh [BUILD_DIR]   (default build/release)
set -euo pipefail
build=${1:-build/release}
words=/usr/share/dict/american-english
mkdic="$build/tests/tools/mkdic/mkdic"
[ -x "$mkdic" ] || mkdic="$build/tests/tools/mkdic"
bwtool="$build/tests/tools/bwtool"
[ -x "$bwtool" ] || bwtool="$build/tests/tools/bwtool/bwtool"
for tool in "$mkdic" "$bwtool"; do
  [ -x "$tool" ] || { echo "missing $tool (build the release preset)" >&2; exit 1; }
done
command -v hunspell >/dev/null || { echo "hunspell is not installed" >&2; exit 1; }
[ -f "$words" ] || { echo "$words missing (package wamerican)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$mkdic" "$words" "$work/en.dic"
# hunspell: the same words, no affixes; TRY letters for its suggestions.
{ wc -l < "$words"; cat "$words"; } > "$work/hun.dic"
printf 'SET UTF-8\nTRY esianrtolcdugmphbyfvkwzxjqESIANRTOLCDUGMPHBYFVKWZXJQ'"'"'\nWORDCHARS '"'"'\n' > "$work/hun.aff"

python3 - "$words" "$work/miss.txt" "$work/intended.txt" <<'PY'
import random, sys
words = [w.rstrip('\n') for w in open(sys.argv[1], encoding='utf-8')]
known = set(words)
rnd = random.Random(2026)
letters = 'abcdefghijklmnopqrstuvwxyz'
out = []
while len(out) < 2000:
    w = rnd.choice(words)
    if len(w) < 3:
        continue
    p = rnd.randrange(len(w))
    k = rnd.randrange(4)
    if k == 0: b = w[:p] + rnd.choice(letters) + w[p:]
    elif k == 1: b = w[:p] + w[p+1:]
    elif k == 2: b = w[:p] + rnd.choice(letters) + w[p+1:]
    else: b = w[:p] + w[p+1] + w[p] + w[p+2:] if p + 1 < len(w) else w
    if b in known or ' ' in b:
        continue
    out.append((b, w))
open(sys.argv[2], 'w', encoding='utf-8').write(''.join(b + '\n' for b, _ in out))
open(sys.argv[3], 'w', encoding='utf-8').write(''.join(w + '\n' for _, w in out))
PY

now() { date +%s.%N; }
count=$(wc -l < "$words")

t0=$(now); "$bwtool" spell "$work/en.dic" < "$words" > "$work/us-unknown.txt"; t1=$(now)
hunspell -i utf-8 -d "$work/hun" -l < "$words" > "$work/hun-unknown.txt"; t2=$(now)
t3=$(now); "$bwtool" spell "$work/en.dic" --suggest < "$work/miss.txt" > "$work/us-sugg.txt"; t4=$(now)
hunspell -i utf-8 -d "$work/hun" -a < "$work/miss.txt" > "$work/hun-sugg.txt"; t5=$(now)

python3 - "$count" "$t0" "$t1" "$t2" "$t3" "$t4" "$t5" "$work" <<'PY'
import sys
count = int(sys.argv[1])
t = [float(x) for x in sys.argv[2:8]]
work = sys.argv[8]
us_check, hun_check = t[1] - t[0], t[2] - t[1]
us_sugg, hun_sugg = t[4] - t[3], t[5] - t[4]
miss = open(f'{work}/miss.txt', encoding='utf-8').read().split('\n')[:-1]
intended = open(f'{work}/intended.txt', encoding='utf-8').read().split('\n')[:-1]
us_unknown = sum(1 for _ in open(f'{work}/us-unknown.txt', encoding='utf-8'))
hun_unknown = sum(1 for _ in open(f'{work}/hun-unknown.txt', encoding='utf-8'))

ours = {}
for line in open(f'{work}/us-sugg.txt', encoding='utf-8'):
    word, _, rest = line.rstrip('\n').partition(':')
    ours[word] = [s for s in rest.strip().split(', ') if s]
hun = []
for line in open(f'{work}/hun-sugg.txt', encoding='utf-8'):
    line = line.rstrip('\n')
    if line.startswith('&'):
        hun.append(line.split(': ', 1)[1].split(', '))
    elif line.startswith('#'):
        hun.append([])
    elif line.startswith('*') or line.startswith('+') or line.startswith('-'):
        hun.append(None)
us_hits = sum(1 for b, w in zip(miss, intended) if w in ours.get(b, []))
hun_hits = sum(1 for s, w in zip(hun, intended) if s and w in s)
n = len(miss)
print(f'check {count} words:   ours {count/us_check:12,.0f} words/s ({us_check:.3f} s, {us_unknown} unknown)')
print(f'                      hunspell {count/hun_check:8,.0f} words/s ({hun_check:.3f} s, {hun_unknown} unknown)')
print(f'                      ratio {hun_check/us_check:.2f}x (ours / hunspell rate; both include loading)')
print(f'suggest {n} misspellings: ours {us_sugg:.3f} s, hit rate {us_hits/n:.1%}')
print(f'                          hunspell {hun_sugg:.3f} s, hit rate {hun_hits/n:.1%} ({len(hun)} answers)')
print(f'                          time ratio {hun_sugg/us_sugg:.2f}x (hunspell time / ours)')
PY
