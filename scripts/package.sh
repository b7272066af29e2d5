#!/usr/bin/env bash
# Builds the Debian package build/stowbook_<version>_<arch>.deb from a release
# build (sets up the machine and builds first). Install it with
#   sudo apt install ./build/stowbook_*.deb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$@"
# Packed under umask 022, as dpkg-buildpackage packs: CPack writes the control
# files' modes as the umask leaves them, and the same sources give the same
# package only when that is the same.
(cd "$root/build" && umask 022 && cpack -G DEB)
ls "$root"/build/stowbook_*.deb
