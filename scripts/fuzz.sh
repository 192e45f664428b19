#!/usr/bin/env bash
# Builds the native fuzz targets with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each for a bounded time, growing its
# corpus in the build folder. Fails when a target finds a crash; the input
# that caused it is left in the build folder as crash-*.
#
#   bash scripts/fuzz.sh [BUILD_DIR]      # default build/fuzz
#   KVEL_FUZZ_SECONDS=600 bash scripts/fuzz.sh
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${1:-$ROOT/build/fuzz}"
SECONDS_PER_TARGET="${KVEL_FUZZ_SECONDS:-60}"

CXX=clang++ cmake -S "$ROOT/tests/fuzz" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" -j2 >/dev/null

status=0
for target in text command_arg changed_extensions; do
    corpus="$BUILD/corpus/$target"
    mkdir -p "$corpus"
    echo "fuzz_$target: ${SECONDS_PER_TARGET}s"
    if ! (cd "$BUILD" && "./fuzz_$target" -max_total_time="$SECONDS_PER_TARGET" \
            -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "$corpus" \
            >"fuzz_$target.log" 2>&1); then
        echo "fuzz_$target FAILED; its report and input are in $BUILD:"
        tail -n 40 "$BUILD/fuzz_$target.log"
        status=1
    else
        grep -E "^stat::number_of_executed_units" "$BUILD/fuzz_$target.log" || true
    fi
done
exit $status
