#!/usr/bin/env bash
# Vellmora's one set-up script: installs the Debian packages the game and its
# tests need (only those missing), builds with CMake, then plays or tests.
#
#   tools/run.sh play    build, generate the assets, start the game
#   tools/run.sh test    build, then run the whole test suite headless, then
#                        again built with AddressSanitizer and
#                        UndefinedBehaviorSanitizer, with a 20,000-frame soak,
#                        then each fuzzer for a minute from its seeds
#   tools/run.sh build   build only
#   tools/run.sh fuzzers build the libFuzzer targets with clang in build-fuzz
#   tools/run.sh bench [FRAMES [START_UPS]]
#                        build, then run the benchmark headless (its full-
#                        screen rows on a private Xvfb under openbox)
#   tools/run.sh package build a Release build and the Debian package
#                        build/vellmora_VERSION_ARCH.deb (ARCH as dpkg
#                        names this machine's, amd64 on a PC)
#
# Runs as root on a fresh Debian 12 machine; as another user it uses sudo
# for the package installation.
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
build="$here/build"
jobs=$(nproc 2>/dev/null || echo 2)

PACKAGES="
    build-essential cmake pkg-config git
    libsdl1.2-compat-dev libsdl-image1.2-dev libsdl-mixer1.2-dev libmpg123-dev
    libgl-dev libglu1-mesa-dev libgl1-mesa-dri
    libfreetype-dev libfontconfig-dev fonts-liberation2 libx11-dev libxrandr-dev libxtst-dev libxft-dev
    libmp3lame-dev librsvg2-bin libpng-dev
    libgtest-dev
    xvfb xauth xdotool x11-apps x11-utils x11-xserver-utils
"
# The package and its checks (which the test command runs too).
PACKAGE_TOOLS="dpkg-dev lintian desktop-file-utils appstream man-db"
# Songs of other layouts for the music tests.
TEST_TOOLS="lame sox"
# clang and its fuzzer runtime, for the fuzzers.
FUZZ_TOOLS="clang libclang-rt-14-dev"
# A window manager, for the benchmark's full screen.
BENCH_TOOLS="openbox"
# Tools that need more (the fuzzers, the screenshot) name it here.
PACKAGES="$PACKAGES ${VELLMORA_EXTRA_PACKAGES:-}"

install_missing() {
    local missing=""
    for pkg in $PACKAGES; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing="$missing $pkg"
        fi
    done
    [ -z "$missing" ] && return 0
    echo "Installing:$missing"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
    # shellcheck disable=SC2086
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
}

build_game() {
    cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" -j "$jobs"
}

# A Release build laid out as Debian keeps games, then CPack's package,
# copied beside the main build. Release without NDEBUG: the game's own
# checks of its preconditions stay in, as in every other build.
build_package() {
    local release="$here/build-package"
    # Debian's hardening flags, all of them.
    local flags
    flags=$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CXXFLAGS)
    flags="$flags $(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CPPFLAGS)"
    cmake -S "$here" -B "$release" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-O2 \
        -DCMAKE_CXX_FLAGS="$flags" \
        -DCMAKE_EXE_LINKER_FLAGS="$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get LDFLAGS)" \
        -DVELLMORA_GAMES_LAYOUT=ON -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
    cmake --build "$release" -j "$jobs" --target vellmora assets install_files
    # The package of this build only, for this machine's architecture.
    local arch deb
    arch=$(dpkg --print-architecture)
    rm -f "$release"/vellmora_*.deb
    (cd "$release" && cpack -G DEB >/dev/null)
    deb=$(ls "$release"/vellmora_*_"$arch".deb)
    mkdir -p "$build"
    # One package beside the build, whatever version the last one was.
    rm -f "$build"/vellmora_*_"$arch".deb
    cp "$deb" "$build/"
    echo "wrote $build/$(basename "$deb")"
}

# The whole tree compiled with clang's fuzzer coverage, for the five targets.
build_fuzzers() {
    CC=clang CXX=clang++ cmake -S "$here" -B "$here/build-fuzz" -DVELLMORA_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$here/build-fuzz" -j "$jobs" --target fuzz_image fuzz_ms3d fuzz_records fuzz_ghost fuzz_settings
}

build_sanitized() {
    cmake -S "$here" -B "$here/build-asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLMORA_SANITIZE=ON >/dev/null
    cmake --build "$here/build-asan" -j "$jobs"
}

play() {
    cd "$build/run"
    if [ -n "${DISPLAY:-}" ]; then
        exec "$build/vellmora"
    fi
    echo "No DISPLAY: starting the game on a private Xvfb display."
    exec "$here/tools/with-xvfb" "$build/vellmora"
}

run_tests() {
    local status=0
    echo "== The test suite"
    (cd "$build" && ctest --output-on-failure -j "$jobs" --timeout 600 -LE soak) || status=1
    echo "== The test suite and a soak under AddressSanitizer and UndefinedBehaviorSanitizer"
    build_sanitized
    # Leaks are not reported: the game keeps its models, textures and world
    # until the process ends, by design; the soak benchmark watches memory.
    (cd "$here/build-asan" &&
        ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        ctest --output-on-failure -j "$jobs" --timeout 3600 -LE package) || status=1
    # The fuzzers keep watch: each runs a minute from its seeds, and any
    # finding, or a fuzzer that cannot start, fails the run.
    echo "== The fuzzers, a minute each from the seeds"
    build_fuzzers
    # Verbose, for each one's line of inputs a second (or its whole report).
    (cd "$here/build-fuzz" && ctest --verbose -j "$jobs" -L fuzz) || status=1
    return "$status"
}

mode="${1:-}"
case "$mode" in
    play|build) ;;
    fuzzers) PACKAGES="$PACKAGES $FUZZ_TOOLS" ;;
    bench) PACKAGES="$PACKAGES $BENCH_TOOLS" ;;
    test) PACKAGES="$PACKAGES $PACKAGE_TOOLS $TEST_TOOLS $FUZZ_TOOLS" ;;
    package) PACKAGES="$PACKAGES $PACKAGE_TOOLS" ;;
    *) echo "usage: $0 play|test|build|fuzzers|bench|package" >&2; exit 2 ;;
esac

install_missing
case "$mode" in
    package) build_package; exit 0 ;;
    fuzzers) build_fuzzers; exit 0 ;;
esac
build_game
case "$mode" in
    play) play ;;
    test) run_tests ;;
    bench) shift; exec "$here/tools/with-xvfb" "$build/vellmora_bench" "$build/run" "$@" ;;
    build) ;;
esac
