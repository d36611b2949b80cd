#!/usr/bin/env bash
# The house's floors, the bottom first. A folder of the game includes only
# itself and the folders below it, and no two file pairs (a header and its
# source are one pair) include each other, directly or round a circle.
# Prints each break, naming the file and line or the pairs of the circle,
# and fails when there is any.
# Usage: tools/check_floors.sh [SOURCE_DIR]
set -u
FLOORS="base math scene sound assets terrain game app"

cd "${1:-$(dirname "$0")/..}" || exit 2
declare -A FLOOR_OF
floor=0
for name in $FLOORS; do
    FLOOR_OF[$name]=$floor
    floor=$((floor + 1))
done

breaks=0
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
for folder in $FLOORS; do
    own=${FLOOR_OF[$folder]}
    while IFS= read -r file; do
        pair="${file%.*}"
        echo "$pair $pair" >>"$edges"
        while IFS=: read -r number text; do
            [[ $text =~ \"([^\"]+)\" ]] || continue
            target=${BASH_REMATCH[1]}
            floor=${FLOOR_OF[${target%%/*}]:--1}
            if [ "$floor" -lt 0 ] || [ "$floor" -gt "$own" ]; then
                echo "$file:$number: $folder/ includes $target, on a floor above it (or on none)"
                breaks=$((breaks + 1))
            fi
            [ "${target%.*}" != "$pair" ] && echo "$pair ${target%.*}" >>"$edges"
        done < <(grep -n '^#include "' "$file")
    done < <(find "$folder" \( -name '*.h' -o -name '*.cpp' \) | sort)
done

# tsort names the pairs of each circle it meets, one to a line.
circles=$(tsort "$edges" 2>&1 >/dev/null | sed -n 's/^tsort: \([^-].*\)$/\1/p' | grep -v 'input contains a loop')
if [ -n "$circles" ]; then
    echo "file pairs that include each other round a circle:"
    echo "$circles" | sed 's/^/  /'
    breaks=$((breaks + 1))
fi
if [ "$breaks" -gt 0 ]; then
    echo "$breaks breaks of the floors ($FLOORS, the bottom first)"
    exit 1
fi
echo "the floors hold: $FLOORS, the bottom first, and no file pairs include each other round a circle"
