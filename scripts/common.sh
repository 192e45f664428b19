# Shared by scripts/run.sh and scripts/test.sh: packages, build, Wine prefixes.
set -euo pipefail

KVEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
KVEL_PACKAGES=(cmake make wine wine64 fonts-wine mingw-w64 g++-mingw-w64-x86-64-posix
               googletest xvfb xauth xdotool x11-utils imagemagick python3
               clang libclang-rt-14-dev nlohmann-json3-dev)

kvel_need_packages() {
    local missing=() p
    for p in "${KVEL_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "kvel: installing ${missing[*]}"
        apt-get update -q >/dev/null
        DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
    else
        echo "kvel: missing packages; run as root:"
        echo "  apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"
        exit 1
    fi
}

# kvel_build BUILD_DIR [cmake options...]; KVEL_BUILD_TARGET names the one
# target to build (default: everything).
kvel_build() {
    local dir="$1"; shift
    cmake -S "$KVEL_ROOT" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$KVEL_ROOT/cmake/mingw-w64-x86_64.cmake" "$@" >/dev/null
    cmake --build "$dir" -j2 ${KVEL_BUILD_TARGET:+--target "$KVEL_BUILD_TARGET"}
}

# kvel_prefix PREFIX: create a Wine prefix if it does not exist yet, with
# nothing added to the desktop's menus.
kvel_prefix() {
    export WINEPREFIX="$1" WINEARCH=win64 WINEDEBUG=-all
    # No debugger: a test program that faults ends at once instead of waiting.
    export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d;winedbg.exe=d"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
    fi
}

kvel_stop_prefix() {
    [ -n "${WINEPREFIX:-}" ] && WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true
}
