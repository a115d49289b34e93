#!/usr/bin/env bash
# Installing 20,000 files of 4 KiB from one setup package against
# `bsdtar -xzf` (Debian libarchive-tools) of the same files, alternating
# SETUP_BENCH_RUNS times (9 by default) in one run: the program itself
# (`setup big.exe /silent`: start-up, rights probe, inflate, CRC-32, the
# files, shared-file counts, the installation log and close-down) and the
# test driver (setuptool install). Prints the median and best files/s of
# each, their share of bsdtar's rate (the goal is at least 0.85) and the
# load average seen.
#   SETUP_BENCH_FILES   files (default 20000)
#   SETUP_BENCH_OTHER   another build's setup (an older one, say), timed in
#                       the same alternation on the same package
set -euo pipefail
build=${1:-build/release}
tools="$build/tests/tools"
setup="$build/apps/setup/setup"
count=${SETUP_BENCH_FILES:-20000}
runs=${SETUP_BENCH_RUNS:-9}
other=${SETUP_BENCH_OTHER:-}
base=${SETUP_BENCH_DIR:-$([ -d /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")}
work=$(mktemp -d "$base/installbench.XXXXXX")
trap 'rm -rf "$work"' EXIT

command -v bsdtar > /dev/null || { echo "bsdtar (Debian libarchive-tools) is needed"; exit 1; }
{
  printf '{"level": 6, "settings": {"product": "Bench", "appFolder": "%%PROGRAMFILES%%\\\\Bench"},\n "files": ['
  for i in $(seq 0 $((count - 1))); do
    [ "$i" -gt 0 ] && printf ','
    printf '{"name": "f%05d.bin", "generated": {"size": 4096, "seed": %d}}' "$i" "$i"
  done
  printf '],\n "components": [{"name": "Main", "folders": [{"name": "%%APPFOLDER%%", "items": ['
  for i in $(seq 0 $((count - 1))); do
    [ "$i" -gt 0 ] && printf ','
    printf '{"file": "f%05d.bin"}' "$i"
  done
  printf ']}]}]}\n'
} > "$work/p.json"
"$tools/mkpackage" "$work/p.json" "$work/p.exe" > /dev/null

# The same content as a tar.gz: the tree of one installation.
VEXLOR_SANDBOX="$work/seed" "$tools/setuptool" install "$work/p.exe" > /dev/null
app=$(find "$work/seed" -type d -name Bench | head -n 1)
(cd "$app" && bsdtar -czf "$work/files.tar.gz" f*.bin)

timed() {
  /usr/bin/time -f '%e' -o "$work/time" "$@" > /dev/null
  cat "$work/time"
}
: > "$work/silent.txt"
: > "$work/ours.txt"
: > "$work/theirs.txt"
: > "$work/other.txt"
silent_once() { # program, sandbox
  local e m
  e=$(timed env -u DISPLAY -u WAYLAND_DISPLAY VEXLOR_SANDBOX="$2" "$1" "$work/p.exe" /silent)
  m=$(find "$2" -type f -name 'f*.bin' | wc -l)
  [ "$m" -eq "$count" ] || { echo "$1 /silent installed $m files"; exit 1; }
  echo "$e"
}
load_start=$(cut -d' ' -f1-3 /proc/loadavg)
for i in $(seq "$runs"); do
  rm -rf "$work/box" "$work/tar" "$work/silent" "$work/other"
  mkdir -p "$work/tar"
  [ -x "$setup" ] && silent_once "$setup" "$work/silent" >> "$work/silent.txt"
  timed env VEXLOR_SANDBOX="$work/box" "$tools/setuptool" install "$work/p.exe" >> "$work/ours.txt"
  timed bsdtar -xzf "$work/files.tar.gz" -C "$work/tar" >> "$work/theirs.txt"
  [ -z "$other" ] || silent_once "$other" "$work/other" >> "$work/other.txt"
done
n=$(find "$work/tar" -type f | wc -l)
[ "$n" -eq "$count" ] || { echo "bsdtar extracted $n files"; exit 1; }
# "median best" of the seconds in a file.
stats() { sort -n "$1" | awk '{v[NR]=$1} END {m = NR % 2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2;
                                               print m, v[1]}'; }
rate() { awk -v n="$count" -v t="$1" 'BEGIN { printf "%.0f", n / t }'; }
read -r theirs theirs_best < <(stats "$work/theirs.txt")
line() { # label, file of seconds
  local med best
  read -r med best < <(stats "$2")
  printf '%-20s median %6s files/s (%ss), best %6s files/s; %s of bsdtar\n' "$1" \
    "$(rate "$med")" "$med" "$(rate "$best")" "$(awk -v a="$med" -v b="$theirs" 'BEGIN { printf "%.2f", b / a }')"
}
printf '%d files of 4 KiB, %d runs each, alternating; load average %s at the start, %s at the end\n' \
  "$count" "$runs" "$load_start" "$(cut -d' ' -f1-3 /proc/loadavg)"
[ -s "$work/silent.txt" ] && line "setup /silent:" "$work/silent.txt"
line "setuptool install:" "$work/ours.txt"
[ -s "$work/other.txt" ] && line "SETUP_BENCH_OTHER:" "$work/other.txt"
printf '%-20s median %6s files/s (%ss), best %6s files/s\n' "bsdtar -xzf:" \
  "$(rate "$theirs")" "$theirs" "$(rate "$theirs_best")"
echo "(goal: setup /silent at least 0.85 of bsdtar)"
