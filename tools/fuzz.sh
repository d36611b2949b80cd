#!/usr/bin/env bash
# Runs a libFuzzer target for a bounded time.
#
#   tools/fuzz.sh [--check] [TARGET] [SECONDS] [LIBFUZZER FLAGS...]
#
# TARGET: ms3d (default), image, records, ghost or settings; SECONDS: 60, 0 for no limit (then give
# -runs=N). Builds the fuzz targets with clang in build-fuzz/ (installing
# clang and its fuzzer runtime if missing), starts the working corpus
# build-fuzz/corpus-TARGET from the seeds in fuzz/seeds/TARGET and fuzzes in
# a scratch directory whose log goes to /dev/null. Findings land in
# build-fuzz/artifacts-TARGET/. With --check (the test command's) nothing is
# built (run.sh fuzzers builds the targets), the corpus is the seeds alone, and what is printed is one line of the speed, or the
# fuzzer's whole report when it finds something or cannot start; the status
# is the fuzzer's, 0 when it found nothing.
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
check=
if [ "${1:-}" = --check ]; then
    check=1
    shift
fi
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
    records) display=; options="-max_len=8192" ;;
    ghost) display=; options="-max_len=4096" ;;
    settings) display=; options="-max_len=4096" ;;
    *) echo "unknown target $target" >&2; exit 2 ;;
esac

# The usual packages and clang with its fuzzer runtime; the test command
# has built the targets already.
[ -z "$check" ] && "$here/tools/run.sh" fuzzers >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
corpus="$build/corpus-$target"
[ -n "$check" ] && corpus="$work/corpus"
mkdir -p "$corpus"
cp -n "$here/fuzz/seeds/$target"/* "$corpus"/
ln -s /dev/null "$work/vellmora.log"
cd "$work"
artifacts="$build/artifacts-$target"
mkdir -p "$artifacts"
export LSAN_OPTIONS="suppressions=$here/fuzz/lsan.supp:print_suppressions=0"
fuzz() {
    $display "$build/fuzz/fuzz_$target" "$corpus" -max_total_time="$seconds" -rss_limit_mb=2048 \
        -artifact_prefix="$artifacts/" -print_final_stats=1 $options "$@" 2>&1
}
if [ -z "$check" ]; then
    fuzz "$@"
    exit
fi
status=0
fuzz "$@" >"$work/report" || status=$?
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/report")
speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/report")
if [ "$status" -ne 0 ] || [ -z "$runs" ]; then
    cat "$work/report"
    echo "fuzz_$target: FAILED (status $status), after ${runs:-no} inputs"
    exit $((status == 0 ? 1 : status))
fi
echo "fuzz_$target: $runs inputs in $seconds s from the seeds, $speed a second, nothing found"
