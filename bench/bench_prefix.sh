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

# kvel_bench_sizes EXE NAME N...; KVEL_BENCH_COMMAND names the measuring
# command (default: run).
kvel_bench_sizes() {
    local exe="$1" name="$2"
    shift 2
    [ -f "$exe" ] || { echo "no $exe: build the target $(basename "$exe" .exe) first"; exit 1; }
    local n
    for n in "$@"; do
        bench_prefix="$(dirname "$(dirname "$exe")")/bench-$name-prefix-$n"
        rm -rf "$bench_prefix"
        kvel_prefix "$bench_prefix"
        wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
        wineserver -w
        echo "== N = $n"
        wine "$exe" seed "$n"
        wineserver -w
        wine "$exe" "${KVEL_BENCH_COMMAND:-run}" "$n"
        bench_cleanup
    done
}
