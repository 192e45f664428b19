#!/bin/bash
# The catalogue's load of two builds on one prefix: for each N a fresh,
# throw-away prefix seeded by the first build (so an older build is measured
# on link types it does not read), then bench_catalogue run of each build in
# turn, ROUNDS times (default 2), the order swapped every round, and the
# medians of the runs' figures. Usage:
#   bench/run_catalogue_ab.sh NEW_BUILD_DIR OLD_BUILD_DIR [N ...]   (default N: 2000 20000)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/bench_prefix.sh"

new="$(cd "${1:?new build directory}" && pwd)/bin/bench_catalogue.exe"
old="$(cd "${2:?old build directory}" && pwd)/bin/bench_catalogue.exe"
shift 2
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(2000 20000)
kvel_bench_need "$new"
kvel_bench_need "$old"

# The figure after "NAME median" in a run's output, else nothing.
figure() {
    sed -n "s/^$1 *median \([0-9.]*\).*/\1/p" "$2"
}

# The upper median of the numbers given, as bench_clock.h takes it.
median() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int(NR / 2) + 1] }'
}

for n in "${sizes[@]}"; do
    kvel_bench_seed "$new" "$(dirname "$(dirname "$new")")/bench-ab-prefix-$n" "$n"
    out="$bench_prefix/run.txt"
    newLoads=() oldLoads=() links=()
    for round in $(seq "${ROUNDS:-2}"); do
        order=(new old)
        [ $((round % 2)) -eq 0 ] && order=(old new)
        for build in "${order[@]}"; do
            exe="$new"
            [ "$build" = old ] && exe="$old"
            wine "$exe" run "$n" >"$out"
            wineserver -w
            echo "-- round $round, $build"
            cat "$out"
            if [ "$build" = new ]; then
                newLoads+=("$(figure load "$out")")
                links+=("$(figure links "$out")")
            else
                oldLoads+=("$(figure load "$out")")
            fi
        done
    done
    oldLoad=$(median "${oldLoads[@]}")
    newLoad=$(median "${newLoads[@]}")
    echo "N = $n: load old $oldLoad ms (${oldLoads[*]}), new $newLoad ms (${newLoads[*]}):" \
        "new / old $(awk "BEGIN { printf \"%.3f\", $newLoad / $oldLoad }");" \
        "links $(median "${links[@]}") ms (${links[*]})"
    bench_cleanup
done
