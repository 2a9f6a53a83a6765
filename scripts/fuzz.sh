#!/usr/bin/env bash
# Builds a libFuzzer target with clang (build-fuzz/) and runs it.
# Usage: scripts/fuzz.sh [TARGET] [seconds]   (default fuzz_decode, 600 s; `scripts/fuzz.sh 60` also works)
#   fuzz_decode    the response decoders
#   fuzz_exchange  UdpChannel::exchange and the device client against a hostile device
#   fuzz_sim       the simulator's request handling
# Seeds come from fuzz/corpus/TARGET/ (read only); new inputs are kept in build-fuzz/corpus/TARGET/,
# findings land in build-fuzz/ as TARGET-crash-*, -leak-*, -timeout-*. Exits non-zero on a finding.
# Extra arguments after the seconds go to libFuzzer (e.g. -jobs=2, -runs=N).
set -euo pipefail

target=fuzz_decode
if [ $# -gt 0 ] && [[ ! "$1" =~ ^[0-9]+$ ]]; then
    target="$1"
    shift
fi
seconds="${1:-600}"
shift || true
case "$target" in
fuzz_decode) max_len=1200 ;;
fuzz_exchange | fuzz_sim) max_len=4096 ;;
*)
    echo "fuzz.sh: unknown target $target (fuzz_decode, fuzz_exchange, fuzz_sim)" >&2
    exit 2
    ;;
esac

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"
"$root/scripts/install-deps.sh"
if [ ! -f "$build/CMakeCache.txt" ]; then
    CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -G Ninja -DDIVEVOD_FUZZ=ON \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target "$target" -j "$(nproc 2>/dev/null || echo 2)"

mkdir -p "$build/corpus/$target"
exec "$build/fuzz/$target" -max_total_time="$seconds" -max_len="$max_len" -print_final_stats=1 \
    -artifact_prefix="$build/$target-" "$@" "$build/corpus/$target" "$root/fuzz/corpus/$target"
