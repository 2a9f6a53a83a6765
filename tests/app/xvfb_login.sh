# Sourced inside an Xvfb session. xvfb_login starts the DiveVod program $1 (output to $2/tool.log) and logs in as
# admin with 123456 through its own menu and login dialog, the way a person would. Sets $app to the
# program's process id; returns non-zero (and kills the program) when a window does not appear.
xvfb_login() {
    "$1" >"$2/tool.log" 2>&1 &
    app=$!
    local win dialog
    win=$(timeout 20 xdotool search --sync --name "ACO-GPIO" | head -1)
    [ -n "$win" ] || { echo "no main window"; kill -9 $app; return 1; }
    sleep 0.5
    # Device menu, first entry (Connect...)
    xdotool mousemove --window "$win" 25 11 click 1
    sleep 0.5
    xdotool key Down Return
    dialog=$(timeout 10 xdotool search --sync --name "^Login$" | head -1)
    [ -n "$dialog" ] || { echo "no login dialog"; kill -9 $app; return 1; }
    sleep 0.3
    xdotool type --delay 30 123456
    xdotool key Return
}

# Ends the program $app with SIGTERM, as a session manager would, and writes "exit code N" to $1/exit;
# returns non-zero (and kills it) when it is still running 10 s later.
xvfb_terminate() {
    kill -TERM $app
    for _ in $(seq 1 100); do kill -0 $app 2>/dev/null || break; sleep 0.1; done
    if kill -0 $app 2>/dev/null; then echo "still running 10 s after SIGTERM"; kill -9 $app; return 1; fi
    wait $app; echo "exit code $?" >"$1/exit"
}
