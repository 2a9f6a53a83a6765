#!/usr/bin/env bash
# Configures (once) and builds the tree incrementally. Usage: scripts/build.sh [build-dir] [extra cmake args...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
shift || true
jobs="$(nproc 2>/dev/null || echo 2)"
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
elif [ $# -gt 0 ]; then
    cmake "$build" "$@"
fi
cmake --build "$build" -j "$jobs"
