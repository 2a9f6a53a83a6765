#!/usr/bin/env bash
# Mutation check: do the tests notice when the code is broken?
#
#   scripts/mutants.sh [-n COUNT] [-s SEED] [-t SECONDS] [FOLDER...]
#
# Makes a seeded random sample of COUNT mutants (default 40, seed 1) of the non-test sources of the
# given folders (default: protocol monitor app panels dialogs) with scripts/mutate.py, builds each one
# incrementally in a copy of the tree (build-mutants/src, build dir build-mutants/build) and runs
# the tests of the mutated folder, stopping at the first failure, at most SECONDS per mutant (default:
# three times the unmutated run, at least 60). A mutant those tests miss then meets the rest of the
# suite (every other test program) before it counts as survived, so that the figure is what the whole
# suite catches. The working tree is never touched; the copy is restored after every mutant, also on
# Ctrl-C. Prints each mutant's fate, the survivors and the kill rate ((killed + timed out) / compiled).
# Run it under `nice -n 10` on a shared machine.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
count=40 seed=1 limit=
while getopts "n:s:t:h" opt; do
    case $opt in
    n) count=$OPTARG ;;
    s) seed=$OPTARG ;;
    t) limit=$OPTARG ;;
    *) sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//' && exit 2 ;;
    esac
done
shift $((OPTIND - 1))
folders=("$@")
[ ${#folders[@]} -gt 0 ] || folders=(protocol monitor app panels dialogs)

# The test programs that cover each folder; "suite" stands for every test.
regex_for() {
    case $1 in
    protocol | monitor | app | panels | dialogs | cli) echo "^$1_" ;;
    suite) echo . ;;
    *) echo "no tests known for folder '$1'" >&2 && exit 2 ;;
    esac
}

work="$root/build-mutants"
src="$work/src"
build="$work/build"
backup="$work/original"
mkdir -p "$src"

# Copy the tree into src/, replacing only files whose content differs, so that unchanged files keep
# their time stamps and the build stays incremental.
cd "$root"
git ls-files -co --exclude-standard -z -- . ':!build-mutants' | python3 "$root/scripts/mutate.py" sync "$root" "$src"

current=
restore() {
    if [ -n "$current" ] && [ -f "$backup" ]; then
        cp "$backup" "$src/$current"
        rm -f "$backup"
    fi
    current=
}
trap restore EXIT
trap 'restore; exit 130' INT TERM

# Unoptimised and without debug information: mutants compile fastest that way
# (configured again every run, so that the test list follows the tree.)
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE= >/dev/null
else
    cmake "$build" >/dev/null
fi

tests_for() {
    ctest --test-dir "$build" -N -R "$(regex_for "$1")" | sed -n 's/^ *Test *#[0-9]*: //p'
}

# The build targets those tests need: the test programs, or everything when a test runs a command
# that is not a target of its own (an install check, the program itself).
targets_for() {
    local all t
    all=$(ninja -C "$build" -t targets all | sed 's/:.*//')
    for t in $(tests_for "$1"); do
        grep -qx "$t" <<<"$all" || { echo all && return; }
    done
    tests_for "$1"
}

run_tests() { # folder seconds [tests left out] -> 0 passed, 1 failed, 2 timed out
    local out rc=0 skip=()
    [ -z "${3:-}" ] || skip=(-E "$3")
    out=$(timeout -k 5 "$2" ctest --test-dir "$build" -R "$(regex_for "$1")" "${skip[@]}" -j 4 \
        --stop-on-failure --timeout "$2" 2>&1) || rc=$?
    if [ $rc -eq 0 ]; then
        return 0
    elif [ $rc -eq 124 ] || [ $rc -eq 137 ] || grep -q '\*\*\*Timeout' <<<"$out"; then
        return 2
    fi
    return 1
}

echo "building the unmutated tests in $build ..."
all_targets=()
for d in "${folders[@]}"; do
    [ -d "$src/$d" ] || { echo "no folder $d" >&2 && exit 2; }
    [ -n "$(tests_for "$d")" ] || { echo "no tests match $(regex_for "$d")" >&2 && exit 2; }
    mapfile -t t < <(targets_for "$d")
    all_targets+=("${t[@]}")
