#!/bin/bash
# Seeds a fresh Wine prefix for each N and prints the compare figures.
# Usage: bench/run_compare.sh BUILD_DIR [N ...]   (default N: 2000 20000 100000)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"

build="$(cd "${1:?build directory}" && pwd)"
shift || true
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(2000 20000 100000)
exe="$build/bin/bench_compare.exe"

for n in "${sizes[@]}"; do
    prefix="$build/bench-compare-prefix-$n"
    rm -rf "$prefix"
    kvel_prefix "$prefix"
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
    wineserver -w
    echo "== N = $n"
    wine "$exe" seed "$n"
    wineserver -w
    wine "$exe" run "$n"
    kvel_stop_prefix
    rm -rf "$prefix"
done
