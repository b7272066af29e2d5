#!/usr/bin/env bash
# Builds the Debian package build/stowbook_<version>_<arch>.deb from a release
# build (sets up the machine and builds first). Install it with
#   sudo apt install ./build/stowbook_*.deb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$@"
(cd "$root/build" && cpack -G DEB)
ls "$root"/build/stowbook_*.deb
