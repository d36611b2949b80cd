#!/usr/bin/env bash
# Runs a libFuzzer target for a bounded time.
#
#   tools/fuzz.sh [TARGET] [SECONDS] [LIBFUZZER FLAGS...]
#
# TARGET: ms3d (default) or image; SECONDS: 60, 0 for no limit (then give
# -runs=N). Builds the fuzz targets with clang in build-fuzz/ (installing
# clang and its fuzzer runtime if missing), starts the working corpus from
# the seeds in fuzz/seeds/TARGET and fuzzes in a scratch directory whose log
# goes to /dev/null. Findings land in build-fuzz/artifacts-TARGET/.
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
target="${1:-ms3d}"
seconds="${2:-60}"
shift $(($# < 2 ? $# : 2))
build="$here/build-fuzz"
case "$target" in
    # The models' textures need a GL context. The GL driver's own allocations
    # would make every input a whole-heap leak check (30 times slower), so
    # leaks in the model path are left to the sanitized unit tests, which
    # replay the seeds and the findings.
    ms3d) display="$here/tools/with-xvfb"; options="-detect_leaks=0 -max_len=4096" ;;
    image) display=; options= ;;
    *) echo "unknown target $target" >&2; exit 2 ;;
esac

# The usual packages and clang with its fuzzer runtime.
VELLMORA_EXTRA_PACKAGES="clang libclang-rt-14-dev" "$here/tools/run.sh" build >/dev/null

CC=clang CXX=clang++ cmake -S "$here" -B "$build" -DVELLMORA_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target "fuzz_$target"

corpus="$build/corpus-$target"
mkdir -p "$corpus"
cp -n "$here/fuzz/seeds/$target"/* "$corpus"/

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ln -s /dev/null "$work/vellmora.log"
cd "$work"
artifacts="$build/artifacts-$target"
mkdir -p "$artifacts"
export LSAN_OPTIONS="suppressions=$here/fuzz/lsan.supp:print_suppressions=0"
$display "$build/fuzz/fuzz_$target" "$corpus" -max_total_time="$seconds" -rss_limit_mb=2048 \
    -artifact_prefix="$artifacts/" -print_final_stats=1 $options "$@" 2>&1
