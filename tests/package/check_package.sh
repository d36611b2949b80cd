#!/usr/bin/env bash
# Builds the Debian package as a player would (tools/run.sh package) and
# checks it without installing it: lintian finds no errors, the desktop
# entry and the metainfo validate, the files sit where Debian keeps a game,
# Depends names the libraries and the font, one version runs through the
# package, the metainfo and the man page, the changelog follows NEWS, every
# file the man page names is installed, and the launcher of an unpacked
# copy plays the real game with its log in the XDG state directory.
# Usage (on an X display, in a scratch directory): check_package.sh SOURCE_DIR
set -u
source_dir="$1"
. "$source_dir/tests/e2e/play.sh"

"$source_dir/tools/run.sh" package >package.log 2>&1 || { tail -30 package.log; exit 1; }
# The package just built, as the build names it (an older one may lie beside it).
deb=$(sed -n 's/^wrote //p' package.log | tail -1)
[ -f "$deb" ] || { echo "no package named in package.log"; tail -5 package.log; exit 1; }
echo "package: $deb ($(du -k "$deb" | cut -f1) kB)"

lintian --fail-on error "$deb" 2>/dev/null || fail "lintian reports errors"

mkdir -p root
dpkg-deb -x "$deb" root
desktop-file-validate root/usr/share/applications/vellmora.desktop || fail "the desktop entry is not valid"
appstreamcli validate --no-net root/usr/share/metainfo/*.metainfo.xml >appstream.txt ||
    { cat appstream.txt; fail "the metainfo is not valid"; }

for file in games/vellmora lib/games/vellmora/vellmora \
            share/games/vellmora/models/skimmer.ms3d share/games/vellmora/models/palm.ms3d \
            share/games/vellmora/models/box.ms3d share/games/vellmora/images/terrain.tga \
            share/games/vellmora/techno.mp3 share/games/vellmora/crash.wav share/games/vellmora/gotbox.wav \
            share/applications/vellmora.desktop share/icons/hicolor/scalable/apps/vellmora.svg \
            share/icons/hicolor/48x48/apps/vellmora.png share/icons/hicolor/64x64/apps/vellmora.png \
            share/icons/hicolor/128x128/apps/vellmora.png share/icons/hicolor/256x256/apps/vellmora.png \
            share/man/man6/vellmora.6.gz share/doc/vellmora/copyright share/doc/vellmora/changelog.gz \
            share/doc/vellmora/NEWS.gz \
            share/doc/vellmora/examples/vellmora.conf; do
    [ -e "root/usr/$file" ] || fail "not in the package: /usr/$file"
done
outside=$(dpkg-deb -c "$deb" | awk '{ print $6 }' | grep -v -E '^\./usr/' | grep -v -x '\./')
[ -z "$outside" ] || fail "files outside /usr: $outside"
file root/usr/share/icons/hicolor/64x64/apps/vellmora.png | grep -q "64 x 64" || fail "the 64 pixel icon is not 64 x 64"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for name in libsdl1.2debian libsdl-image1.2 libsdl-mixer1.2 libmpg123-0 libfreetype6 libfontconfig1 \
            libx11-6 libglu1-mesa libc6 fonts-liberation2; do
    echo "$depends" | grep -q -E "(^|[ ,|])$name( |,|$)" || fail "Depends does not name $name"
done

version=$(dpkg-deb -f "$deb" Version)
grep -q "<release version=\"$version\"" root/usr/share/metainfo/*.metainfo.xml || fail "the metainfo's release is not $version"
zcat root/usr/share/man/man6/vellmora.6.gz | grep -q "^\.TH VELLMORA 6 .*\"Vellmora $version\"" ||
    fail "the man page is not of version $version"
zcat root/usr/share/doc/vellmora/changelog.gz | head -1 | grep -q "^vellmora ($version)" ||
    fail "the changelog's entry is not $version"
# The changelog says what NEWS says: NEWS's newest item opens its newest entry.
first_item=$(zcat root/usr/share/doc/vellmora/NEWS.gz | grep -m1 '^- ' | cut -c3-)
zcat root/usr/share/doc/vellmora/changelog.gz | sed -n 3p | grep -qF "  * $first_item" ||
    fail "the changelog's newest entry does not open with NEWS's newest item: $first_item"
# Every file the man page names is in the package.
for named in $(zcat root/usr/share/man/man6/vellmora.6.gz | grep -o '/usr/share/doc/[^ ]*' | sort -u); do
    [ -e "root$named" ] || fail "the man page names $named, which the package does not install"
done

# The launcher of the unpacked copy: links refreshed (a stale one from an
# older layout is replaced), the game played, the log in the state directory.
export HOME="$PWD/home"
unset XDG_STATE_HOME
run="$HOME/.local/state/vellmora"
mkdir -p "$run"
ln -s /nonexistent/models "$run/models"
play_and_quit root/usr/games/vellmora
[ "$play_status" -eq 0 ] || { fail "exit status $play_status"; cat stderr.txt; }
grep -q "^Heightmap filename: images/terrain.tga$" "$run/vellmora.log" 2>/dev/null || fail "no game log in $run"
[ "$(readlink -f "$run/models")" = "$(readlink -f root/usr/share/games/vellmora/models)" ] ||
    fail "the link to the models was not refreshed: $(readlink "$run/models")"

# A state directory that cannot be made is reported, with a non-zero status.
XDG_STATE_HOME=/proc/vellmora timeout 20 root/usr/games/vellmora >/dev/null 2>message.txt </dev/null
status=$?
[ "$status" -ne 0 ] && grep -q "cannot create /proc/vellmora/vellmora" message.txt ||
    fail "an impossible state directory gave status $status and: $(cat message.txt)"
exit "$failures"
