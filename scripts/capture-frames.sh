#!/usr/bin/env bash
# Compares the device frames that the window itself sends in two builds of DiveVod. Each build logs in to
# the same simulator under Xvfb (driven with xdotool), clicks the key IN 2 of group A, sets Lock to Enabled
# through Device > Config Parameter (OK) and clicks IN 2 again, under strace. Frames sent by the three
# worker threads (named by their thread names) are left out; the window's own frames are listed by step,
# message type, login id (0 or L) and payload, with the sequence masked, and the two lists are compared.
# Exit 0 when they are identical, 1 when they differ, 2 when a session could not be driven.
# Needs xvfb-run, xdotool, strace and python3; traffic stays on 127.0.186.1.
# Usage: scripts/capture-frames.sh OLD_BIN_DIR NEW_BIN_DIR [OUT_DIR]   (a BIN_DIR holds DiveVod; the
# simulator is OLD_BIN_DIR/divevod-sim for both, so that the device stays the same)
set -euo pipefail
[ $# -ge 2 ] || { sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'; exit 2; }
old="$(cd "$1" && pwd)"
new="$(cd "$2" && pwd)"
out="${3:-$(mktemp -d)}"
address=127.0.186.1
for tool in xvfb-run xdotool strace python3; do
    command -v "$tool" >/dev/null || { echo "capture-frames: $tool is missing" >&2; exit 2; }
done

# One session of the program in $1, files in $2.
session() {
    local bin="$1" dir="$2" sim
    rm -rf "$dir"
    mkdir -p "$dir/bin" "$dir/config/Brennhart" "$dir/runtime"
    chmod 700 "$dir/runtime"
    cp "$bin/DiveVod" "$dir/bin/DiveVod"
    printf '[General]\nIP=%s\nDeviceType=0\nLanguage=0\n' "$address" > "$dir/config/Brennhart/DiveVod.conf"
    mkfifo "$dir/sim.cmd"
    "$old/divevod-sim" --bind "$address" --port 33904 <"$dir/sim.cmd" >"$dir/sim.log" 2>&1 &
    sim=$!
    exec 7>"$dir/sim.cmd"
    for _ in $(seq 1 50); do grep -q listening "$dir/sim.log" && break; sleep 0.1; done
    env -u QT_QPA_PLATFORM QT_XCB_GL_INTEGRATION=none XDG_CONFIG_HOME="$dir/config" \
        XDG_RUNTIME_DIR="$dir/runtime" xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
        set -u
        dir="$1"
        mark() { echo "$1 $(date +%H:%M:%S.%N)" >> "$dir/steps"; }
        threads() { for t in /proc/$app/task/*; do echo "$(basename "$t") $(cat "$t/comm")"; done >> "$dir/threads"; }
        strace -f -tt -e trace=sendto -xx -s 2048 -o "$dir/strace.txt" "$dir/bin/DiveVod" >"$dir/tool.log" 2>&1 &
        tracer=$!
        win=$(timeout 20 xdotool search --sync --name "ACO-GPIO" | head -1)
        [ -n "$win" ] || { echo "no main window"; exit 1; }
        app=$(pgrep -P $tracer | head -1)
        echo "$app" > "$dir/pid"
        sleep 1
        mark login
        xdotool mousemove --window "$win" 25 11 click 1; sleep 0.5; xdotool key Down Return
        timeout 10 xdotool search --sync --name "^Login$" >/dev/null || { echo "no login dialog"; exit 1; }
        sleep 0.3; xdotool type --delay 30 123456; xdotool key Return
        sleep 4; threads
        mark key; xdotool mousemove --window "$win" 226 143 click 1; sleep 3
        # Connect is disabled once logged in: the fourth entry is Config Parameter.
        mark param
        xdotool mousemove --window "$win" 25 11 click 1; sleep 0.5; xdotool key Down Down Down Down Return
        timeout 10 xdotool search --sync --name "^Config Parameter$" >/dev/null || { echo "no parameter dialog"; exit 1; }
        sleep 1.5; xdotool key Down; sleep 0.3; xdotool key Return; sleep 3
        mark key-again; xdotool mousemove --window "$win" 226 143 click 1; sleep 3
        threads
        kill -TERM $app
        for _ in $(seq 1 100); do kill -0 $app 2>/dev/null || break; sleep 0.1; done
        wait $tracer' _ "$dir" || { echo "capture-frames: driving $bin failed, files in $dir" >&2; kill "$sim"; exit 2; }
    echo "received 10000" >&7
    sleep 0.5
    echo quit >&7
    exec 7>&-
    wait "$sim" || true
}

# The window's frames of the session in $1, one line each; checks every frame and that the simulator
# received exactly what strace saw sent.
window_frames() {
    python3 - "$1" "$address" <<'EOF'
import re, sys
run, address = sys.argv[1], sys.argv[2]
workers = {'GpioStateThread', 'UpdateThread', 'RemoteACOConnec'}
names = dict(line.split(' ', 1) for line in open(f'{run}/threads').read().split('\n') if line)
steps = [(line.split()[0], line.split()[1]) for line in open(f'{run}/steps')]
sent = re.compile(r'^(\d+)\s+(\S+) sendto\(\d+, "((?:\\x[0-9a-f]{2})*)", \d+, .*sin_port=htons\((\d+)\), '
                  r'sin_addr=inet_addr\("((?:\\x[0-9a-f]{2})*)"\)')
unhex = lambda s: bytes(int(h, 16) for h in s.split('\\x')[1:])
frames, logins = [], set()
for line in open(f'{run}/strace.txt'):
    m = sent.match(line)
    if not m or (int(m[4]), unhex(m[5]).decode()) != (33904, address):
        continue
    d = unhex(m[3])
    if len(d) < 12 or int.from_bytes(d[0:2], 'big') != len(d) - 2 or d[2] != 1 or sum(d) & 0xFF != 0xFF:
        sys.exit(f'malformed frame {d.hex(" ")}')
    frames.append(d)
    login = int.from_bytes(d[5:9], 'big')
    if login:
        logins.add(login)
    if names.get(m[1], '').strip() in workers:
        continue
    step = ([name for name, at in steps if at <= m[2]] or ['start'])[-1]
    print(f'{step:9s} type {int.from_bytes(d[3:5], "big"):3d} login {"L" if login else "0"} '
          f'payload [{d[11:-1].hex(" ")}]')
received = [bytes.fromhex(line.split(None, 6)[6].replace('(dropped) ', ''))
            for line in open(f'{run}/sim.log') if line.startswith('  type ')]
if len(logins) > 1 or received != frames:
    sys.exit(f'{run}: {len(logins)} login ids; simulator received {len(received)} frames, strace saw {len(frames)}')
EOF
}

session "$old" "$out/old"
session "$new" "$out/new"
window_frames "$out/old" > "$out/old.frames"
window_frames "$out/new" > "$out/new.frames"
echo "window frames: $(wc -l < "$out/old.frames") old, $(wc -l < "$out/new.frames") new (files in $out)"
if diff -u "$out/old.frames" "$out/new.frames"; then
    echo "identical"
else
    exit 1
fi
