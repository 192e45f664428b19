#!/bin/bash
# The command line on the catalogue benchmark's types, in a fresh throw-away
# prefix for each N: the catalogue's load (bench_catalogue run), then
# "kvel list --format csv" and "kvel --machine export --all", 3 runs each,
# their medians and the list's ratio to the load.
# Usage: bench/run_cli.sh BUILD_DIR [N ...]   (default N: 2000 20000)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/bench_prefix.sh"

build="$(cd "${1:?build directory}" && pwd)"
shift || true
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(2000 20000)
kvel="$build/bin/kvel.com"
[ -f "$kvel" ] || { echo "no $kvel: build the target kvel-console first"; exit 1; }

# The median of three runs of a command, in milliseconds.
median_ms() {
    local times=() run start
    for run in 1 2 3; do
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1 || true
        times+=($((($(date +%s%N) - start) / 1000000)))
    done
    printf '%s\n' "${times[@]}" | sort -n | sed -n 2p
}

for n in "${sizes[@]}"; do
    bench_prefix="$build/bench-cli-prefix-$n"
    rm -rf "$bench_prefix"
    kvel_prefix "$bench_prefix"
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
    wineserver -w
    echo "== N = $n"
    wine "$build/bin/bench_catalogue.exe" seed "$n"
    wineserver -w
    load=$(wine "$build/bin/bench_catalogue.exe" run "$n" | sed -n 's/^load *median \([0-9.]*\) ms.*/\1/p')
    wineserver -w
    list=$(median_ms wine "$kvel" list --format csv)
    export=$(median_ms wine "$kvel" --machine export --all 'C:\kvel-bench.reg')
    # A process of the console program's own, doing nothing but start.
    start=$(median_ms wine "$kvel" --help)
    echo "load (window) $load ms; kvel start $start ms"
    echo "list --format csv $list ms: $(awk "BEGIN { printf \"%.2f\", $list / $load }") times the load"
    echo "--machine export --all $export ms"
    bench_cleanup
done
