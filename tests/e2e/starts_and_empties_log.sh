#!/usr/bin/env bash
# The game starts SDL, empties a log left by an earlier run, and ends with 0.
set -u
game="$1"
echo "a line from an earlier run" > vellmora.log
"$game" </dev/null
status=$?
[ "$status" -eq 0 ] || { echo "exit status $status, expected 0"; exit 1; }
[ -f vellmora.log ] || { echo "vellmora.log was not created"; exit 1; }
[ ! -s vellmora.log ] || { echo "vellmora.log still holds:"; cat vellmora.log; exit 1; }
echo "ok: status 0, log emptied"
