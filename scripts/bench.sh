#!/usr/bin/env bash
# Builds every benchmark (targets named bench_*) in a Release build dir (build-bench/), runs each with
# JSON output into build-bench/results/ and prints every figure beside its same-run baseline, their
# ratio and a verdict per target.
# Usage: scripts/bench.sh [extra Google Benchmark options, e.g. --benchmark_filter=round_trip]
# BENCH_REPETITIONS (default 3): repetitions per benchmark; the median is summarised.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-bench"
results="$build/results"
repetitions="${BENCH_REPETITIONS:-3}"

"$root/scripts/install-deps.sh"
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF "${launcher[@]}" >/dev/null
mapfile -t targets < <(ninja -C "$build" -t targets all | sed -n 's/^\(bench_[A-Za-z0-9_]*\):.*/\1/p' \
    | grep -v '_autogen' | sort -u)
if [ ${#targets[@]} -eq 0 ]; then
    echo "no bench_* targets" >&2
    exit 1
fi
cmake --build "$build" --target "${targets[@]}" -j2

rm -rf "$results"
mkdir -p "$results"
status=0
outputs=()
for target in "${targets[@]}"; do
    program="$(find "$build" -type f -perm -u+x -name "$target" | head -n 1)"
    if [ -z "$program" ]; then
        echo "$target: program not found" >&2
        status=1
        continue
    fi
    echo "== $target"
    out="$results/$target.json"
    (cd "$results" && QT_QPA_PLATFORM=offscreen "$program" --benchmark_repetitions="$repetitions" \
        --benchmark_report_aggregates_only=true --benchmark_out="$out" --benchmark_out_format=json "$@") \
        || status=1
    outputs+=("$out")
done

echo
echo "== summary (medians of $repetitions repetitions; load average now: $(cut -d' ' -f1-3 /proc/loadavg))"
python3 "$root/bench/summarise.py" "${outputs[@]}" || status=1
exit $status
