#!/usr/bin/env bash
# Builds a libFuzzer target (clang, in the AddressSanitizer tree build-asan/) and runs it.
# Usage: scripts/fuzz.sh [TARGET] [seconds]   (default fuzz_decode, 600 s; `scripts/fuzz.sh 60` also works)
#   fuzz_decode    the response decoders
#   fuzz_exchange  UdpChannel::exchange and the device client against a hostile device
#   fuzz_sim       the simulator's request handling
# Seeds come from fuzz/corpus/TARGET/ (read only); new inputs are kept in build-asan/corpus/TARGET/,
# findings land in build-asan/ as TARGET-crash-*, -leak-*, -timeout-*. Exits non-zero on a finding.
# Extra arguments after the seconds go to libFuzzer (e.g. -jobs=2, -runs=N).
set -euo pipefail

target=fuzz_decode
if [ $# -gt 0 ] && [[ ! "$1" =~ ^[0-9]+$ ]]; then
    target="$1"
    shift
fi
seconds="${1:-600}"
shift || true
# The longest input each target takes: one datagram over the 1040-byte limit for the decoders, a few
# of them for the other two.
case "$target" in
fuzz_decode) max_len=1200 ;;
fuzz_exchange | fuzz_sim) max_len=4096 ;;
*)
    echo "fuzz.sh: unknown target $target (fuzz_decode, fuzz_exchange, fuzz_sim)" >&2
    exit 2
    ;;
esac

root="$(cd "$(dirname "$0")/.." && pwd)"
. "$root/scripts/trees.sh"
"$root/scripts/install-deps.sh"
configure "$asan_tree" "${asan_args[@]}"
cmake --build "$asan_tree" --target "$target" -j "$(nproc 2>/dev/null || echo 2)"

mkdir -p "$asan_tree/corpus/$target"
# Every input runs in microseconds (no real network, no waiting): one that takes 10 s hangs.
exec "$asan_tree/fuzz/$target" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$asan_tree/$target-" "$@" "$asan_tree/corpus/$target" "$root/fuzz/corpus/$target"
