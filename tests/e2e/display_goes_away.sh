#!/usr/bin/env bash
# The X server goes away under the real game, on a private Xvfb of the
# test's own: while the question is up, during start-up (just after it is
# answered) and during play. Each time the game must end with status 1 and
# one line on standard error, not a crash or a hang. It ends within a
# frame or two of the server's end; the time is printed, and only a game
# still running after 10 s (a hang, on however busy a machine) fails.
# Usage (in a directory holding the assets): display_goes_away.sh GAME
set -u
game="$1"
. "$(dirname "$0")/play.sh"

for moment in question start-up play; do
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>display.txt >xvfb.log 2>&1 &
    server=$!
    for _ in $(seq 1 50); do [ -s display.txt ] && break; sleep 0.1; done
    export DISPLAY=":$(cat display.txt)"
    "$game" >stdout.txt 2>stderr.txt </dev/null &
    pid=$!
    for _ in $(seq 1 100); do xdotool search --name '^Options$' >/dev/null 2>&1 && break; sleep 0.1; done
    sleep 0.3
    if [ "$moment" != question ]; then
        xdotool key n
    fi
    if [ "$moment" = play ]; then
        for _ in $(seq 1 100); do xdotool search --name '^Vellmora$' >/dev/null 2>&1 && break; sleep 0.1; done
        sleep 2
    fi
    kill -TERM "$server"
    wait "$server" 2>/dev/null
    gone=$(date +%s%N)
    wait_for_end "$pid" 10
    status=$end_status
    took=$(( ($(date +%s%N) - gone) / 1000000 ))
    [ "$status" -ne 124 ] || fail "[$moment] still running 10 s after the display went away"
    [ "$status" -eq 1 ] || fail "[$moment] exit status $status, expected 1"
    [ "$(wc -l <stderr.txt)" -eq 1 ] && grep -q "^Vellmora: the display $DISPLAY went away; the game ends\.$" stderr.txt ||
        fail "[$moment] standard error: $(cat stderr.txt)"
    echo "[$moment] status $status after $took ms: $(cat stderr.txt)"
    rm -f display.txt
done
exit "$failures"
