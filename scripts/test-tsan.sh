#!/usr/bin/env bash
# The threaded tests (label "threads") under ThreadSanitizer (build dir build-tsan).
# Suppressions in tests/tsan.supp cover only what Debian's uninstrumented Qt reports about itself.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
DIVEVOD_BUILD_DIR="$root/build-tsan" DIVEVOD_CMAKE_ARGS="-DDIVEVOD_TSAN=ON -DCMAKE_BUILD_TYPE=Debug" \
    exec "$root/scripts/test.sh" -L threads "$@"
