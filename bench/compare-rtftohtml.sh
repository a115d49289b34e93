#!/usr/bin/env bash
# RtfToHtml against unrtf --html on the same generated RTF (2,000 topics'
# worth of paragraphs in one document, about 11 MB), in one run.
set -euo pipefail
build=${1:-build/release}
build=$(cd "$build" && pwd)
bwtool="$build/tests/tools/bwtool"
if [ ! -x "$bwtool" ] || ! command -v unrtf >/dev/null; then
  echo "compare-rtftohtml: needs $bwtool and unrtf; skipped"
  exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# unrtf writes the pictures it meets into the current folder.
cd "$work"
python3 - "$work/topics.rtf" <<'PY'
import sys
out = open(sys.argv[1], "w", newline="\r\n")
out.write("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}"
          "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green128\\blue0;}\n")
for t in range(2000):
    out.write("\\pard\\f0\\fs28\\b Topic %d\\b0\\fs20\\par\n" % t)
    for p in range(60):
        start = "\\pard\\li360\\fi-360\\tx360 " if p % 7 == 3 else "\\pard "
        out.write(start + "Some text of paragraph %d with {\\b bold}, {\\i italic} and "
                  "\\cf2\\uldb a jump\\ulnone\\cf0\\{linkID=%d\\} plus a tab\\tab and  two "
                  "blanks & <angles>.\\par\n" % (p, t * 10 + p))
out.write("}\n")
PY
size=$(stat -c %s "$work/topics.rtf")
t0=$(date +%s.%N)
"$bwtool" rtf2html "$work/topics.rtf" > "$work/ours.html"
t1=$(date +%s.%N)
unrtf --html "$work/topics.rtf" > "$work/unrtf.html" 2>/dev/null
t2=$(date +%s.%N)
python3 - "$size" "$t0" "$t1" "$t2" <<'PY'
import sys
size, t0, t1, t2 = int(sys.argv[1]), *map(float, sys.argv[2:])
ours, theirs = t1 - t0, t2 - t1
print("input %.1f MB" % (size / 1e6))
print("RtfToHtml (bwtool rtf2html): %.2f s, %.1f MB/s" % (ours, size / 1e6 / ours))
print("unrtf --html:                %.2f s, %.1f MB/s" % (theirs, size / 1e6 / theirs))
print("ratio (unrtf time / ours): %.1f" % (theirs / ours))
PY
