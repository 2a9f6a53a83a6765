#!/usr/bin/env bash
# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer (build dir build-asan).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
DIVEVOD_BUILD_DIR="$root/build-asan" DIVEVOD_CMAKE_ARGS="-DDIVEVOD_ASAN=ON -DCMAKE_BUILD_TYPE=Debug" \
    exec "$root/scripts/test.sh" "$@"
