#!/usr/bin/env bash
# Makes docs/screenshot.png: the game as a player meets it, flown in the
# outside view by the autopilot (build/vellmora_photo) on a private Xvfb
# display towards a box with a palm beside it, then converted to PNG with
# ImageMagick. The level is random, so every picture differs.
#   tools/screenshot.sh [OUTPUT]
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
output="${1:-$here/docs/screenshot.png}"
mkdir -p "$(dirname "$output")"
output="$(cd "$(dirname "$output")" && pwd)/$(basename "$output")"
VELLMORA_EXTRA_PACKAGES=imagemagick "$here/tools/run.sh" build >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$here/build/run/." "$work/"
"$here/tools/with-xvfb" "$here/build/vellmora_photo" "$work" "$work/frame.bmp" >/dev/null
convert "$work/frame.bmp" "$output"
echo "wrote $output"
