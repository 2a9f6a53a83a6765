#!/usr/bin/env bash
# Screenshots of the main window logged in to the device simulator under Xvfb, cropped to the window:
# docs/main-window-2x1.png and docs/main-window-4x1.png (with the alarm rows of a lively device) and
# docs/main-window-collapsed.png (the alarm area hidden with the arrow button), and
# docs/main-window-filtered.png (docs/main-window-filtered_zh.png in Chinese): the alarm table filtered to
# "remote", its rows tinted red and green, with the status line.
# Usage: scripts/screenshot.sh [build-dir]   (DIVEVOD_LANGUAGE=1 for the Chinese interface)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
address=127.0.161.1
mkdir -p "$root/docs"

shoot() { # kind, output, what (0 as it is, 1 collapsed, filter text)
    local kind="$1" out="$2" collapse="$3" home sim
    home="$(mktemp -d)"
    mkdir -p "$home/config/Brennhart" "$home/runtime" "$home/logs"
    chmod 700 "$home/runtime"
    printf '[General]\nIP=%s\nLanguage=%s\nDeviceType=%s\n' "$address" "${DIVEVOD_LANGUAGE:-0}" \
        "$([ "$kind" = 2x1 ] && echo 0 || echo 1)" > "$home/config/Brennhart/DiveVod.conf"
    "$build/bin/divevod-sim" --bind "$address" --port 33904 --panel "$kind" --lively \
        --partner 127.0.161.2 --partner 127.0.161.3:silent --no-stdin </dev/null >"$home/sim.log" 2>&1 &
    sim=$!
    sleep 0.5
    env -u QT_QPA_PLATFORM QT_XCB_GL_INTEGRATION=none XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/runtime" \
        xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
        "$1" & app=$!
        win=$(timeout 20 xdotool search --sync --name "ACO-GPIO" | head -1)
        sleep 0.5
        xdotool mousemove --window "$win" 25 11 click 1; sleep 0.4; xdotool key Down Return
        timeout 10 xdotool search --sync --name "^Login$" >/dev/null; sleep 0.3
        xdotool type --delay 30 123456; xdotool key Return
        sleep 9
        if [ "$3" = 1 ]; then
            eval "$(xdotool getwindowgeometry --shell "$win")"
            xdotool mousemove --window "$win" $((WIDTH / 2)) 248 click 1; sleep 1
        elif [ "$3" != 0 ]; then
            xdotool windowfocus --sync "$win"; xdotool key ctrl+f; sleep 0.3; xdotool type --delay 50 "$3"; sleep 1
        fi
        xdotool mousemove 0 1023
        import -window "$win" "$2"
        kill -TERM $app; wait $app' _ "$build/bin/DiveVod" "$out" "$collapse"
    kill "$sim"; wait "$sim" 2>/dev/null || true
    rm -rf "$home"
    echo "wrote $out"
}

shoot 2x1 "$root/docs/main-window-2x1.png" 0
shoot 4x1 "$root/docs/main-window-4x1.png" 0
shoot 2x1 "$root/docs/main-window-collapsed.png" 1
if [ "${DIVEVOD_LANGUAGE:-0}" = 1 ]; then
    shoot 2x1 "$root/docs/main-window-filtered_zh.png" remote
else
    shoot 2x1 "$root/docs/main-window-filtered.png" remote
fi
