#!/usr/bin/env bash
# The round's keys in the real game, through the real event queue (xdotool
# on Xvfb), on layout 31 from the settings file:
#   P opens the menu and holds the clock: the overlay's clock line does not
#   change under it; P again flies on, and the clock and the speed move;
#   R in flight flies layout 31 again; N in the menu starts a new layout,
#   logged with its number; Escape in flight still quits at once.
# Usage (in a directory holding the assets): round_keys.sh GAME X11PROBE
set -u
game="$1"
probe="$2"
. "$(dirname "$0")/play.sh"
mkdir -p config/vellmora
printf 'fullscreen = no\nlayout = 31\n' >config/vellmora/vellmora.conf
export XDG_CONFIG_HOME="$PWD/config" XDG_DATA_HOME="$PWD/data"

start_flying "$game" "$probe"
# The clock's and the speed's lines, rows 400 to 470 of the window.
lines() { sleep 0.3; "$probe" lines "$window" 400 470; }
key() { xdotool key "$1"; }

key p
paused=$(lines)
sleep 1
[ "$(lines)" = "$paused" ] || fail "the clock ran on under the menu"
key p
xdotool keydown w
sleep 1.5
xdotool keyup w
[ "$(lines)" != "$paused" ] || fail "neither the clock nor the speed moved in flight"
key r
sleep 0.3
key p
key n
sleep 0.5
xdotool key Escape
wait_for_end "$pid" 5
[ "$end_status" -eq 0 ] || fail "exit status $end_status"
layouts=$(grep '^Layout: ' vellmora.log | tr '\n' ' ')
echo "$layouts" | grep -qE '^Layout: 31 Layout: 31 Layout: [0-9]+ $' || fail "the log's layouts: $layouts"
case "$layouts" in *"Layout: 31 $") fail "the new layout is 31 again" ;; esac
echo "ok: the menu held the clock, flying moved it, layouts: $layouts"
exit "$failures"
