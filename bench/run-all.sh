#!/usr/bin/env bash
# Runs every benchmark program and every comparison script.
set -euo pipefail
build=${1:-build/release}
for exe in "$build"/bench/*_bench "$build"/bench/*_qtbench; do
  [ -x "$exe" ] || continue
  echo "== $(basename "$exe")"
  "$exe"
done
for script in "$(dirname "$0")"/compare-*.sh; do
  [ -f "$script" ] || continue
  echo "== $(basename "$script")"
  bash "$script" "$build"
done