done
cmake --build "$build" --target "${all_targets[@]}" >/dev/null
baseline=0
for d in "${folders[@]}"; do
    start=$SECONDS
    run_tests "$d" 600 || { echo "the tests of $d fail without any mutant; fix them first" >&2 && exit 1; }
    baseline=$((baseline > SECONDS - start ? baseline : SECONDS - start))
done
[ -n "$limit" ] || limit=$((3 * baseline > 60 ? 3 * baseline : 60))
echo "unmutated tests pass (slowest folder ${baseline} s); limit per mutant ${limit} s"
# The whole suite, for the mutants that their folder's tests miss.
mapfile -t suite_targets < <(targets_for suite)
cmake --build "$build" --target "${suite_targets[@]}" >/dev/null
start=$SECONDS
run_tests suite 1200 || { echo "the suite fails without any mutant; fix it first" >&2 && exit 1; }
suite_limit=$((3 * (SECONDS - start) > limit ? 3 * (SECONDS - start) : limit))
echo "unmutated suite passes in $((SECONDS - start)) s; limit per survivor ${suite_limit} s"

mapfile -t files < <(cd "$src" && find "${folders[@]}" -type f \( -name '*.cpp' -o -name '*.h' \) \
    -not -path '*/demo/*' | sort)
mapfile -t sample < <(python3 "$root/scripts/mutate.py" sample "$src" "$seed" "$count" "${files[@]}")

killed=0 survived=0 timedout=0 broken=0 i=0 elsewhere=0
survivors=()
for m in "${sample[@]}"; do
    IFS=$'\t' read -r file line rule original mutated <<<"$m"
    i=$((i + 1)) by=
    folder=${file%%/*}
    cp "$src/$file" "$backup"
    current=$file
    python3 "$root/scripts/mutate.py" apply "$src" "$file" "$line" "$mutated"
    mapfile -t t < <(targets_for "$folder")
    if ! timeout -k 5 900 cmake --build "$build" --target "${t[@]}" >/dev/null 2>&1; then
        fate="not compiled" && broken=$((broken + 1))
    else
        rc=0 && run_tests "$folder" "$limit" || rc=$?
        if [ $rc -eq 0 ]; then
            # Missed by its folder's tests: the rest of the suite has its say.
            if ! timeout -k 5 900 cmake --build "$build" --target "${suite_targets[@]}" >/dev/null 2>&1; then
                rc=3
            else
                run_tests suite "$suite_limit" "$(regex_for "$folder")" || rc=$?
                [ $rc -eq 0 ] || elsewhere=$((elsewhere + 1)) by=" (suite)"
            fi
        fi
        case $rc in
        0) fate=survived && survived=$((survived + 1)) && survivors+=("$file:$line [$rule] ${original#"${original%%[![:space:]]*}"}  ->  ${mutated#"${mutated%%[![:space:]]*}"}") ;;
        1) fate=killed && killed=$((killed + 1)) ;;
        2) fate="timed out" && timedout=$((timedout + 1)) ;;
        *) fate="not compiled" && broken=$((broken + 1)) ;; # not in another folder's code
        esac
    fi
    restore
    printf '[%d/%d] %-12s %s:%s [%s]%s\n' "$i" "${#sample[@]}" "$fate" "$file" "$line" "$rule" "${by:-}"
done

compiled=$((killed + survived + timedout))
echo
echo "seed $seed, $i mutants of ${folders[*]}"
echo "killed $killed, survived $survived, timed out $timedout, not compiled $broken"
[ $elsewhere -eq 0 ] || echo "  ($elsewhere of those killed or timed out only by other folders' tests)"
for s in "${survivors[@]}"; do echo "  survived: $s"; done
if [ $compiled -gt 0 ]; then
    echo "kill rate $(((killed + timedout) * 100 / compiled))% ($((killed + timedout)) of $compiled that compiled)"
fi
