#!/usr/bin/env bash
# Runs clang-tidy (the committed .clang-tidy) over the project's own sources as
# the build compiles them: the compile commands of a configured build folder.
# Exits non-zero on any warning.
set -euo pipefail
build=${1:-build}
jobs=${JOBS:-4}
tidy=clang-tidy-14
folders='framework|bus|app|channels|frameview|sdcalc|config|remote|tests|bench|fuzz'

cd "$(dirname "$0")/.."
root=$(pwd -P)
if [ ! -f "$build/compile_commands.json" ]; then
    echo "no $build/compile_commands.json: configure the build first (make configure)" >&2
    exit 2
fi
# Our sources only, not the generated ones of the build folder; with them the
# sources only some builds compile (the fuzz entry points, clang only), which
# clang-tidy checks with the flags of their folder's neighbours.
mapfile -t sources < <({
    sed -n 's/^ *"file": "\(.*\)",\{0,1\}$/\1/p' "$build/compile_commands.json"
    printf '%s\n' "$root"/*/*.cpp
} | grep -E "^$root/($folders)/[^/]+\.cpp$" | sort -u)
if [ ${#sources[@]} -eq 0 ]; then
    echo "no sources found in $build/compile_commands.json" >&2
    exit 2
fi
echo "clang-tidy: ${#sources[@]} files, $jobs at a time"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
printf '%s\n' "${sources[@]}" |
    xargs -P "$jobs" -n 1 "$tidy" -p "$build" --quiet >"$log" 2>&1 || status=$?
# Only the diagnostics and their context; not clang-tidy's "N warnings generated".
grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$|^Suppressed [0-9]+ warnings|^Use -header-filter|NOLINT' "$log" || true
if [ $status -ne 0 ] || grep -q -E '(warning|error): ' "$log"; then
    echo "clang-tidy: found problems" >&2
    exit 1
fi
echo "clang-tidy: clean"
