#!/usr/bin/env bash
# Makes docs/screenshot.png: the game as a player meets it, flown in the
# outside view by the autopilot (build/vellmora_photo) on a private Xvfb
# display towards a box with a palm beside it, then converted to PNG with
# ImageMagick. The level is random, so every picture differs. Then
# docs/dialog.png: the game's first question, captured with import.
#   tools/screenshot.sh [OUTPUT [DIALOG_OUTPUT]]
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
output="${1:-$here/docs/screenshot.png}"
mkdir -p "$(dirname "$output")"
output="$(cd "$(dirname "$output")" && pwd)/$(basename "$output")"
dialog_output="${2:-$here/docs/dialog.png}"
dialog_output="$(cd "$(dirname "$dialog_output")" && pwd)/$(basename "$dialog_output")"
VELLMORA_EXTRA_PACKAGES=imagemagick "$here/tools/run.sh" build >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$here/build/run/." "$work/"
"$here/tools/with-xvfb" "$here/build/vellmora_photo" "$work" "$work/frame.bmp" >/dev/null
convert "$work/frame.bmp" "$output"
echo "wrote $output"
cd "$work"
"$here/tools/with-xvfb" bash -c '
    "$1" >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 1 100); do
        w=$(xdotool search --name "^Options$" 2>/dev/null | head -1)
        [ -n "$w" ] && break
        sleep 0.1
    done
    sleep 0.5
    import -window "$w" "$2"
    xdotool key n
    for _ in $(seq 1 120); do
        sleep 0.5
        kill -0 "$pid" 2>/dev/null || break
        xdotool key Escape
    done
    wait "$pid"' _ "$here/build/vellmora" "$dialog_output"
echo "wrote $dialog_output"
