#!/usr/bin/env bash
# The project's own C++ sources, one path a line, relative to the top folder:
# every *.cpp and *.h that git tracks or would track (not what .gitignore
# leaves out, such as the build folders), whatever folder it is in.
# scripts/format.sh formats them; scripts/lint.sh runs clang-tidy over them
# and gives it the folders of the headers as its header filter.
#   scripts/sources.sh [cpp|h]   both kinds unless one is named
set -euo pipefail
case "${1:-}" in
    "") patterns=('*.cpp' '*.h') ;;
    cpp) patterns=('*.cpp') ;;
    h) patterns=('*.h') ;;
    *) echo "usage: scripts/sources.sh [cpp|h]" >&2; exit 2 ;;
esac
cd "$(dirname "$0")/.."
if ! command -v git >/dev/null; then
    echo "git not found: bash scripts/install-deps.sh format" >&2
    exit 2
fi
# A checkout that another user owns (a CI container's) is still ours to read.
git -c safe.directory="$(pwd -P)" ls-files --cached --others --exclude-standard \
    -- "${patterns[@]}" | sort -u
