#!/usr/bin/env bash
# Runs every benchmark program of a build folder, offscreen.
set -euo pipefail
build=${1:-build}
export QT_QPA_PLATFORM=offscreen
shopt -s nullglob
for program in "$build"/bin/bench_*; do
    echo "== $(basename "$program")"
    "$program" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
done
