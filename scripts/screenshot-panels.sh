#!/usr/bin/env bash
# Pictures of both status panels, fed with a lively status record, under Xvfb.
# Usage: scripts/screenshot-panels.sh [build-dir]
# Builds panels-demo in the given build directory (configuring it first when needed; default build/),
# then writes docs/panel-2x1.png and docs/panel-4x1.png.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target panels-demo -j 2
demo="$build/panels/panels-demo"
mkdir -p "$root/docs"
for kind in 2x1 4x1; do
    out="$root/docs/panel-$kind.png"
    # A private runtime directory keeps Qt quiet about XDG_RUNTIME_DIR.
    runtime="$(mktemp -d)"
    QT_XCB_GL_INTEGRATION=none XDG_RUNTIME_DIR="$runtime" xvfb-run -a -s "-screen 0 1400x400x24" "$demo" "$kind" "$out"
    rm -rf "$runtime"
    echo "wrote $out"
done
