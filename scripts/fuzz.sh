#!/usr/bin/env bash
# Builds the response-decoder fuzzer with clang (build-fuzz/) and runs it.
# Usage: scripts/fuzz.sh [seconds]   (default 600)
# Seeds come from fuzz/corpus/ (read only); new inputs are kept in build-fuzz/corpus/,
# crash inputs land in build-fuzz/ as crash-*, leak-*, timeout-*.
set -euo pipefail

seconds="${1:-600}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"

CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -G Ninja -DDIVEVOD_FUZZ=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target fuzz_decode -j2

mkdir -p "$build/corpus"
exec "$build/fuzz/fuzz_decode" -max_total_time="$seconds" -max_len=1200 -print_final_stats=1 \
    -artifact_prefix="$build/" "$build/corpus" "$root/fuzz/corpus"
