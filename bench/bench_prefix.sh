# Sourced by the benchmark scripts: runs one benchmark program for each N,
# each time in a fresh, throw-away Wine prefix inside the build directory
# (Wine's null display driver: the windows are real, nothing is drawn), which
# is seeded first, unmeasured, and stopped and deleted afterwards, also when
# the run is interrupted.
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"

bench_prefix=""
bench_cleanup() {
    [ -n "$bench_prefix" ] || return 0
    kvel_stop_prefix
    rm -rf "$bench_prefix"
    bench_prefix=""
}
trap bench_cleanup EXIT

kvel_bench_need() {
    [ -f "$1" ] || { echo "no $1: build the target $(basename "$1" .exe) first"; exit 1; }
}

# kvel_bench_seed EXE PREFIX N: a fresh prefix at PREFIX, seeded by EXE.
kvel_bench_seed() {
    bench_prefix="$2"
    rm -rf "$bench_prefix"
    kvel_prefix "$bench_prefix"
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
    wineserver -w
    echo "== N = $3"
    wine "$1" seed "$3"
    wineserver -w
}

# kvel_bench_sizes EXE NAME N...; KVEL_BENCH_COMMAND names the measuring
# command (default: run).
kvel_bench_sizes() {
    local exe="$1" name="$2"
    shift 2
    kvel_bench_need "$exe"
    local n
    for n in "$@"; do
        kvel_bench_seed "$exe" "$(dirname "$(dirname "$exe")")/bench-$name-prefix-$n" "$n"
        wine "$exe" "${KVEL_BENCH_COMMAND:-run}" "$n"
        bench_cleanup
    done
}
