#!/usr/bin/env bash
# Soak: the real program stays logged in to the lively simulator for MINUTES (default 10) while faults
# come now and then through the simulator's commands; then it reports the resident memory at the start
# and at the end, the alarm rows the table held (the journal mirrors the table) and the rows of the
# backup that SIGTERM writes. Needs xvfb-run and xdotool; traffic stays on 127.0.191.x.
# Usage: scripts/soak.sh [MINUTES] [BUILD_DIR]
set -euo pipefail
minutes="${1:-10}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${2:-$root/build}"
address=127.0.191.1
work="$(mktemp -d)"
sim=""
cleanup() {
    local rc=$?
    [ -n "$sim" ] && kill "$sim" 2>/dev/null && wait "$sim" 2>/dev/null
    # Kept after a failure: the backups, the simulator's log and the program's output tell what happened.
    if [ "$rc" -eq 0 ]; then rm -rf "$work"; else echo "soak: files kept in $work" >&2; fi
}
trap cleanup EXIT
fail() { echo "soak: FAIL: $*" >&2; exit 1; }

[ -x "$build/bin/DiveVod" ] && [ -x "$build/bin/divevod-sim" ] || fail "build $build first (scripts/build.sh)"
mkdir -p "$work/bin" "$work/config/Brennhart" "$work/runtime"
chmod 700 "$work/runtime"
cp "$build/bin/DiveVod" "$work/bin/DiveVod"
printf '[General]\nIP=%s\n' "$address" > "$work/config/Brennhart/DiveVod.conf"

mkfifo "$work/sim.cmd"
"$build/bin/divevod-sim" --bind "$address" --port 33904 --lively --partner 127.0.191.2 \
    --partner 127.0.191.3:silent <"$work/sim.cmd" >"$work/sim.log" 2>&1 &
sim=$!
exec 3>"$work/sim.cmd"
for _ in $(seq 1 50); do grep -q "listening" "$work/sim.log" && break; sleep 0.1; done
grep -q "listening" "$work/sim.log" || fail "simulator did not start: $(cat "$work/sim.log")"

export SOAK_SECONDS=$((minutes * 60))
env -u QT_QPA_PLATFORM QT_XCB_GL_INTEGRATION=none XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
    xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    set -u
    work=$2
    rss() { awk "/^VmRSS/ {print \$2}" /proc/$1/status; }
    source "$3"
    xvfb_login "$1" "$2" || exit 1
    sleep 5
    echo "$(rss $app)" >"$work/rss.start"
    # Faults in turn, one every 30 s: each is switched off again before the next one.
    # Silent long enough for the alive monitor to see it whatever its phase: its 3 s pause, a wait for
    # the exchange of the poller and then its own (4 s each).
    faults=("silent|answer|16" "fault twice 3||1" "fault late 2||1" "drop 20 7|drop 0|20"
            "forget every 5|forget every 0|20" "flap 3000 3000|flap off|15" "fault wrong-checksum 2||1"
            "partner 127.0.191.2 flap 2000 4000|partner 127.0.191.2 flap off|20" "delay 300|delay 0|15"
            "fault other-host 2||1" "fault wrong-sequence 2||1" "fault error 1 13||1")
    start=$SECONDS; n=0
    while [ $((SECONDS - start)) -lt "$SOAK_SECONDS" ]; do
        IFS="|" read -r on off hold <<<"${faults[$((n % ${#faults[@]}))]}"
        echo "$on" >&3; sleep "$hold"; [ -n "$off" ] && echo "$off" >&3
        n=$((n + 1))
        kill -0 $app 2>/dev/null || { echo "the program died"; exit 1; }
        left=$((SOAK_SECONDS - (SECONDS - start)))
        [ "$left" -gt 0 ] && sleep $(( left < 30 - hold ? left : 30 - hold ))
        echo "$((SECONDS - start)) s: rss $(rss $app) kB" >>"$work/rss.log"
    done
    echo "$n" >"$work/faults"
    echo answer >&3; echo "drop 0" >&3; echo "flap off" >&3
    sleep 8
    echo "$(rss $app)" >"$work/rss.end"
    grep -c "^R" "$work/logs/.alarm_journal" >"$work/rows" || true
    xvfb_terminate "$2" || exit 1
    ' _ "$work/bin/DiveVod" "$work" "$root/tests/app/xvfb_login.sh" || fail "driving the program: $(cat "$work/tool.log" 2>/dev/null)"

backups=("$work"/logs/backup_*.csv)
[ -f "${backups[0]}" ] || fail "no backup: $(ls -A "$work/logs")"
# A session that ends early (a disconnect) leaves a backup of its own before the one SIGTERM writes.
[ "${#backups[@]}" -eq 1 ] || fail "the session ended early: ${#backups[@]} backups (${backups[*]##*/})"
backup_rows=0
for b in "${backups[@]}"; do backup_rows=$((backup_rows + $(tail -n +8 "$b" | wc -l))); done
rows=$(cat "$work/rows")
echo "soak: $minutes min, $(cat "$work/faults") faults injected, $(cat "$work/exit")"
echo "soak: resident memory at start $(cat "$work/rss.start") kB, at end $(cat "$work/rss.end") kB"
sed 's/^/soak:   /' "$work/rss.log"
echo "soak: alarm rows in the table $rows, rows in the backup $backup_rows"
echo "soak: lost connections asserted $(cat "${backups[@]}" | grep -c ',Connection Lost,Asserted,'), cleared $(cat "${backups[@]}" | grep -c ',Connection Lost,Cleared,')"
[ "$rows" -eq "$backup_rows" ] || fail "the backup holds $backup_rows of $rows rows"
