#!/usr/bin/env bash
# Screenshot of the main window under Xvfb, as a user would see it. Usage: scripts/screenshot.sh [out.png] [build-dir]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$root/docs/main-window.png}"
build="${2:-$root/build}"
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/config/Brennhart"
printf '[General]\nIP=127.0.0.1\nLanguage=%s\n' "${DIVEVOD_LANGUAGE:-0}" > "$home/config/Brennhart/DiveVod.conf"
XDG_CONFIG_HOME="$home/config" xvfb-run -a -s "-screen 0 1280x1000x24" bash -c '
    "$1" & app=$!
    for i in $(seq 1 50); do
        xdotool search --name "ACO-GPIO" >/dev/null 2>&1 && break
        sleep 0.2
    done
    sleep 1
    import -window root "$2"
    kill $app' _ "$build/bin/DiveVod" "$out"
echo "wrote $out"
