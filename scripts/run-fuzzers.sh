#!/usr/bin/env bash
# Runs every fuzz target of a build folder for a while on a copy of its seed
# corpus (fuzz/corpus/<name>/). A crash, a hang over one second, a leak or a
# sanitizer report fails the run; the input is left in <build>/fuzz-artifacts/.
#   scripts/run-fuzzers.sh <build> [seconds] [more libFuzzer flags...]
set -euo pipefail
build=${1:?usage: run-fuzzers.sh <build> [seconds] [libFuzzer flags...]}
seconds=${2:-60}
shift $(($# < 2 ? $# : 2))
root=$(cd "$(dirname "$0")/.." && pwd)
export QT_QPA_PLATFORM=offscreen

shopt -s nullglob
targets=("$build"/bin/fuzz_*)
if [ ${#targets[@]} -eq 0 ]; then
    echo "no fuzz targets in $build/bin (configure with -DVELTRANE_FUZZ=ON)" >&2
    exit 1
fi
for program in "${targets[@]}"; do
    name=$(basename "$program")
    name=${name#fuzz_}
    corpus="$build/fuzz-corpus/$name"
    artifacts="$build/fuzz-artifacts/$name"
    rm -rf "$corpus" "$artifacts"
    mkdir -p "$corpus" "$artifacts"
    cp "$root/fuzz/corpus/$name"/* "$corpus"/
    # A target's own flags: its dictionary, and "key = value" lines of its
    # options file.
    flags=()
    [ -f "$root/fuzz/$name.dict" ] && flags+=(-dict="$root/fuzz/$name.dict")
    if [ -f "$root/fuzz/$name.options" ]; then
        while IFS='= ' read -r key value; do
            [[ -z "$key" || "$key" == \#* || "$key" == \[* ]] || flags+=(-"$key"="$value")
        done <"$root/fuzz/$name.options"
    fi
    echo "== fuzz_$name for ${seconds}s"
    "$program" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$artifacts/" "${flags[@]}" "$@" "$corpus"
done
