#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under Wine in a fresh,
# throw-away prefix with Wine's null display driver.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

BUILD_DIR="${KVEL_BUILD_DIR:-$KVEL_ROOT/build}"
kvel_need_packages
kvel_build "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo

PREFIX="$BUILD_DIR/test-prefix"
rm -rf "$PREFIX"
kvel_prefix "$PREFIX"
trap kvel_stop_prefix EXIT
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
wineserver -w

cd "$BUILD_DIR"
ctest --output-on-failure --timeout 900 "$@"
