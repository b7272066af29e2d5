#!/usr/bin/env bash
# Configures and builds Stowbook into build/ (programs: build/stowbook,
# build/stowbook-setup, build/stowbook-report) with the "default" preset of
# CMakePresets.json, warnings as errors. The start command and the tests
# command both come here with the same options, so whichever runs second
# builds only what changed since the first.
#
#   scripts/build.sh [--target NAME]... [CMAKE_OPTION]...
#
# --target builds only that target (and what it needs), once for each;
# without it everything is built. The other arguments go to CMake's
# configure step.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
targets=()
configure=()
while [ $# -gt 0 ]; do
    if [ "$1" = --target ] && [ $# -gt 1 ]; then
        targets+=(--target "$2")
        shift 2
    else
        configure+=("$1")
        shift
    fi
done
(cd "$root" && cmake --preset default "${configure[@]}" >/dev/null)
cmake --build "$root/build" -j"$(nproc)" "${targets[@]}"
