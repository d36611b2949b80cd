#!/usr/bin/env bash
# The real game on Xvfb, driven as a person would with xdotool:
#   the question dialog "Options" appears and is answered ('n', then Return);
#   with a settings file saying fullscreen = no, no question comes at all;
#   the game window is 800 x 600, carries its icon at 32 and 64 pixels and the
#   class "vellmora", and shows the overlay in red;
#   the cockpit view shows sky above and ground below;
#   Escape ends the game with status 0 and leaves the screen as it was;
#   a close request from the window manager ends it with status 0;
#   standard output and the log hold the game's lines, in their order;
#   Ctrl+C or SIGTERM while the question is up ends the game with status 0;
#   without a display it says so in one line, status 1, before anything else;
#   --help and --version answer and open nothing, and so does any other
#   argument, with the usage on standard error and status 2; a log that cannot be
#   written is said once on standard error.
# Usage: window_and_dialog.sh GAME X11PROBE
set -u
game="$1"
probe="$2"
. "$(dirname "$0")/play.sh"

wait_window() {  # name -> window id on stdout
    local id=""
    for _ in $(seq 1 100); do
        id=$(xdotool search --name "^$1\$" 2>/dev/null | head -1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# One run: answer the question with $1 (or "settings": the settings file
# answers it), then end the game with $2 (escape|close).
run_game() {
    local answer="$1" ending="$2"
    local screen_before screen_after dialog window
    screen_before=$(xwininfo -root | grep -E "Width|Height" | tr -d ' \n')
    mkdir -p config/vellmora
    rm -f config/vellmora/vellmora.conf
    [ "$answer" = settings ] && printf '# a window, always\nFullscreen = No\n' >config/vellmora/vellmora.conf
    XDG_CONFIG_HOME="$PWD/config" "$game" >stdout.txt 2>stderr.txt </dev/null &
    local pid=$!
    if [ "$answer" != settings ]; then
        if ! dialog=$(wait_window Options); then
            fail "[$answer] no dialog titled Options"
            kill "$pid" 2>/dev/null
            return
        fi
        sleep 0.3
        xdotool key "$answer"
    fi
    if ! window=$(wait_window Vellmora); then
        fail "[$answer] no game window"
        kill "$pid" 2>/dev/null
        return
    fi
    # Start-up goes on after the window opens (landscape, world, music):
    # wait for the first frames, however slow the machine.
    local geometry red=0
    for _ in $(seq 1 120); do
        red=$("$probe" red "$window")
        [ "${red:-0}" -gt 500 ] && break
        sleep 0.5
    done
    sleep 0.5
    geometry=$("$probe" geometry "$window")
    case "$geometry" in 800x600+*) ;; *) fail "[$answer] window geometry $geometry, expected 800x600" ;; esac
    [ "${red:-0}" -gt 500 ] || fail "[$answer] overlay not visible: $red red pixels"
    local bands sky ground
    bands=$("$probe" bands "$window")
    sky=$(echo "$bands" | head -1)
    ground=$(echo "$bands" | tail -1)
    echo "$sky" | awk '{ exit !($3 > $1 && $3 > 120) }' || fail "[$answer] no blue sky at the top: $sky"
    echo "$ground" | awk '{ exit !($2 > $3 && $1 + $2 > 80) }' || fail "[$answer] no sandy ground below: $ground"
    # The icon at two sizes, and the class a desktop entry matches.
    local properties
    properties=$(xprop -id "$window" _NET_WM_ICON WM_CLASS 2>&1)
    for size in 32 64; do
        echo "$properties" | grep -q "Icon ($size x $size)" || fail "[$answer] no $size pixel icon on the window"
    done
    echo "$properties" | grep -q '^WM_CLASS(STRING) = "vellmora"' || fail "[$answer] the window's class is not vellmora"
    if [ "$answer" = settings ]; then
        xdotool search --name '^Options$' >/dev/null 2>&1 && fail "[settings] the question came all the same"
        grep -qx "Settings: $PWD/config/vellmora/vellmora.conf" vellmora.log || fail "[settings] no Settings line in the log"
    fi
    import -window "$window" "screenshot-$answer.png" 2>/dev/null
    if [ "$ending" = escape ]; then
        xdotool key Escape
    else
        "$probe" close "$window"
    fi
    wait_for_end "$pid" 5
    [ "$end_status" -eq 0 ] || fail "[$answer/$ending] exit status $end_status"
    screen_after=$(xwininfo -root | grep -E "Width|Height" | tr -d ' \n')
    [ "$screen_before" = "$screen_after" ] || fail "[$answer] screen changed: $screen_before -> $screen_after"
    [ -f vellmora.log ] || fail "[$answer] no vellmora.log"
    echo "ok: answered $answer, ended by $ending, window $geometry, $red red overlay pixels"
}

