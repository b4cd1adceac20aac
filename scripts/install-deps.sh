#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running need, when
# they are missing. Extra groups: "fuzz" adds clang's fuzzing runtime and the
# llvm-symbolizer that its reports name source lines with (on PATH), "lint"
# clang-tidy and "format" clang-format (version 14, as the scripts call them),
# both with git, which lists the sources.
set -euo pipefail

packages=(build-essential cmake make pkg-config qt6-base-dev qt6-qpa-plugins libgl-dev
          libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth
          fonts-dejavu-core fonts-dejavu-extra)
for group in "$@"; do
    case "$group" in
        fuzz) packages+=(clang libclang-rt-14-dev llvm) ;;  # llvm: llvm-symbolizer
        lint) packages+=(clang-tidy-14 git) ;;
        format) packages+=(clang-format-14 git) ;;
        *) echo "unknown package group: $group" >&2; exit 2 ;;
    esac
done

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
