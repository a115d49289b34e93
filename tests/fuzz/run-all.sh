#!/usr/bin/env bash
# Runs every fuzz target for a bounded time with its corpus.
set -euo pipefail
build=${1:-build/fuzz}
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
for exe in "$build"/tests/*_fuzz; do
  [ -x "$exe" ] || continue
  name=$(basename "$exe")
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  if [ -d "$here/corpus/$name" ]; then cp -n "$here/corpus/$name"/* "$corpus"/ 2>/dev/null || true; fi
  echo "== $name ($seconds s)"
  "$exe" -max_total_time="$seconds" -rss_limit_mb=2048 "$corpus"
done
