#!/usr/bin/env bash
# Renders every window of KVEL into docs/*.png (or into the folder given),
# each cropped to its window: KVEL.exe runs on a Wine virtual desktop under
# Xvfb, in a prefix seeded with the sandbox's everyday types
# (scripts/sandbox.reg) and a few types of the pictures' own, and is driven
# with X input (scripts/screenshots/). Run by hand after a change to a
# template, and look at the pictures.
#
#   scripts/screenshots.sh [output folder]
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

BUILD_DIR="${KVEL_BUILD_DIR:-$KVEL_ROOT/build}"
OUT="$(realpath -m "${1:-$KVEL_ROOT/docs}")"
kvel_need_packages
KVEL_BUILD_TARGET=KVEL kvel_build "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo
# The probe finds windows, controls and menu entries on the screen from
# outside the program; it shares no code with it.
x86_64-w64-mingw32-g++-posix -O2 -static -o "$BUILD_DIR/bin/kvel_e2e_probe.exe" \
    "$KVEL_ROOT/scripts/screenshots/probe.cpp" -lcomctl32 -luser32 -lgdi32

tool=(python3 "$KVEL_ROOT/scripts/screenshots/run.py" --build "$BUILD_DIR")
trap '"${tool[@]}" cleanup' EXIT
# Every window at 100 %; the main window and the editor again at 150 % and
# 200 % (a prefix of its own for each scale, as Wine reads it at start).
for dpi in 96 144 192; do
    "${tool[@]}" --dpi "$dpi" setup
    python3 "$KVEL_ROOT/scripts/screenshots/screenshots.py" --build "$BUILD_DIR" --out "$OUT"
done
echo "kvel: screenshots in $OUT"
