#!/usr/bin/env bash
# Installs the game into a temporary prefix, as `cmake --install` does for a
# user, and starts the installed launcher from another directory, the way
# the desktop entry does: the game must start, and its log must land in the
# per-user state directory, not where it was started from.
# Usage: install_and_play.sh BUILD_DIR
set -u
build="$1"
prefix="$PWD/prefix"
export HOME="$PWD/home"
unset XDG_STATE_HOME
. "$(dirname "$0")/play.sh"
mkdir -p "$HOME" elsewhere

cmake --install "$build" --prefix "$prefix" >install.log 2>&1 || { cat install.log; exit 1; }
for file in bin/vellmora libexec/vellmora/vellmora share/vellmora/models/skimmer.ms3d \
            share/vellmora/techno.mp3 share/applications/vellmora.desktop \
            share/icons/hicolor/scalable/apps/vellmora.svg; do
    [ -e "$prefix/$file" ] || fail "not installed: $file"
done
command=$(sed -n 's/^Exec=//p' "$prefix/share/applications/vellmora.desktop")
[ "$command" = vellmora ] || fail "the desktop entry runs '$command'"

cd elsewhere || exit 1
PATH="$prefix/bin:$PATH" play_and_quit "$command"
[ "$play_status" -eq 0 ] || { fail "exit status $play_status"; cat stderr.txt; }
log="$HOME/.local/state/vellmora/vellmora.log"
grep -q "^Heightmap filename: images/terrain.tga$" "$log" 2>/dev/null || fail "no game log in $log"
[ ! -e vellmora.log ] || fail "the log was written where the game was started"

# A real directory where a link to the data goes: one line says so, and
# nothing is left behind.
state="$HOME/.local/state/vellmora"
rm "$state/models" && mkdir "$state/models"
"$prefix/bin/vellmora" >/dev/null 2>message.txt </dev/null
status=$?
[ "$status" -eq 1 ] || fail "started with a directory in the way (status $status)"
[ "$(wc -l <message.txt)" -eq 1 ] && grep -q "$state/models is a directory" message.txt ||
    fail "unclear message: $(cat message.txt)"
[ -z "$(find "$state" -name '.*.[0-9]*')" ] || fail "left behind: $(find "$state" -name '.*.[0-9]*')"
rmdir "$state/models"

# Without the assets the launcher says where it looked.
mv "$prefix/share/vellmora" "$prefix/share/moved"
"$prefix/bin/vellmora" >/dev/null 2>message.txt </dev/null
status=$?
[ "$status" -ne 0 ] || fail "started without its assets"
grep -q "assets are not in .*share/vellmora" message.txt || fail "unclear message: $(cat message.txt)"
echo "installed into $prefix, played from $(pwd), log in $log"
exit "$failures"
