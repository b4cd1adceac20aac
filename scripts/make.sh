#!/usr/bin/env bash
# The set-up commands of the README, for a machine with nothing installed:
# installs the Debian packages that building, testing and running need when
# they are missing (make and the compiler among them; through apt-get, as root
# or with sudo), then runs make in the top folder with the given arguments.
#   bash scripts/make.sh run     builds and starts the program
#   bash scripts/make.sh test    builds and runs every test
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
exec make "$@"
