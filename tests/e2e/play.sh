# Sourced by the end-to-end scripts: plays the game as a person would.
#
# fail MESSAGE: reports a failure and counts it in failures, which the
# script ends with.
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
#
# play_and_quit COMMAND...: starts the command in the background, answers
# the full-screen question No, waits for the game's window and presses
# Escape until the game has ended; sets play_status to its exit status
# (124 when it never ended). Its standard output and error go to
# stdout.txt and stderr.txt in the current directory.
play_and_quit() {
    "$@" >stdout.txt 2>stderr.txt </dev/null &
    local pid=$!
    for _ in $(seq 1 100); do
        xdotool search --name '^Options$' >/dev/null 2>&1 && break
        sleep 0.1
    done
    sleep 0.3
    xdotool key n
    for _ in $(seq 1 100); do
        xdotool search --name '^Vellmora$' >/dev/null 2>&1 && break
        sleep 0.1
    done
    # Escape, again until the game has taken it (start-up may still be running).
    play_status=124
    for _ in $(seq 1 120); do
        sleep 0.5
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid"
            play_status=$?
            return
        fi
        xdotool key Escape
    done
    kill "$pid" 2>/dev/null
}

# start_flying GAME X11PROBE: starts the game in the background (its
# settings must answer the full-screen question), sets pid and window, and
# waits until the overlay's red text shows.
start_flying() {
    "$1" >stdout.txt 2>stderr.txt </dev/null &
    pid=$!
    window=""
    for _ in $(seq 1 100); do
        window=$(xdotool search --name '^Vellmora$' 2>/dev/null | head -1)
        [ -n "$window" ] && break
        sleep 0.1
    done
    for _ in $(seq 1 120); do
        [ "$("$2" red "$window")" -gt 500 ] 2>/dev/null && break
        sleep 0.5
    done
}

# wait_for_end PID SECONDS: waits up to SECONDS for the background process
# to end; sets end_status to its exit status (124 when it is still running,
# in which case it is killed).
wait_for_end() {
    end_status=124
    for _ in $(seq 1 $(( $2 * 10 ))); do
        if ! kill -0 "$1" 2>/dev/null; then
            wait "$1"
            end_status=$?
            return
        fi
        sleep 0.1
    done
    kill -9 "$1" 2>/dev/null
    wait "$1" 2>/dev/null
}
