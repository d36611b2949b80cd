#!/usr/bin/env bash
# One asset, four ways: missing, truncated, with a wrong header, and random
# bytes; a picture also as two pictures in formats the game does not read,
# each of which once crashed it or its fuzzer (a GIF whose image is 0 x 0,
# a WebP whose size is negative as an int). The real game is started on each, in a fresh copy of the asset tree,
# and played as a person would (answering every box, Escape after a while).
# Each case must end as the game promises - its status, its box or log line
# - and never with a crash, a hang or a sanitizer report. A picture's box
# comes up after the game has taken the mouse: it is answered with a click
# on its button, which the game must let through.
#
# Usage: asset_matrix.sh GAME ASSET_DIR ASSET X11PROBE
set -u
game="$1"
assets="$2"
asset="$3"
probe="$4"
failures=0
fail() { echo "FAIL [$asset/$case]: $*"; failures=$((failures + 1)); }

# Plays until the game ends (at most 40 s). Sets: status, boxes (the
# captions of the OK boxes shown, one per line).
play() {
    "$game" >stdout.txt 2>stderr.txt </dev/null &
    local pid=$! started=""
    boxes=""
    status=124
    for _ in $(seq 1 400); do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid"; status=$?
            return
        fi
        local dialog name
        dialog=$(xdotool search --classname '^vellmora-dialog$' 2>/dev/null | head -1)
        if [ -n "$dialog" ]; then
            sleep 0.2
            name=$(xdotool getwindowname "$dialog" 2>/dev/null)
            if [ "$name" = "Options" ]; then
                xdotool key n
            elif [ "$name" = "$asset" ]; then
                boxes="$boxes$name"$'\n'
                # The middle of the OK button, in the desktop's accent colour.
                set -- $("$probe" colour "$dialog" 3584e4)
                xdotool mousemove --window "$dialog" "${2:-0}" "${3:-0}" click 1
            else
                boxes="$boxes$name"$'\n'
                xdotool key Return
            fi
            sleep 0.3
            continue
        fi
        if xdotool search --name '^Vellmora$' >/dev/null 2>&1; then
            if [ -z "$started" ]; then
                started=$(date +%s)
            elif [ $(( $(date +%s) - started )) -ge 2 ]; then
                xdotool key Escape
            fi
        fi
        sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}

# Makes the asset broken in the named way, in a fresh copy of the tree.
prepare() {
    rm -rf tree && mkdir tree && cp -r "$assets"/. tree/ && rm -f tree/vellmora.log
    local file="tree/$asset" size
    size=$(stat -c %s "$file")
    case "$case" in
        missing) rm "$file" ;;
        truncated) truncate -s $((size / 3)) "$file" ;;
        header) printf 'JUNKJUNKJUNKJUNKJUNK' | dd of="$file" bs=1 conv=notrunc status=none ;;
        random) head -c "$size" /dev/urandom > "$file" ;;
        gif) printf '\107\111\106\070\071\141\001\000\001\000\200\000\000\000\000\000\377\377\377\054\000\000\000\000\000\000\000\000\000\002\002\104\001\000\073' >"$file" ;;
        webp) printf '\122\111\106\106\013\000\377\377\127\105\102\120\126\120\070\040\012\000\000\000\000\000\000\235\001\052\004\000\004\000' >"$file" ;;
    esac
}

check_common() {
    if [ "$status" -ge 124 ]; then
        fail "crashed or hung (status $status)"
    fi
    if grep -qE "AddressSanitizer|UndefinedBehaviorSanitizer|runtime error" stderr.txt; then
        fail "sanitizer report:"; head -20 stderr.txt
    fi
}

expect_status() {
    [ "$status" -eq "$1" ] || fail "exit status $status, expected $1"
}

expect_log() {
    grep -qE "$1" vellmora.log 2>/dev/null || fail "no log line matching: $1"
}

cases="missing truncated header random"
case "$asset" in
    images/*) cases="$cases gif webp" ;;
esac
for case in $cases; do
    prepare
    cd tree || exit 1
    play
    check_common
    case "$asset" in
        models/*.ms3d)
            expect_status 0
            case "$case" in
                missing) expect_log "^Could not load $asset correctly$" ;;
                truncated) expect_log "^$asset is truncated" ;;
                *) expect_log "^$asset is not a valid \\.ms3d$" ;;
            esac ;;
        images/*)
            # SDL_image decodes what it can: a truncated TGA (a format with no
            # signature) still loads, with the missing rows blank. Whatever
            # it refuses is reported in a box and in the log.
            if [ "$case" != truncated ]; then
                echo "$boxes" | grep -qx "$asset" || fail "no \"Couldn't load image\" box for $asset"
            fi
            if echo "$boxes" | grep -qx "$asset"; then
                case "$case" in
                    gif) expect_log "^$asset is a GIF picture, which the game does not read$" ;;
                    webp) expect_log "^$asset is a WebP picture, which the game does not read$" ;;
                    *) expect_log "^$asset could not be loaded" ;;
                esac
                if [ "$asset" = images/terrain.tga ]; then
                    # No landscape, no game: a clear message, status 1.
                    expect_status 1
                    echo "$boxes" | grep -qx "Vellmora" || fail "no box explaining the landscape"
                else
                    # The picture becomes a placeholder and the game goes on.
                    expect_status 0
                fi
            else
                expect_status 0
            fi ;;
        techno.mp3)
            if [ "$case" = missing ]; then
                expect_status 1
                [ "$(cat stdout.txt)" = "$(printf 'Loading the song...\n\nFile not found')" ] ||
                    fail "standard output: $(cat stdout.txt)"
            elif [ "$status" -ne 0 ]; then
                # Undecodable music ends start-up with its reason (a damaged
                # but still decodable file simply plays what it can).
                expect_status 1
                grep -qxE "Unknown file format|Error loading file" stdout.txt || fail "standard output: $(cat stdout.txt)"
            fi ;;
        *.wav)
            # An effect that cannot be loaded is simply not heard.
            expect_status 0
            [ "$(cat stdout.txt)" = "$(printf 'Loading the song...\n')" ] || fail "standard output: $(cat stdout.txt)" ;;
    esac
    echo "[$asset/$case] status $status, boxes: $(printf '%s' "$boxes" | tr '\n' '|')"
    cd ..
done
exit "$failures"
