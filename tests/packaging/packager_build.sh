#!/usr/bin/env bash
# A packager's build (BUILD_TESTING=OFF) on a machine without GoogleTest,
# Google Benchmark or Qt Test: it configures, and what it would build is the
# three programs, their libraries and what they install, nothing of the
# tests or benchmarks. Only configured, not compiled: the release build
# compiles the same sources with the same flags.
# Arguments: the source folder.
set -euo pipefail
source_dir=$1
source "$(dirname "$0")/lib.sh"

cmake -S "$source_dir" -B "$work/build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON >"$work/configure.log" 2>&1 ||
    { cat "$work/configure.log" >&2; fail "a build without tests does not configure without GoogleTest"; }
if grep -E '^(Qt6Test|GTest|benchmark)_DIR:PATH=/' "$work/build/CMakeCache.txt"; then
    fail "a build without tests still uses the test libraries"
fi

# Every target it would build, and every program it links.
targets=$(cmake --build "$work/build" --target help | sed -n 's/^\.\.\. \([^ ]*\).*/\1/p' |
    grep -vE '^(all|clean|depend|edit_cache|rebuild_cache|install|install/local|install/strip|list_install_components|package|package_source)$' |
    grep -vE '\.|_autogen(_timestamp_deps)?$|^stowbook_(compressed_docs|data_share_files|data_other_files)$')
unexpected=$(grep -vE '^stowbook(-setup|-report)?$|^stowbook_(data|data_resources_[0-9]+|program|core|ui|app|backup|copies|launcher|setup_lib|runner_lib|heif|heif_init|pch_core|pch_windows)$' \
    <<<"$targets" || true)
[ -z "$unexpected" ] || fail "a build without tests also builds: $(tr '\n' ' ' <<<"$unexpected")"
for program in stowbook stowbook-setup stowbook-report; do
    grep -qx "$program" <<<"$targets" || fail "a build without tests does not build $program"
done
echo "a packager's build makes $(wc -l <<<"$targets") targets, the programs and their libraries"