# A log left by an earlier run is emptied at start.
echo "a line from an earlier run" > vellmora.log
run_game n escape
grep -q "earlier run" vellmora.log && fail "the log of the earlier run was kept"
[ "$(cat stdout.txt)" = "$(printf 'Loading the song...\n\n')" ] || fail "standard output: $(cat stdout.txt)"
# The log: the heightmap, then each model's report, then the texture listing.
expected_order="Heightmap generation; heightmap pixelcount: 257
Heightmap filename: images/terrain.tga
Model: models/skimmer.ms3d
Model: models/palm.ms3d
Model: models/box.ms3d
Texture id 1 bound to images/sand1.tga
Texture id 7 bound to images/clouds.bmp"
actual_order=$(grep -E "^(Heightmap|Model:|Texture id (1|7) )" vellmora.log)
[ "$actual_order" = "$expected_order" ] || fail "log lines out of order:
$actual_order"
[ "$(grep -c '^\*\*\*$' vellmora.log)" -eq 3 ] || fail "not three model reports"
[ "$(grep -c '^Texture id' vellmora.log)" -eq 7 ] || fail "not seven textures listed"
run_game Return escape
run_game n close
run_game settings escape

# SDL cannot start: the box with SDL's reason as caption, then status -1 (255).
SDL_VIDEODRIVER=no-such-driver "$game" >stdout.txt 2>stderr.txt </dev/null &
pid=$!
if box=$(xdotool search --sync --limit 1 --classname "^vellmora-dialog$" 2>/dev/null | head -1) && [ -n "$box" ]; then
    sleep 0.3
    caption=$(xdotool getwindowname "$box")
    xdotool key Return
    wait "$pid"; status=$?
    [ "$status" -eq 255 ] || fail "SDL start failure: exit status $status, expected 255"
    [ -n "$caption" ] || fail "SDL start failure: the box has no caption"
    echo "ok: SDL start failure shown as \"$caption\", status $status"
else
    fail "SDL start failure: no box"
    kill "$pid" 2>/dev/null
fi
# Ctrl+C (SIGINT, to the process group as a terminal sends it) or SIGTERM
# while the question is up: status 0, no window, the screen as it was.
set -m
for signal in INT TERM; do
    screen_before=$(xwininfo -root | grep -E "Width|Height" | tr -d ' \n')
    "$game" >stdout.txt 2>stderr.txt </dev/null &
    pid=$!
    wait_window Options >/dev/null || fail "[SIG$signal] no question"
    sleep 0.3
    if [ "$signal" = INT ]; then kill -INT -- "-$pid"; else kill -TERM "$pid"; fi
    wait_for_end "$pid" 5
    [ "$end_status" -eq 0 ] || fail "[SIG$signal] at the question: exit status $end_status"
    xdotool search --name '^(Options|Vellmora)$' >/dev/null 2>&1 && fail "[SIG$signal] a window is still up"
    grep -q "Loading the song" stdout.txt && fail "[SIG$signal] the music started"
    [ "$screen_before" = "$(xwininfo -root | grep -E "Width|Height" | tr -d ' \n')" ] || fail "[SIG$signal] screen changed"
    echo "ok: SIG$signal at the question ends the game with status $end_status"
done
set +m

# Without a display (and with one that does not answer): one line naming
# DISPLAY, status 1, and no question, music or window.
for display in unset :97; do
    rm -f vellmora.log
    if [ "$display" = unset ]; then
        env -u DISPLAY "$game" >stdout.txt 2>stderr.txt </dev/null &
    else
        DISPLAY="$display" "$game" >stdout.txt 2>stderr.txt </dev/null &
    fi
    pid=$!
    wait_for_end "$pid" 10
    [ "$end_status" -eq 1 ] || fail "[DISPLAY $display] exit status $end_status, expected 1"
    [ "$(grep -c '^Vellmora: .*DISPLAY' stderr.txt)" -eq 1 ] || fail "[DISPLAY $display] standard error: $(cat stderr.txt)"
    [ -s stdout.txt ] && fail "[DISPLAY $display] standard output: $(cat stdout.txt)"
    grep -q "^Model:" vellmora.log && fail "[DISPLAY $display] the game started"
    echo "ok: DISPLAY $display: $(grep '^Vellmora:' stderr.txt)"
done

# --help and --version, answered without the log or a window.
rm -f vellmora.log
"$game" --version >stdout.txt 2>stderr.txt </dev/null || fail "--version: status $?"
grep -qxE "vellmora [0-9][0-9.]*(\+next)?" stdout.txt || fail "--version printed: $(cat stdout.txt)"
"$game" --help >stdout.txt 2>stderr.txt </dev/null || fail "--help: status $?"
grep -q "man vellmora" stdout.txt && grep -q "vellmora.conf" stdout.txt || fail "--help printed: $(cat stdout.txt)"
for argument in -h --bogus; do
    status=0
    timeout 10 "$game" "$argument" >stdout.txt 2>stderr.txt </dev/null || status=$?
    [ "$status" -eq 2 ] || fail "$argument: status $status, not 2"
    grep -q "^Usage: vellmora" stderr.txt && [ ! -s stdout.txt ] || fail "$argument printed: $(cat stdout.txt stderr.txt)"
done
[ -e vellmora.log ] && fail "an argument alone touched the log"

# A log that cannot be written: the game plays, and says so once.
rm -f vellmora.log
mkdir vellmora.log
play_and_quit "$game"
rmdir vellmora.log
[ "$play_status" -eq 0 ] || fail "[unwritable log] exit status $play_status"
[ "$(grep -c 'vellmora.log cannot be written' stderr.txt)" -eq 1 ] || fail "[unwritable log] standard error: $(cat stderr.txt)"
echo "ok: an unwritable log is said once: $(grep 'cannot be written' stderr.txt)"
exit "$failures"
