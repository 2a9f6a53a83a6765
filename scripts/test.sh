#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds, runs every test in parallel.
# Exits non-zero when anything fails. Extra arguments go to ctest (e.g. -R protocol_).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${DIVEVOD_BUILD_DIR:-$root/build}"
"$root/scripts/install-deps.sh"
extra=${DIVEVOD_CMAKE_ARGS:-}
if [ -n "${CI:-}" ]; then
    extra="$extra -DDIVEVOD_WERROR=ON" # CI keeps the build free of warnings
fi
"$root/scripts/build.sh" "$build" $extra
jobs="$(nproc 2>/dev/null || echo 2)"
# Time-outs in the protocol are real waits, not CPU: run more tests than cores at once.
ctest --test-dir "$build" --output-on-failure -j "$((jobs * 2))" --timeout 300 -LE fuzz "$@"
