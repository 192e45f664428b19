#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under Wine in a fresh,
# throw-away prefix with Wine's null display driver, then the fuzz targets.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

BUILD_DIR="${KVEL_BUILD_DIR:-$KVEL_ROOT/build}"
# No include may run from a floor of the program to a higher one.
bash "$KVEL_ROOT/scripts/check-layers.sh"
# The tests stay within a third of the program's size.
bash "$KVEL_ROOT/scripts/test-ratio.sh"
kvel_need_packages
kvel_build "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo

# A second prefix at 144 dots per inch, for the windows' scale test.
PREFIX144="$BUILD_DIR/test-prefix-144"
stop_prefixes() {
    WINEPREFIX="$PREFIX144" wineserver -k 2>/dev/null || true
    kvel_stop_prefix
}
rm -rf "$PREFIX144"
kvel_prefix "$PREFIX144"
trap stop_prefixes EXIT
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wineserver -k
wineserver -w

PREFIX="$BUILD_DIR/test-prefix"
rm -rf "$PREFIX"
kvel_prefix "$PREFIX"
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
wineserver -w

cd "$BUILD_DIR"
ctest_status=0
ctest --output-on-failure --timeout 900 "$@" 2>&1 | tee ctest.log || ctest_status=$?
stop_prefixes

# Fuzzing, natively with clang: the text routines, the command-line reader and
# the changed-extensions file's text, about a minute per target
# (KVEL_FUZZ_SECONDS sets it; 0 skips the step).
fuzz_status=0
if [ "${KVEL_FUZZ_SECONDS:-60}" != 0 ]; then
    bash "$KVEL_ROOT/scripts/fuzz.sh" "$BUILD_DIR/fuzz" || fuzz_status=$?
fi
# ctest's summary closes the output again.
grep -E "tests passed|tests failed" ctest.log | tail -n 1 || true
[ "$ctest_status" -eq 0 ] && [ "$fuzz_status" -eq 0 ]
