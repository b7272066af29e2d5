#!/usr/bin/env bash
# Runs every libFuzzer harness of a build folder for a while on its seed
# corpus, and fails when any of them finds something.
#
#   scripts/fuzz.sh [seconds-per-harness]      (default 10)
#
# BUILD_DIR names the build folder (default build-sanitize, relative to the
# repository), which must have been configured with -DSTOWBOOK_FUZZ=ON and
# built; this script builds nothing. The corpora in fuzz/corpus are copied
# first, so a run never changes the repository's files. Inputs that made a
# harness fail are kept in $BUILD_DIR/fuzz-findings/<harness>/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-10}
if ! [[ $seconds =~ ^[0-9]+$ ]] || [[ $seconds -eq 0 ]]; then
    echo "usage: $0 [seconds-per-harness]" >&2
    exit 2
fi
build=${BUILD_DIR:-build-sanitize}
[[ $build = /* ]] || build="$root/$build"

harnesses=()
for source in "$root"/fuzz/fuzz_*.cpp; do
    harnesses+=("$(basename "$source" .cpp)")
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

# run_harness NAME: runs one harness; its report goes to $work/NAME.report
# (standard output) or $work/NAME.failed (standard error).
run_harness() {
    local harness=$1 binary="" candidate
    for candidate in "$build/$harness" "$build/fuzz/$harness"; do
        if [[ -x $candidate ]]; then
            binary=$candidate
            break
        fi
    done
    if [[ -z $binary ]]; then
        echo "$harness: not built in $build (configure with -DSTOWBOOK_FUZZ=ON and build it)" >"$work/$harness.failed"
        return
    fi
    local corpus="$work/corpus/$harness"
    mkdir -p "$corpus" "$work/findings/$harness"
    if [[ -d $root/fuzz/corpus/$harness ]]; then
        cp -R "$root/fuzz/corpus/$harness/." "$corpus/"
    fi
    local options=(-max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1
                   -artifact_prefix="$work/findings/$harness/")
    if [[ -f $root/fuzz/$harness.dict ]]; then
        options+=(-dict="$root/fuzz/$harness.dict")
    fi
    local log="$work/$harness.log"
    if "$binary" "${options[@]}" "$corpus" >"$log" 2>&1; then
        local summary
        summary=$(grep -E '^#[0-9]+.*(DONE|pulse|NEW|REDUCE|INITED)' "$log" | tail -n 1 || true)
        echo "$harness: ok  ${summary}" >"$work/$harness.report"
    else
        {
            echo "$harness: FAILED"
            tail -n 40 "$log"
            mkdir -p "$build/fuzz-findings/$harness"
            cp -R "$work/findings/$harness/." "$build/fuzz-findings/$harness/" 2>/dev/null || true
            echo "$harness: the failing input is kept in $build/fuzz-findings/$harness/"
        } >"$work/$harness.failed" 2>&1
    fi
}

# As many harnesses at a time as there are processors: each is one process.
running=0
for harness in "${harnesses[@]}"; do
    if ((running >= $(nproc))); then
        wait -n
        running=$((running - 1))
    fi
    run_harness "$harness" &
    running=$((running + 1))
done
wait

failed=()
for harness in "${harnesses[@]}"; do
    if [[ -f $work/$harness.failed ]]; then
        cat "$work/$harness.failed" >&2
        failed+=("$harness")
    else
        cat "$work/$harness.report"
    fi
done

if [[ ${#failed[@]} -gt 0 ]]; then
    echo "fuzzing failed: ${failed[*]}" >&2
    exit 1
fi
echo "every harness ran ${seconds} s without a finding"
