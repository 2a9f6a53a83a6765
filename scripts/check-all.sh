#!/usr/bin/env bash
# The full check: the README's test command, then the whole suite under AddressSanitizer + UndefinedBehaviorSanitizer,
# the threaded tests under ThreadSanitizer and each fuzz target for 60 s, so that none of them rots.
# Every stage runs even after another failed; the run fails when any stage failed.
set -uo pipefail
cd "$(dirname "$0")/.."

failed=()
stage() {
    local name=$1
    shift
    local start=$SECONDS
    echo "=== $name: $*"
    if "$@"; then
        echo "=== $name: passed in $((SECONDS - start)) s"
    else
        echo "=== $name: FAILED after $((SECONDS - start)) s"
        failed+=("$name")
    fi
}

stage tests scripts/test.sh
stage asan scripts/test-asan.sh
stage tsan scripts/test-tsan.sh
for target in fuzz_decode fuzz_exchange fuzz_sim; do
    stage "$target" scripts/fuzz.sh "$target" 60
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "=== failed: ${failed[*]} (total $SECONDS s)"
    exit 1
fi
echo "=== all stages passed in $SECONDS s"
