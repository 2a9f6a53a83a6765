#!/usr/bin/env bash
# The built program killed in mid-session: DiveVod logs in to divevod-sim under Xvfb, the device changes
# twice, the program gets SIGKILL, and its next start must turn the alarm journal into a recovered CSV
# holding every row the table showed (the 19 rows of the starting state and the two changes).
# Usage: program_kill.sh DIVEVOD DIVEVOD_SIM
set -euo pipefail
program="$1"
simulator="$2"
address=127.0.151.10
work="$(mktemp -d)"
sim=""
cleanup() {
    [ -n "$sim" ] && kill "$sim" 2>/dev/null && wait "$sim" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$work/bin" "$work/config/Brennhart" "$work/runtime"
chmod 700 "$work/runtime"
cp "$program" "$work/bin/DiveVod"
printf '[General]\nIP=%s\n' "$address" > "$work/config/Brennhart/DiveVod.conf"

# The simulator reads its commands from a pipe kept open by this shell.
mkfifo "$work/sim.cmd"
"$simulator" --bind "$address" --port 33904 <"$work/sim.cmd" >"$work/sim.log" 2>&1 &
sim=$!
exec 3>"$work/sim.cmd"
for _ in $(seq 1 50); do grep -q "listening" "$work/sim.log" && break; sleep 0.1; done
grep -q "listening" "$work/sim.log" || fail "simulator did not start: $(cat "$work/sim.log")"

env -u QT_QPA_PLATFORM QT_XCB_GL_INTEGRATION=none XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
    xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    set -u
    source "$3"
    xvfb_login "$1" "$2" || exit 1
    sleep 2
    echo "set keyLock 1" >&3
    sleep 2
    echo "set autoMode 0" >&3
    # The poller reads the device about once a second: after 3 s the table shows both changes.
    sleep 3
    kill -KILL $app
    wait $app 2>/dev/null
    # The next start recovers the journal and shows the main window again.
    "$1" >"$2/tool2.log" 2>&1 & app=$!
    win=$(timeout 20 xdotool search --sync --pid $app --name "ACO-GPIO" | head -1)
    [ -n "$win" ] || { echo "no main window after the restart"; kill -9 $app; exit 1; }
    sleep 0.5
    xvfb_terminate "$2" || exit 1
    ' _ "$work/bin/DiveVod" "$work" "$(dirname "$0")/xvfb_login.sh" || fail "driving the program: $(cat "$work/tool.log" 2>/dev/null)"

[ "$(cat "$work/exit")" = "exit code 0" ] || fail "$(cat "$work/exit"); $(cat "$work/tool2.log")"
recovered=("$work"/logs/recovered_*.csv)
[ "${#recovered[@]}" -eq 1 ] && [ -f "${recovered[0]}" ] || fail "expected one recovered file, found: $(ls -A "$work/logs" 2>&1)"
csv="${recovered[0]}"
head -n 7 "$csv" | diff - <(printf 'Module Type,ACO GPIO\nProduct SN,QX00001234-00000042\nFirmware Verison,1.1.46\nIP Address,127.0.0.1\n \n \nNumber,Time,Input,Alarm Type,Alarm Status,Notes\n') \
    || fail "head of $csv"
rows=$(tail -n +8 "$csv" | wc -l)
[ "$rows" -eq 21 ] || fail "expected 21 rows, found $rows: $(cat "$csv")"
grep -q '^19,[-0-9: ]*,,KEY-AUTO MODE,Enabled,$' "$csv" || fail "row 19 of $csv"
grep -q '^20,[-0-9: ]*,,KEY-LOCK,Enabled,$' "$csv" || fail "row 20 of $csv"
grep -q '^21,[-0-9: ]*,,KEY-AUTO MODE,Disabled,$' "$csv" || fail "row 21 of $csv"
# The journal was emptied, and the second run (never logged in) wrote no backup.
! grep -q '^R' "$work/logs/.alarm_journal" || fail "journal not emptied"
! ls "$work"/logs/backup_*.csv >/dev/null 2>&1 || fail "unexpected backup"
echo "PASS: $(basename "$csv") with $rows rows"
