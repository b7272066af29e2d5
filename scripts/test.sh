#!/usr/bin/env bash
# Sets up the machine, builds Stowbook and runs every test headless, twice:
# the release build (build/), then the same suite built by clang with
# AddressSanitizer and UndefinedBehaviorSanitizer (build-sanitize/), which
# also holds the fuzzing harnesses; each harness then runs briefly on its
# corpus. Extra arguments go to both ctest runs.
# STOWBOOK_FUZZ_SECONDS sets each harness's time (default 10; 0 skips them).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
"$root/scripts/setup.sh"

echo "== release build and tests"
"$root/scripts/build.sh"
(cd "$root/build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs" "$@")

echo "== sanitizer build and tests"
# The preset: clang, -O1 with line tables (quick to build, fast enough for
# the fuzzers, file and line in every sanitizer report).
(cd "$root" && cmake --preset sanitize >/dev/null)
cmake --build "$root/build-sanitize" -j"$jobs"
(cd "$root/build-sanitize" &&
    QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=abort_on_error=0:detect_leaks=1 \
    LSAN_OPTIONS=suppressions="$root/tests/sanitizer-leaks.supp" \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --output-on-failure -j"$jobs" "$@")

seconds=${STOWBOOK_FUZZ_SECONDS:-10}
if [ "$seconds" != 0 ] && [ -f "$root/scripts/fuzz.sh" ]; then
    echo "== fuzzing harnesses, ${seconds} s each"
    BUILD_DIR="$root/build-sanitize" bash "$root/scripts/fuzz.sh" "$seconds"
fi
