#!/bin/bash
# Seeds a fresh, throw-away Wine prefix for each N and prints the compare
# figures. Usage: bench/run_compare.sh BUILD_DIR [N ...]   (default N: 2000 20000 100000)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/bench_prefix.sh"

build="$(cd "${1:?build directory}" && pwd)"
shift || true
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(2000 20000 100000)
kvel_bench_sizes "$build/bin/bench_compare.exe" compare "${sizes[@]}"
