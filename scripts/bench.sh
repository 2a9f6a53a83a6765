#!/usr/bin/env bash
# Builds every benchmark (targets named bench_*) in a Release build dir (build-bench/) and runs each.
# Usage: scripts/bench.sh
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-bench"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
mapfile -t targets < <(ninja -C "$build" -t targets all | sed -n 's/^\(bench_[A-Za-z0-9_]*\):.*/\1/p' \
    | grep -v '_autogen' | sort -u)
if [ ${#targets[@]} -eq 0 ]; then
    echo "no bench_* targets" >&2
    exit 1
fi
cmake --build "$build" --target "${targets[@]}" -j2

status=0
for target in "${targets[@]}"; do
    program="$(find "$build" -type f -perm -u+x -name "$target" | head -n 1)"
    if [ -z "$program" ]; then
        echo "$target: program not found" >&2
        status=1
        continue
    fi
    echo "== $target"
    "$program" || status=1
done
exit $status
