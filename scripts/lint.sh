#!/usr/bin/env bash
# Runs clang-tidy (the committed .clang-tidy) over the project's own sources
# (scripts/sources.sh) as the build compiles them: the compile commands of a
# configured build folder. Their headers are checked where they are included;
# the header filter is the folders of the project's headers. Exits non-zero
# on any warning.
set -euo pipefail
build=${1:-build}
jobs=${JOBS:-4}
tidy=clang-tidy-14

cd "$(dirname "$0")/.."
root=$(pwd -P)
if [ ! -f "$build/compile_commands.json" ]; then
    echo "no $build/compile_commands.json: configure the build first (make configure)" >&2
    exit 2
fi
# Our sources only, not the generated ones of the build folder; the sources
# only some builds compile (the fuzz entry points, clang only) too, which
# clang-tidy checks with the flags of their folder's neighbours.
mapfile -t sources < <(bash scripts/sources.sh cpp | sed "s|^|$root/|")
folders=$(bash scripts/sources.sh h | sed -n 's|/[^/]*$||p' | sort -u | paste -sd '|')
headers="^$root/($folders)/[^/]+\.h\$"
if [ ${#sources[@]} -eq 0 ]; then
    echo "no sources listed (scripts/sources.sh)" >&2
    exit 2
fi
echo "clang-tidy: ${#sources[@]} files, $jobs at a time"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
printf '%s\n' "${sources[@]}" |
    xargs -P "$jobs" -n 1 "$tidy" -p "$build" --quiet --header-filter="$headers" >"$log" 2>&1 ||
    status=$?
# Only the diagnostics and their context; not clang-tidy's "N warnings generated".
grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$|^Suppressed [0-9]+ warnings|^Use -header-filter|NOLINT' "$log" || true
if [ $status -ne 0 ] || grep -q -E '(warning|error): ' "$log"; then
    echo "clang-tidy: found problems" >&2
    exit 1
fi
echo "clang-tidy: clean"
