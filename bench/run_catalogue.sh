#!/bin/bash
# Seeds a fresh, throw-away Wine prefix for each N and prints the catalogue
# figures. Usage: bench/run_catalogue.sh BUILD_DIR [N ...]   (default N: 2000 20000)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"

build="$(cd "${1:?build directory}" && pwd)"
shift || true
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(2000 20000)
exe="$build/bin/bench_catalogue.exe"
[ -f "$exe" ] || { echo "no $exe: build the target bench_catalogue first"; exit 1; }

prefix=""
cleanup() {
    [ -n "$prefix" ] || return 0
    kvel_stop_prefix
    rm -rf "$prefix"
}
trap cleanup EXIT

for n in "${sizes[@]}"; do
    prefix="$build/bench-catalogue-prefix-$n"
    rm -rf "$prefix"
    kvel_prefix "$prefix"
    # No display: the windows are real, but nothing is drawn on a screen.
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
    wineserver -w
    echo "== N = $n"
    wine "$exe" seed "$n"
    wineserver -w
    wine "$exe" run "$n"
    cleanup
    prefix=""
done
