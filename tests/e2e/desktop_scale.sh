#!/usr/bin/env bash
# The real game on a desktop scaled to 200 % (Xft.dpi 192), on a private
# 1920 x 1280 Xvfb of the test's own: the window is 1600 x 1200 and shows the
# game's picture, overlay included; GDK_SCALE=1 overrules the resource;
# a window that would not fit takes the largest factor that does (GDK_SCALE=3
# gives 1600 x 1200; a work area 1150 high, 800 x 600), and the log says so;
# full screen leaves the screen at 1920 x 1280. Each run ends with Escape.
# Usage (in a directory holding the assets): desktop_scale.sh GAME X11PROBE
set -u
game="$1"
probe="$2"
. "$(dirname "$0")/play.sh"

Xvfb -displayfd 3 -screen 0 1920x1280x24 -nolisten tcp -noreset 3>display.txt >xvfb.log 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null' EXIT
for _ in $(seq 1 50); do [ -s display.txt ] && break; sleep 0.1; done
export DISPLAY=":$(cat display.txt)"
echo "Xft.dpi: 192" | xrdb -nocpp -merge

# One run: answer the question with $1; sets geometry and red.
run() {
    "$game" >stdout.txt 2>stderr.txt </dev/null &
    local pid=$! window=""
    for _ in $(seq 1 100); do xdotool search --name '^Options$' >/dev/null 2>&1 && break; sleep 0.1; done
    sleep 0.3
    xdotool key "$1"
    for _ in $(seq 1 100); do
        window=$(xdotool search --name '^Vellmora$' 2>/dev/null | head -1)
        [ -n "$window" ] && break
        sleep 0.1
    done
    red=0
    for _ in $(seq 1 60); do
        red=$("$probe" red "$window" 2>/dev/null)
        [ "${red:-0}" -gt 2000 ] && break
        sleep 0.5
    done
    geometry=$("$probe" geometry "$window")
    xdotool key Escape
    wait_for_end "$pid" 5
    [ "$end_status" -eq 0 ] || fail "[$1] exit status $end_status"
}

run n
case "$geometry" in 1600x1200+*) ;; *) fail "window $geometry at Xft.dpi 192, expected 1600x1200" ;; esac
# The overlay's lines, drawn at 800 x 600 and scaled up: four times the ink.
[ "${red:-0}" -gt 2000 ] || fail "overlay not visible in the scaled window: $red red pixels"
echo "Xft.dpi 192: window $geometry, $red red overlay pixels"
GDK_SCALE=1 run n
case "$geometry" in 800x600+*) ;; *) fail "window $geometry with GDK_SCALE=1, expected 800x600" ;; esac
echo "GDK_SCALE=1: window $geometry"
GDK_SCALE=3 run n
case "$geometry" in 1600x1200+*) ;; *) fail "window $geometry with GDK_SCALE=3, expected 1600x1200" ;; esac
grep -q "^Window scale: 2, not the desktop's 3: a window of 2400 x 1800 does not fit the screen, 1920 x 1280$" \
    vellmora.log || fail "GDK_SCALE=3: the log does not say why the window is smaller: $(grep Window vellmora.log)"
echo "GDK_SCALE=3: window $geometry"
# A panel takes 130 pixels: 1200 rows no longer fit.
xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA "0, 130, 1920, 1150"
run n
xprop -root -remove _NET_WORKAREA
case "$geometry" in 800x600+*) ;; *) fail "window $geometry in a 1920 x 1150 work area, expected 800x600" ;; esac
grep -q "does not fit the work area, 1920 x 1150$" vellmora.log || fail "work area: $(grep Window vellmora.log)"
echo "work area 1920 x 1150: window $geometry"
before=$(xdpyinfo | grep dimensions)
run Return
after=$(xdpyinfo | grep dimensions)
[ "$before" = "$after" ] || fail "full screen changed the screen: $before -> $after"
echo "full screen: $after, window $geometry"
exit "$failures"
