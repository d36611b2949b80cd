#!/usr/bin/env bash
# Makes docs/screenshot.png: the game on a private Xvfb display, flown a
# little in the outside view, captured with ImageMagick's import.
#   tools/screenshot.sh [OUTPUT]
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
output="${1:-$here/docs/screenshot.png}"
mkdir -p "$(dirname "$output")"
VELLMORA_EXTRA_PACKAGES=imagemagick "$here/tools/run.sh" build >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$here/build/run/." "$work/"
cd "$work"
"$here/tools/with-xvfb" bash -c '
    "$1" >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 1 100); do xdotool search --name "^Options$" >/dev/null 2>&1 && break; sleep 0.1; done
    sleep 0.3; xdotool key n
    for _ in $(seq 1 100); do xdotool search --name "^Vellmora$" >/dev/null 2>&1 && break; sleep 0.1; done
    sleep 1
    xdotool key o keydown w; sleep 3; xdotool mousemove_relative -- -40 0; sleep 2; xdotool keyup w; sleep 0.5
    window=$(xdotool search --name "^Vellmora$" | head -1)
    import -window "$window" "$2"
    xdotool key Escape
    wait "$pid"' _ "$here/build/vellmora" "$output"
echo "wrote $output"
