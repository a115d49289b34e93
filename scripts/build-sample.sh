#!/usr/bin/env bash
# Turns examples/sample into its outputs, headless: the compiled HTML Help
# file (through chmcmd), web help, and the RTF and HTML manuals.
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
sample="$root/examples/sample/sample.bwv"

fail() {
  echo "build-sample: $*" >&2
  exit 1
}

[ -x "$bwtool" ] || fail "$bwtool is missing; build first (make release)"
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

step "HTML Help" "$bwtool" htmlhelp "$sample" "$out/chm" --compile
[ -s "$out/chm/sample.chm" ] || fail "no sample.chm was produced"
cp "$out/chm/sample.chm" "$out/sample.chm"
step "web help" "$bwtool" webhelp "$sample" "$out/web/index.htm" --layout 2
step "HTML manual" "$bwtool" html-manual "$sample" "$out/manual.htm"
step "RTF manual" "$bwtool" rtf-manual "$sample" "$out/manual.rtf"

for f in sample.chm web/index.htm manual.htm manual.rtf; do
  [ -s "$out/$f" ] || fail "$out/$f is missing or empty"
done
echo "build-sample: done; open $out/sample.chm, $out/web/index.htm, $out/manual.htm, $out/manual.rtf"
