#!/usr/bin/env bash
# Runs a command on an X server of its own: on-private-display.sh WxHxD COMMAND...
# The server picks a display number that nobody holds and tells it through a
# pipe (-displayfd) once it accepts connections. Choosing the number first and
# starting the server after (xvfb-run --auto-servernum) races with another
# server starting or ending at the same moment, and with servers whose
# sockets this file system does not show; the command then meets no server,
# or another one.
# The server never resets (-noreset): by default it starts over when its last
# client leaves, and a program connecting at that moment, as the test's own
# starts right after the accessibility bus has set its property on the
# screen and left, is turned away ("could not connect to display").
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: $0 WIDTHxHEIGHTxDEPTH COMMAND..." >&2; exit 2; }
screen=$1
shift
log=$(mktemp)
coproc SERVER { exec Xvfb -displayfd 1 -nolisten tcp -noreset -screen 0 "$screen" 2>"$log"; }
server=$SERVER_PID
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; rm -f "$log"' EXIT
if ! read -r -t 60 number <&"${SERVER[0]}" || [ -z "$number" ]; then
    echo "the X server did not start:" >&2
    cat "$log" >&2
    exit 1
fi
# No cookie of another server may be offered to this one.
unset XAUTHORITY
set +e
DISPLAY=:$number "$@"
status=$?
set -e
exit "$status"
