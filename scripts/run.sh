#!/usr/bin/env bash
# Installs what is missing, builds KVEL.exe and starts it under Wine.
#
#   scripts/run.sh [arguments for KVEL.exe]
#
# The program runs in a sandbox prefix of its own (.wine-sandbox, created on
# first use and seeded with everyday file types from scripts/sandbox.reg), so
# trying it never touches a real prefix; WINEPREFIX=... selects a real one,
# which is used as it is. Any argument starts it in admin mode. Without a display it runs
# under Xvfb, saves a screenshot of the main window once it has loaded, closes
# it and says where the picture is.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

BUILD_DIR="${KVEL_BUILD_DIR:-$KVEL_ROOT/build}"
kvel_need_packages
KVEL_BUILD_TARGET=KVEL kvel_build "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo
SANDBOX="$KVEL_ROOT/.wine-sandbox"
kvel_prefix "${WINEPREFIX:-$SANDBOX}"
if [ "$WINEPREFIX" = "$SANDBOX" ]; then
    # Debian's Wine leaves its own fonts out of new prefixes: without Marlett
    # the caption buttons show letters.
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp -n /usr/share/wine/fonts/{marlett,tahoma,tahomabd}.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    if [ ! -f "$WINEPREFIX/.kvel-seeded" ]; then
        if wine reg import "$(winepath -w "$KVEL_ROOT/scripts/sandbox.reg")" >/dev/null 2>&1; then
            touch "$WINEPREFIX/.kvel-seeded"
        else
            echo "kvel: the sandbox could not be seeded; it holds Wine's own types only"
        fi
        wineserver -w
    fi
fi
EXE="$BUILD_DIR/bin/KVEL.exe"

if [ -n "${DISPLAY:-}" ]; then
    wine "$EXE" "$@"
    exit 0
fi

SHOT="${KVEL_SCREENSHOT:-$BUILD_DIR/kvel-main-window.png}"
export EXE SHOT
xvfb-run -a -s "-screen 0 1280x900x24" bash "$KVEL_ROOT/scripts/screenshot-main.sh" "$@"
kvel_stop_prefix
echo "kvel: screenshot of the main window: $SHOT"
