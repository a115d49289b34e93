#!/usr/bin/env bash
# Turns examples/sample into its outputs, headless: the compiled HTML Help
# file (through chmcmd) and web help with the program itself, as a build
# script runs it (`Brindle project.bwv /chtml /q`, no display needed); the
# RTF and HTML manuals and component help (web help) from its Pascal unit,
# which the command line has no switches for, with the test driver bwtool;
# and a setup package of the project installed silently into a sandbox
# (scripts/build-sample-setup.sh).
#   bash scripts/build-sample.sh BUILD_DIR OUT_DIR
# Any failing step stops the script with a message and a non-zero exit.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 BUILD_DIR OUT_DIR" >&2
  exit 2
fi
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "$1" && pwd)"
out="$2"
bwtool="$build/tests/tools/bwtool"
brindle="$build/apps/Brindle/Brindle"
sample="$root/examples/sample/sample.bwv"

fail() {
  echo "build-sample: $*" >&2
  exit 1
}

[ -x "$bwtool" ] || fail "$bwtool is missing; build first (make release)"
[ -x "$brindle" ] || fail "$brindle is missing; build first (make release)"
command -v chmcmd >/dev/null || fail "chmcmd is missing; run scripts/install-deps.sh"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
rm -rf "$out/chm" "$out/web"

step() {
  local what="$1"
  shift
  echo "build-sample: $what"
  "$@" || fail "$what failed"
}

# The program makes the .chm beside its project file: it works on a copy.
mkdir -p "$out/chm"
cp "$root"/examples/sample/* "$out/chm/"
# Quiet runs never wait for a person; their exit status tells the truth.
step "HTML Help" "$brindle" "$out/chm/sample.bwv" /chtml /q
[ -s "$out/chm/sample.chm" ] || fail "no sample.chm was produced"
cp "$out/chm/sample.chm" "$out/sample.chm"
step "web help" "$brindle" "$sample" /cweb "$out/web/index.htm" /q
step "HTML manual" "$bwtool" html-manual "$sample" "$out/manual.htm"
step "RTF manual" "$bwtool" rtf-manual "$sample" "$out/manual.rtf"

# Component help from the sample's Pascal unit, as web help: its member lists
# show the pictures that ship beside the program.
for picture in runtime.bmp key.bmp protect.bmp; do
  [ -s "$(dirname "$bwtool")/$picture" ] || fail "$picture is missing beside $bwtool"
done
rm -rf "$out/component"
mkdir -p "$out/component"
step "component help" "$bwtool" pascal-topics "$root/examples/sample/teatimer.pas" 1000 \
  --save "$out/component/teatimer.bwv" >/dev/null
"$bwtool" webhelp "$out/component/teatimer.bwv" "$out/component/index.htm" 2>"$out/component/report.txt" \
  || fail "component web help failed"
if grep -q "MISSING IMAGES" "$out/component/report.txt"; then
  cat "$out/component/report.txt" >&2
  fail "component help misses pictures"
fi

for f in sample.chm web/index.htm manual.htm manual.rtf component/index.htm; do
  [ -s "$out/$f" ] || fail "$out/$f is missing or empty"
done
bash "$root/scripts/build-sample-setup.sh" "$build" "$out" || fail "the setup sample failed"

echo "build-sample: done; open $out/sample.chm, $out/web/index.htm, $out/manual.htm, $out/manual.rtf, $out/component/index.htm"
