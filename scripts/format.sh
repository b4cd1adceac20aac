#!/usr/bin/env bash
# Formats the project's own sources (scripts/sources.sh: every *.cpp and *.h of
# the checkout) with the committed .clang-format and clang-format 14.
#   scripts/format.sh           rewrites every file that differs
#   scripts/format.sh --check   changes nothing: lists the files that differ
#                               and fails when there is any
set -euo pipefail
format=clang-format-14

mode=apply
case "${1:-}" in
    "") ;;
    --check) mode=check ;;
    *) echo "usage: scripts/format.sh [--check]" >&2; exit 2 ;;
esac
cd "$(dirname "$0")/.."
if ! command -v "$format" >/dev/null; then
    echo "$format not found: bash scripts/install-deps.sh format" >&2
    exit 2
fi

mapfile -t files < <(bash scripts/sources.sh)
differing=()
for file in "${files[@]}"; do
    "$format" --style=file "$file" | cmp -s - "$file" || differing+=("$file")
done

if [ "$mode" = check ]; then
    if [ ${#differing[@]} -gt 0 ]; then
        printf '%s\n' "${differing[@]}"
        echo "format: ${#differing[@]} of ${#files[@]} files differ from .clang-format" \
            "(make format rewrites them)" >&2
        exit 1
    fi
    echo "format: ${#files[@]} files as .clang-format has them"
    exit 0
fi
if [ ${#differing[@]} -gt 0 ]; then
    "$format" --style=file -i "${differing[@]}"
    printf 'formatted %s\n' "${differing[@]}"
fi
echo "format: ${#differing[@]} of ${#files[@]} files rewritten"
