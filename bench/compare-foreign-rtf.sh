#!/usr/bin/env bash
# RTF that another program wrote: pandoc renders the longest man pages and
# READMEs found on this machine as RTF, the bodies are joined into one
# document of about 10 MB, and in one run `bwtool rtf-text` is set against
# `unrtf --text` and `bwtool rtf2html` against `unrtf --html`, whole process,
# with the elapsed time and the peak memory that /usr/bin/time reports.
#   compare-foreign-rtf.sh [BUILD_DIR] [TARGET_MB]
set -euo pipefail
build=${1:-build/release}
target_mb=${2:-10}
build=$(cd "$build" && pwd)
bwtool="$build/tests/tools/bwtool"
for tool in pandoc unrtf /usr/bin/time python3; do
  if ! command -v "$tool" > /dev/null; then
    echo "compare-foreign-rtf: needs $tool; skipped"
    exit 0
  fi
done
if [ ! -x "$bwtool" ]; then
  echo "compare-foreign-rtf: needs $bwtool; skipped"
  exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# unrtf writes the pictures it meets into the current folder.
cd "$work"
mkdir sources

# The sources: the longest man pages of section 1 and the longest READMEs.
render() { # reader, source file (maybe gzipped), output name
  local reader=$1 file=$2 name=$3 plain="sources/$3.txt"
  case "$file" in
    *.gz) gzip -dc "$file" > "$plain" 2> /dev/null || return 0 ;;
    *) cp "$file" "$plain" ;;
  esac
  pandoc -f "$reader" -s -t rtf "$plain" -o "sources/$name.rtf" 2> /dev/null ||
    rm -f "sources/$name.rtf"
}
n=0
while IFS= read -r page; do
  render man "$page" "man$n"
  n=$((n + 1))
done < <(ls -S /usr/share/man/man1/*.1.gz 2> /dev/null | head -n 8)
n=0
while IFS= read -r readme; do
  render markdown "$readme" "readme$n"
  n=$((n + 1))
done < <(find /usr/share/doc -maxdepth 2 \( -iname 'README*.md' -o -iname 'README*.md.gz' \) \
  -printf '%s %p\n' 2> /dev/null | sort -rn | head -n 6 | cut -d' ' -f2-)

input="$work/foreign.rtf"
python3 - "$input" "$target_mb" sources/*.rtf << 'PY'
import sys
out_path, target = sys.argv[1], float(sys.argv[2]) * 1e6
header, bodies = None, []
for path in sys.argv[3:]:
    text = open(path, "rb").read()
    # pandoc's documents share their header: the font table, the colour
    # table and the document settings, then one group per paragraph.
    start = text.find(b"\n\n")
    end = text.rfind(b"}")
    if start < 0 or end < start:
        continue
    if header is None:
        header = text[:start + 2]
    bodies.append(text[start + 2:end])
if not bodies:
    sys.exit("no RTF was made")
out = bytearray(header)
i = 0
while len(out) < target:
    out += bodies[i % len(bodies)]
    i += 1
out += b"}\n"
open(out_path, "wb").write(out)
print("sources: %d documents, %.1f MB of distinct RTF" %
      (len(bodies), sum(map(len, bodies)) / 1e6))
PY
bytes=$(stat -c %s "$input")

# Runs a command under /usr/bin/time and prints "seconds peak_kB"; the
# best time of `runs` runs and the largest peak.
measure() {
  local runs=$1
  shift
  local best="" peak=0
  for _ in $(seq "$runs"); do
    /usr/bin/time -v -o "$work/time.txt" "$@" > "$work/out.txt" 2> /dev/null || true
    local s kb
    s=$(awk -F': ' '/Elapsed \(wall clock\)/ {
          n = split($2, p, ":"); t = 0; for (i = 1; i <= n; ++i) t = t * 60 + p[i]; print t }' \
      "$work/time.txt")
    kb=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
    best=$(echo "$s ${best:-999999}" | awk '{print ($1 < $2) ? $1 : $2}')
    peak=$((kb > peak ? kb : peak))
  done
  echo "$best $peak"
}

report() { # label, seconds, peak kB
  echo "$bytes $2 $3" | awk -v label="$1" '{
    printf "%-24s %7.3f s %8.1f MB/s   peak %7.1f MB (%.1fx input)\n",
      label, $2, $1 / 1e6 / ($2 > 0 ? $2 : 1e-3), $3 / 1024, $3 * 1024 / $1 }'
}
ratio() { # label, their seconds, our seconds, goal
  echo "$2 $3" | awk -v label="$1" -v goal="$4" '{
    r = $1 / ($2 > 0 ? $2 : 1e-3)
    printf "%-40s %6.1fx (goal %sx)\n", label, r, goal }'
}

printf 'input: %.1f MB of pandoc RTF\n' "$(echo "$bytes" | awk '{print $1 / 1e6}')"
read -r text_s text_kb < <(measure 3 "$bwtool" rtf-text "$input")
read -r unrtf_text_s unrtf_text_kb < <(measure 1 unrtf --text "$input")
read -r html_s html_kb < <(measure 3 "$bwtool" rtf2html "$input")
read -r unrtf_html_s unrtf_html_kb < <(measure 1 unrtf --html "$input")
report "bwtool rtf-text" "$text_s" "$text_kb"
report "unrtf --text" "$unrtf_text_s" "$unrtf_text_kb"
report "bwtool rtf2html" "$html_s" "$html_kb"
report "unrtf --html" "$unrtf_html_s" "$unrtf_html_kb"
ratio "rtf-text: unrtf --text time / ours" "$unrtf_text_s" "$text_s" 20
ratio "rtf2html: unrtf --html time / ours" "$unrtf_html_s" "$html_s" 10
echo "$bytes $html_kb" | awk '{ printf "%-40s %6.1fx (goal at most 3x)\n",
  "rtf2html: peak memory / input", $2 * 1024 / $1 }'
printf 'load average %s\n' "$(cut -d' ' -f1-3 /proc/loadavg)"
