#!/usr/bin/env bash
# The menu in the real game, driven as a person would (xdotool on Xvfb):
#   keyboard alone: P, down to Settings, the music a step down, back; the
#   settings file then holds the player's lines byte for byte and the one
#   change appended;
#   mouse alone (P to open): a click on Controls, a click on Throttle, the
#   key x pressed for it, a right click back (the file gains it), a click on
#   Continue; then holding x throttles: the speed line changes.
# Usage (in a directory holding the assets): menu.sh GAME X11PROBE
set -u
game="$1"
probe="$2"
. "$(dirname "$0")/play.sh"
mkdir -p config/vellmora
conf=config/vellmora/vellmora.conf
printf 'fullscreen = no   # a window\r\n\r\n# my layout\r\nlayout = 31\r\nshoe_size = 44\r\n' >"$conf"
export XDG_CONFIG_HOME="$PWD/config" XDG_DATA_HOME="$PWD/data"

start_flying "$game" "$probe"
key() { xdotool key --delay 120 "$@"; sleep 0.3; }
# A row of the menu: the screen's first row's baseline is 70 pixels from
# the window's top, each next one 30 lower; a click lands on its letters.
click_row() { xdotool mousemove --window "$window" 380 $((123 + 30 * $1)); sleep 0.2; xdotool click "${2:-1}"; sleep 0.3; }

key p
key Down Down Down Down Down Return Down Down Down Left Escape
expected=$(printf 'fullscreen = no   # a window\r\n\r\n# my layout\r\nlayout = 31\r\nshoe_size = 44\r\nmusic_volume = 95\r\n')
[ "$(cat "$conf")" = "$expected" ] || fail "after the keyboard's change the file is: $(cat -A "$conf")"
key Escape

key p
click_row 6
click_row 0
key x
xdotool mousemove --window "$window" 380 300; sleep 0.2; xdotool click 3; sleep 0.3
grep -q '^throttle = x' "$conf" || fail "the key clicked for is not in the file: $(cat -A "$conf")"
click_row 0
# The speed's line, rows 440 to 465 of the window.
before=$("$probe" lines "$window" 440 465)
xdotool keydown x
sleep 1.5
xdotool keyup x
[ "$("$probe" lines "$window" 440 465)" != "$before" ] || fail "x rebound by the mouse does not throttle"
grep -q '^Settings: .*vellmora.conf written$' vellmora.log || fail "the log has no line of the file written"
xdotool key Escape
wait_for_end "$pid" 5
[ "$end_status" -eq 0 ] || fail "exit status $end_status"
echo "ok: the keyboard's change and the mouse's key are kept, the rest of the file as it was"
exit "$failures"
