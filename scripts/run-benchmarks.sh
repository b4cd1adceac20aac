#!/usr/bin/env bash
# Runs every benchmark program of a build folder, offscreen, each benchmark
# REPETITIONS times (5 unless set), and prints the median of the runs.
# Passes on the benchmark library's own warnings (Debian's is built as debug
# and says so; that concerns the library, not the timed code). Fails when a
# benchmark reports an error in place of a figure.
set -euo pipefail
build=${1:-build}
repetitions=${REPETITIONS:-5}
export QT_QPA_PLATFORM=offscreen
shopt -s nullglob
programs=("$build"/bin/bench_*)
if [ ${#programs[@]} -eq 0 ]; then
    echo "no benchmark programs in $build/bin" >&2
    exit 1
fi
failed=0
for program in "${programs[@]}"; do
    echo "== $(basename "$program")"
    output=$("$program" --benchmark_repetitions="$repetitions" \
        --benchmark_report_aggregates_only=true 2>&1) || failed=1
    # The library's warnings, the table's heading, then the medians only.
    grep -E '^\*\*\*WARNING\*\*\*' <<<"$output" || true
    grep -E '^(Benchmark|-{10,})' <<<"$output" | head -n 3 || true
    grep -E '_median' <<<"$output" | sed -E 's/_median / /' || true
    if grep -q 'ERROR OCCURRED' <<<"$output"; then
        grep 'ERROR OCCURRED' <<<"$output" >&2
        failed=1
    fi
done
exit $failed
