#!/usr/bin/env bash
# The built program at work: DiveVod logs in to divevod-sim under Xvfb through its login dialog (typed
# with xdotool), is ended with SIGTERM, and must exit cleanly leaving a backup CSV with the session's rows.
# Usage: program_session.sh DIVEVOD DIVEVOD_SIM
set -euo pipefail
program="$1"
simulator="$2"
address=127.0.151.9
work="$(mktemp -d)"
sim=""
cleanup() {
    [ -n "$sim" ] && kill "$sim" 2>/dev/null && wait "$sim" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A copy of the program finds its logs directory beside its own bin/: here $work/logs.
mkdir -p "$work/bin" "$work/config/Brennhart" "$work/runtime"
chmod 700 "$work/runtime"
cp "$program" "$work/bin/DiveVod"
printf '[General]\nIP=%s\n' "$address" > "$work/config/Brennhart/DiveVod.conf"

"$simulator" --bind "$address" --port 33904 --no-stdin </dev/null >"$work/sim.log" 2>&1 &
sim=$!
for _ in $(seq 1 50); do grep -q "listening" "$work/sim.log" && break; sleep 0.1; done
grep -q "listening" "$work/sim.log" || fail "simulator did not start: $(cat "$work/sim.log")"

env -u QT_QPA_PLATFORM QT_XCB_GL_INTEGRATION=none XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
    xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    set -u
    source "$3"
    xvfb_login "$1" "$2" || exit 1
    sleep 3
    xvfb_terminate "$2" || exit 1
    ' _ "$work/bin/DiveVod" "$work" "$(dirname "$0")/xvfb_login.sh" || fail "driving the program: $(cat "$work/tool.log" 2>/dev/null)"

[ "$(cat "$work/exit")" = "exit code 0" ] || fail "$(cat "$work/exit"); $(cat "$work/tool.log")"
backups=("$work"/logs/backup_*.csv)
[ "${#backups[@]}" -eq 1 ] && [ -f "${backups[0]}" ] || fail "expected one backup, found: $(ls "$work/logs" 2>&1)"
csv="${backups[0]}"
head -n 4 "$csv" | diff - <(printf 'Module Type,ACO GPIO\nProduct SN,QX00001234-00000042\nFirmware Verison,1.1.46\nIP Address,127.0.0.1\n') \
    || fail "head of $csv"
rows=$(tail -n +8 "$csv" | wc -l)
[ "$rows" -eq 19 ] || fail "expected the 19 rows of the starting state, found $rows: $(cat "$csv")"
grep -q '^19,[-0-9: ]*,,KEY-AUTO MODE,Enabled,$' "$csv" || fail "last row of $csv"
echo "PASS: $(basename "$csv") with $rows rows"
