#!/usr/bin/env bash
# The README's test command, which CI runs (.ci/run). Installs what is missing, builds and runs four stages:
#   suite  the whole suite (build/; warnings are errors when CI is set)
#   asan   the whole suite under AddressSanitizer + UndefinedBehaviorSanitizer (build-asan/, clang)
#   fuzz   each libFuzzer target for 60 s (DIVEVOD_FUZZ_SECONDS), built in build-asan/
#   tsan   the threaded tests (ctest label threads) under ThreadSanitizer (build-tsan/, only their targets)
# Every stage runs even after another failed; the exit status is non-zero when any failed, and the
# summary names them.
#
# Usage: scripts/test.sh                          every stage
#        scripts/test.sh --quick [ctest args]     only the suite, e.g. scripts/test.sh --quick -R protocol_
#        scripts/test.sh -R protocol_             ctest arguments alone also mean the quick run
#        scripts/test.sh --stages asan,tsan [ctest args]   chosen stages; ctest args apply to their suites
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
. "$root/scripts/trees.sh"

stages=suite,asan,fuzz,tsan
case "${1:-}" in
--quick)
    stages=suite
    shift
    ;;
--stages)
    stages=${2:?--stages needs a list: suite,asan,fuzz,tsan}
    shift 2
    ;;
-h | --help)
    sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'
    exit 0
    ;;
"") ;;
*) stages=suite ;;
esac
ctest_args=("$@")

"$root/scripts/install-deps.sh" || exit 1

jobs="$(nproc 2>/dev/null || echo 2)"
# Time-outs in the protocol are real waits, not CPU: run more tests than cores at once.
ctest_jobs="${DIVEVOD_TEST_JOBS:-$((jobs * 2))}"
step_start=$SECONDS
step() { # prints how long the step before took
    echo "--- $1 after $((SECONDS - step_start)) s"
    step_start=$SECONDS
}

# run_ctest TREE [VARIABLE=value...] [ctest args]: the whole ctest run in that environment.
run_ctest() {
    local tree=$1 vars=()
    shift
    while [[ "${1:-}" == *=* ]]; do
        vars+=("$1")
        shift
    done
    env "${vars[@]}" ctest --test-dir "$tree" --output-on-failure -j "$ctest_jobs" --timeout 300 "$@" "${ctest_args[@]}"
}

stage_suite() {
    local extra=()
    if [ -n "${CI:-}" ]; then
        extra=(-DDIVEVOD_WERROR=ON) # CI keeps the build free of warnings
    fi
    [ -f "$root/build/CMakeCache.txt" ] || extra+=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
    configure "$root/build" "${extra[@]}" &&
        cmake --build "$root/build" -j "$jobs" && step built &&
        run_ctest "$root/build" && step tested
}

# The sanitizers' options also for the programs that the test scripts and benchmarks start themselves
# (the tests' own ctest environment says the same).
asan_env=(ASAN_OPTIONS=detect_leaks=1 "LSAN_OPTIONS=suppressions=$root/tests/lsan.supp"
    "UBSAN_OPTIONS=print_stacktrace=1 halt_on_error=1")
tsan_env=("TSAN_OPTIONS=suppressions=$root/tests/tsan.supp ignore_noninstrumented_modules=1 halt_on_error=1")

stage_asan() {
    configure "$asan_tree" "${asan_args[@]}" &&
        cmake --build "$asan_tree" -j "$jobs" && step built &&
        run_ctest "$asan_tree" "${asan_env[@]}" && step tested
}

stage_fuzz() {
    local target failed=0
    for target in fuzz_decode fuzz_exchange fuzz_sim; do
        echo "--- $target"
        # Without libFuzzer's progress lines, which say nothing once the run is over.
        "$root/scripts/fuzz.sh" "$target" "${DIVEVOD_FUZZ_SECONDS:-60}" 2>&1 | grep --line-buffered -v '^#[0-9]'
        [ "${PIPESTATUS[0]}" -eq 0 ] || failed=1
        step "$target"
    done
    return $failed
}

# Builds only what the threaded tests run: the build outputs named in their ctest command lines.
tsan_outputs() {
    ctest --test-dir "$tsan_tree" -N -L threads --show-only=json-v1 >"$tsan_tree/threads.json" &&
        ninja -C "$tsan_tree" -t targets all >"$tsan_tree/outputs.txt" &&
        python3 - "$tsan_tree" <<'PY'
import json, os, re, shlex, sys
tree = sys.argv[1]
names = {test["name"] for test in json.load(open(os.path.join(tree, "threads.json")))["tests"]}
outputs = {line.rsplit(": ", 1)[0] for line in open(os.path.join(tree, "outputs.txt"))}
found = set()
for directory, _, files in os.walk(tree):
    if "CTestTestfile.cmake" in files:
        for line in open(os.path.join(directory, "CTestTestfile.cmake")):
            match = re.match(r"add_test\((\S+) (.*)\)$", line.strip())
            if match and match.group(1).strip('"') in names:
                for word in shlex.split(match.group(2)):
                    relative = os.path.relpath(word, tree) if os.path.isabs(word) else None
                    if relative in outputs:
                        found.add(relative)
print("\n".join(sorted(found)))
PY
}

stage_tsan() {
    configure "$tsan_tree" "${tsan_args[@]}" || return 1
    local files
    files=$(tsan_outputs) || return 1
    [ -n "$files" ] || {
        echo "no test carries the label threads" >&2
        return 1
    }
    # shellcheck disable=SC2086 # one build output per line
    cmake --build "$tsan_tree" -j "$jobs" --target $files && step built &&
        run_ctest "$tsan_tree" "${tsan_env[@]}" -L threads && step tested
}

failed=()
summary=()
IFS=, read -r -a chosen <<<"$stages"
for name in "${chosen[@]}"; do
    case $name in
    suite | asan | fuzz | tsan) ;;
    *)
        echo "test.sh: unknown stage $name (suite, asan, fuzz, tsan)" >&2
        exit 2
        ;;
    esac
    start=$SECONDS
    step_start=$SECONDS
    echo "=== $name"
    if "stage_$name"; then
        result=passed
    else
        result=FAILED
        failed+=("$name")
    fi
    echo "=== $name: $result in $((SECONDS - start)) s"
    summary+=("$(printf '%-6s %-7s %5d s' "$name" "$result" $((SECONDS - start)))")
done

if [ ${#chosen[@]} -gt 1 ]; then
    echo "=== summary"
    printf '    %s\n' "${summary[@]}"
fi
if [ ${#failed[@]} -gt 0 ]; then
    echo "=== FAILED: ${failed[*]} (total $SECONDS s)"
    exit 1
fi
echo "=== all passed (total $SECONDS s)"
