#!/usr/bin/env bash
# Sets up the machine, builds the two programs it runs (in the same build as
# the tests command, so neither rebuilds what the other built), lays out the
# demo data folder (build/demo, made once) and starts the program on it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" --target stowbook --target stowbook-setup
demo="$root/build/demo"
if [ ! -f "$demo/stowbook.db" ]; then
    "$root/build/stowbook-setup" --demo "$demo"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    # No desktop (a server or a container): run in a virtual screen.
    exec xvfb-run -a "$root/build/stowbook" -d "$demo"
fi
exec "$root/build/stowbook" -d "$demo"
