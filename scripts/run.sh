#!/usr/bin/env bash
# Installs what is missing, builds, starts the device simulator on 127.0.0.1:33904 (with one answering
# and one silent partner) and runs DiveVod with a settings directory of its own that offers 127.0.0.1.
# While it runs, simulator commands can be sent with:  echo "set keyLock 1" > build/demo-home/sim.cmd
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${DIVEVOD_BUILD_DIR:-$root/build}"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$build"

home="$build/demo-home"
mkdir -p "$home/config/Brennhart"
conf="$home/config/Brennhart/DiveVod.conf"
if [ ! -f "$conf" ]; then
    printf '[General]\nIP=127.0.0.1\n' > "$conf"
fi

fifo="$home/sim.cmd"
rm -f "$fifo"
mkfifo "$fifo"
exec 3<>"$fifo" # keeps the command pipe open, so the simulator never sees end of input

"$build/bin/divevod-sim" --bind 127.0.0.1 --port 33904 --lively \
    --partner 127.0.0.2 --partner 127.0.0.3:silent <"$fifo" >"$home/sim.log" 2>&1 &
sim=$!
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true; rm -f "$fifo"' EXIT
sleep 0.3
if ! kill -0 "$sim" 2>/dev/null; then
    echo "The device simulator did not start:" >&2
    cat "$home/sim.log" >&2
    exit 1
fi
echo "Device simulator on 127.0.0.1:33904 (log: $home/sim.log; commands: echo help > $fifo)."
echo "Device > Connect... offers 127.0.0.1: log in as admin with password 123456, or as guest with 111111."
echo "While logged in, try:  echo silent > $fifo   (connection lost; 'answer' brings it back)"
echo "                       echo 'update on' > $fifo   (update mode: the tool disconnects)"
echo "                       echo 'set panelType 1' > $fifo   (the 4x1 panel takes over)"
echo "Alarm tables are saved to $build/logs (a backup_ file at every disconnect)."

run=("$build/bin/DiveVod")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: running under xvfb-run (nothing will be visible)." >&2
    run=(xvfb-run -a "${run[@]}")
fi
# The tool draws nothing with OpenGL: keep it off the machine's GL driver unless asked otherwise.
QT_XCB_GL_INTEGRATION="${QT_XCB_GL_INTEGRATION:-none}" XDG_CONFIG_HOME="$home/config" "${run[@]}"
