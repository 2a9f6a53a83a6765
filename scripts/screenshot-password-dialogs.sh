#!/usr/bin/env bash
# Pictures of the login and change password dialogs, English and Chinese, under Xvfb.
# Usage: scripts/screenshot-password-dialogs.sh [build-dir]
# Writes docs/dialog-login.png, docs/dialog-change-password.png and their _zh variants.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target password-dialogs-demo translations -j 2
demo="$build/dialogs/password-dialogs-demo"
mkdir -p "$root/docs"
runtime="$(mktemp -d)"
trap 'rm -rf "$runtime"' EXIT
for kind in login password; do
    name=$kind
    [ "$kind" = password ] && name=change-password
    for lang in en zh; do
        suffix=""
        [ "$lang" = zh ] && suffix="_zh"
        out="$root/docs/dialog-$name$suffix.png"
        QT_XCB_GL_INTEGRATION=none XDG_RUNTIME_DIR="$runtime" xvfb-run -a -s "-screen 0 800x600x24" "$demo" "$kind" "$lang" "$out" "$build/lang"
        echo "wrote $out"
    done
done
