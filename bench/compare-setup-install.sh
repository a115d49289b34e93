#!/usr/bin/env bash
# Installing 20,000 files of 4 KiB from one setup package against
# `bsdtar -xzf` (Debian libarchive-tools) of the same files, in the same run:
# the program itself (`setup big.exe /silent`: start-up, rights probe,
# inflate, CRC-32, temporary file and rename per file, shared-file counts,
# the installation log and close-down) and the test driver (setuptool
# install). Prints files/s for each and their share of bsdtar's rate.
set -euo pipefail
build=${1:-build/release}
tools="$build/tests/tools"
setup="$build/apps/setup/setup"
count=${SETUP_BENCH_FILES:-20000}
runs=${SETUP_BENCH_RUNS:-3}
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
best() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'; }
ours="" theirs="" silent=""
for i in $(seq "$runs"); do
  rm -rf "$work/box" "$work/tar" "$work/silent"
  mkdir -p "$work/tar"
  if [ -x "$setup" ]; then
    e=$(timed env -u DISPLAY -u WAYLAND_DISPLAY VEXLOR_SANDBOX="$work/silent" "$setup" "$work/p.exe" /silent)
    silent=$(best "$e" "$silent")
    m=$(find "$work/silent" -type f -name 'f*.bin' | wc -l)
    [ "$m" -eq "$count" ] || { echo "setup /silent installed $m files"; exit 1; }
  fi
  e=$(timed env VEXLOR_SANDBOX="$work/box" "$tools/setuptool" install "$work/p.exe")
  ours=$(best "$e" "$ours")
  e=$(timed bsdtar -xzf "$work/files.tar.gz" -C "$work/tar")
  theirs=$(best "$e" "$theirs")
done
n=$(find "$work/tar" -type f | wc -l)
[ "$n" -eq "$count" ] || { echo "bsdtar extracted $n files"; exit 1; }
rate() { awk -v n="$count" -v t="$1" 'BEGIN { printf "%.0f", n / t }'; }
printf '%d files of 4 KiB, best of %d runs\n' "$count" "$runs"
[ -n "$silent" ] && printf 'setup /silent:     %s files/s (%ss, the whole program)\n' "$(rate "$silent")" "$silent"
printf 'setuptool install: %s files/s (%ss, with log and counts)\n' "$(rate "$ours")" "$ours"
printf 'bsdtar -xzf:       %s files/s (%ss)\n' "$(rate "$theirs")" "$theirs"
ratio() { awk -v a="$1" -v b="$theirs" 'BEGIN { printf "%.2f", b / a }'; }
[ -n "$silent" ] && printf 'ratio (setup /silent / bsdtar): %s (target at least 0.50)\n' "$(ratio "$silent")"
printf 'ratio (setuptool / bsdtar): %s (target at least 0.50)\n' "$(ratio "$ours")"
