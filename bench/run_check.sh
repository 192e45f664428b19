#!/bin/bash
# Seeds a fresh, throw-away Wine prefix for each N, as the catalogue benchmark
# does, and prints the figures of the check of the file types beside the
# catalogue's load. Usage: bench/run_check.sh BUILD_DIR [N ...]   (default N: 2000 20000)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/bench_prefix.sh"

build="$(cd "${1:?build directory}" && pwd)"
shift || true
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(2000 20000)
KVEL_BENCH_COMMAND=check kvel_bench_sizes "$build/bin/bench_catalogue.exe" check "${sizes[@]}"
