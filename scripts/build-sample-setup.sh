#!/usr/bin/env bash
# Builds a setup package of the sample project with the tests' package
# builder and installs it with `setup PACKAGE /silent` into a sandbox, then
# checks that the files, the log and the launchers landed.
#   bash scripts/build-sample-setup.sh BUILD_DIR OUT_DIR
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 BUILD_DIR OUT_DIR" >&2
  exit 2
fi
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "$1" && pwd)"
mkdir -p "$2"
out="$(cd "$2" && pwd)/setup"
mkpackage="$build/tests/tools/mkpackage"
setup="$build/apps/setup/setup"

fail() {
  echo "build-sample-setup: $*" >&2
  exit 1
}

[ -x "$mkpackage" ] || fail "$mkpackage is missing; build first (make release)"
[ -x "$setup" ] || fail "$setup is missing; build first (make release)"
rm -rf "$out"
mkdir -p "$out"

echo "build-sample-setup: package"
"$mkpackage" "$root/examples/setup/sample-package.json" "$out/sample-setup.exe" > /dev/null \
  || fail "the package could not be built"

echo "build-sample-setup: setup sample-setup.exe /silent (sandbox $out/sandbox)"
status=0
env -u DISPLAY -u WAYLAND_DISPLAY VEXLOR_SANDBOX="$out/sandbox" \
  "$setup" "$out/sample-setup.exe" /silent || status=$?
[ "$status" -eq 0 ] || fail "setup ended with exit status $status"

app=$(find "$out/sandbox" -type d -name "Tea Timer Help" -path "*opt*" | head -n 1)
[ -n "$app" ] || fail "no application folder was created"
for f in sample.bwv readme.txt Pictures/cup.bmp Pictures/kettle.bmp Pictures/leaf.bmp; do
  cmp -s "$app/$f" "$root/examples/sample/$(basename "$f")" || fail "$app/$f is missing or differs"
done
log=$(find "$app" -maxdepth 1 -name "*.log" | head -n 1)
[ -n "$log" ] || fail "no installation log in $app"
launchers=$(find "$out/sandbox" -name "*.desktop" | wc -l)
[ "$launchers" -ge 2 ] || fail "expected the readme and uninstall launchers, found $launchers"
echo "build-sample-setup: done; installed into $app (log $(basename "$log"), $launchers launchers)"
