#!/usr/bin/env bash
# Runs a libFuzzer target for a bounded time.
#
#   tools/fuzz.sh [TARGET] [SECONDS]     TARGET: ms3d (default) or image; SECONDS: 60
#
# Builds the fuzz targets with clang in build-fuzz/ (installing clang and its
# fuzzer runtime if missing), seeds the corpus from the generated assets and
# fuzzes in a scratch directory whose log goes to /dev/null.
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
target="${1:-ms3d}"
seconds="${2:-60}"
build="$here/build-fuzz"

# The usual packages, clang with its fuzzer runtime, and the assets for seeds.
VELLMORA_EXTRA_PACKAGES="clang libclang-rt-14-dev" "$here/tools/run.sh" build >/dev/null

CC=clang CXX=clang++ cmake -S "$here" -B "$build" -DVELLMORA_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target "fuzz_$target"

corpus="$build/corpus-$target"
mkdir -p "$corpus"
case "$target" in
    ms3d) cp -n "$here"/build/run/models/*.ms3d "$corpus"/ ;;
    image)
        # Each seed is a picture prefixed with the byte that picks its type.
        for picture in "$here"/build/run/images/*; do
            case "$picture" in *.tga) type='\x01' ;; *) type='\x00' ;; esac
            { printf "$type"; cat "$picture"; } > "$corpus/seed-$(basename "$picture")"
        done ;;
    *) echo "unknown target $target" >&2; exit 2 ;;
esac

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ln -s /dev/null "$work/vellmora.log"
cd "$work"
artifacts="$build/artifacts-$target"
mkdir -p "$artifacts"
export LSAN_OPTIONS="suppressions=$here/fuzz/lsan.supp:print_suppressions=0"
"$here/tools/with-xvfb" "$build/fuzz/fuzz_$target" "$corpus" -max_total_time="$seconds" -rss_limit_mb=2048 \
    -artifact_prefix="$artifacts/" \
    -print_final_stats=1 2>&1 | tail -n 25
