#!/usr/bin/env bash
# Renders every window of KVEL into docs/*.png (or into the folder given),
# each cropped to its window: KVEL.exe runs on a Wine virtual desktop under
# Xvfb in the end-to-end suite's seeded prefix and is driven with X input
# (tests/e2e/screenshots.py). Run by hand after a change to a template, and
# look at the pictures.
#
#   scripts/screenshots.sh [output folder]
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

BUILD_DIR="${KVEL_BUILD_DIR:-$KVEL_ROOT/build}"
OUT="$(realpath -m "${1:-$KVEL_ROOT/docs}")"
kvel_need_packages
kvel_build "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo

e2e=(python3 "$KVEL_ROOT/tests/e2e/run.py" --build "$BUILD_DIR")
"${e2e[@]}" setup
trap '"${e2e[@]}" cleanup' EXIT
python3 "$KVEL_ROOT/tests/e2e/screenshots.py" --build "$BUILD_DIR" --out "$OUT"
echo "kvel: screenshots in $OUT"
